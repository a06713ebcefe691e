#include "shell/SettingsStore.h"

#include "base/Failure.h"
#include "shell/NumericText.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <utility>

namespace {

// The keys of the program's settings, as the file holds them, and their defaults.
constexpr QLatin1StringView chordsKey("Chords");
constexpr QLatin1StringView pitchKey("Pitch");
constexpr QLatin1StringView folderKey("Folder");
constexpr QLatin1StringView saveOptionKey("Save Option");
constexpr QLatin1StringView lastFolderKey("LastFolder");
constexpr qint16 defaultChordLine = 35;
constexpr qint16 defaultPitch = 0;
constexpr qint16 defaultSaveOption = 1; // no format chosen yet

// The device number of /dev/null (character device 1:3 on Linux), whatever its name.
dev_t nullDeviceNumber() {
    static constexpr unsigned memoryDevicesMajor = 1;
    static constexpr unsigned nullDeviceMinor = 3;
    static const dev_t number = [] {
        struct stat info {};
        if (::stat("/dev/null", &info) == 0 && S_ISCHR(info.st_mode))
            return info.st_rdev;
        return makedev(memoryDevicesMajor, nullDeviceMinor);
    }();
    return number;
}

} // namespace

SettingsStore::SettingsStore() : SettingsStore(userFileName()) {}

SettingsStore::SettingsStore(const QString& iniFilePath, const QString& group)
    : m_fileName(iniFilePath), m_group(group) {
    // Looked at before QSettings opens it: QSettings reads the file as it starts, and reading
    // a pipe would wait for a writer for ever.
    checkTarget();
}

SettingsStore::~SettingsStore() {
    // Values still held are written out; a store that cannot be written has nobody left to
    // tell, and the values were transient ones of a save-all run.
    if (!m_pending.isEmpty()) {
        try {
            flush();
        } catch (const Failure&) {
        }
    }
}

QString SettingsStore::userFileName() {
    // As QSettings builds it on an XDG desktop, without constructing a QSettings (see above).
    // The XDG rules say a relative XDG_CONFIG_HOME is invalid and must be ignored; this Qt
    // would use it relative to whatever folder the program was started in.
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(configHome) + u'/' + QLatin1String(settingsApplication) +
           QStringLiteral(".ini");
}

SettingsStore::Access SettingsStore::access() const {
    checkTarget();
    return m_access;
}

void SettingsStore::checkTarget() const {
    if (m_access == Access::Detached)
        return;
    struct stat info {};
    // A name that resolves to nothing (no file yet, a folder on the way that is missing or a
    // file) is QSettings' to create or to fail on.
    if (::stat(QFile::encodeName(m_fileName).constData(), &info) != 0)
        return;
    if (S_ISREG(info.st_mode)) {
        if (info.st_size > maxFileSize && m_access == Access::ReadWrite) {
            m_access = Access::ReadOnly;
            m_report = QStringLiteral("Path/File access error: the settings file '%1' is larger "
                                      "than 1 MB; settings are not saved in this run")
                           .arg(m_fileName);
        }
        return;
    }
    m_access = Access::Detached;
    m_settings.reset();
    if (!(S_ISCHR(info.st_mode) && info.st_rdev == nullDeviceNumber()))
        m_report = QStringLiteral("Path/File access error: the settings file '%1' is not a "
                                  "regular file; settings are neither read nor saved in this run")
                       .arg(m_fileName);
}

QString SettingsStore::getSetting(const QString& key, const QString& defaultValue) const {
    checkTarget();
    if (m_held) {
        const auto pending = m_pending.constFind(key);
        if (pending != m_pending.constEnd())
            return *pending;
    }
    if (m_access != Access::ReadWrite) {
        const auto kept = m_memory.constFind(key);
        if (kept != m_memory.constEnd())
            return *kept;
        if (m_access == Access::Detached)
            return defaultValue;
    }
    if (!m_settings)
        m_settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
    // Re-reading picks up values that another copy of the program wrote meanwhile. With no
    // pending writes a sync only reads; while held it would write, so it is skipped then.
    if (!m_held || m_access == Access::ReadOnly)
        m_settings->sync();
    return storedText(key).value_or(defaultValue);
}

std::optional<QString> SettingsStore::storedText(const QString& key) const {
    const QVariant value = m_settings->value(groupKey(key));
    if (!value.isValid())
        return std::nullopt;
    // A hand-edited value with unquoted commas comes back as a list; keep it as one text.
    if (value.metaType().id() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

QString SettingsStore::getSetting(const QString& key, int defaultValue) const {
    return getSetting(key, QString::number(defaultValue));
}

qint16 SettingsStore::getSettingNumber(const QString& key, qint16 defaultValue) const {
    return parseInt16(getSetting(key, defaultValue));
}

void SettingsStore::saveSetting(const QString& key, const QString& value) {
    checkTarget();
    if (m_access != Access::ReadWrite) {
        m_pending.remove(key);
        m_memory.insert(key, value);
        throwReportOnce();
        return;
    }
    if (m_held) {
        // Kept out of QSettings until the flush: QSettings would write its file (and create
        // and delete a lock file) at every turn of the event loop.
        m_pending.insert(key, value);
        return;
    }
    if (!m_settings || m_settings->status() == QSettings::AccessError)
        reopenAfterError();
    // QSettings rewrites the whole file on any change and drops the comments a user wrote in
    // it; a value that is already stored (a start restoring the saved chord) changes nothing.
    m_settings->sync();
    if (storedText(key) == value)
        return;
    m_settings->setValue(groupKey(key), value);
    sync();
}

void SettingsStore::saveSetting(const QString& key, int value) {
    if (value < -32768 || value > 32767)
        throw Failure::overflow();
    saveSetting(key, int16Text(static_cast<qint16>(value)));
}

qint16 SettingsStore::chords() const {
    return getSettingNumber(chordsKey, defaultChordLine);
}

void SettingsStore::setChords(int line) {
    saveSetting(chordsKey, line);
}

qint16 SettingsStore::pitch() const {
    return getSettingNumber(pitchKey, defaultPitch);
}

void SettingsStore::setPitch(int pitch) {
    saveSetting(pitchKey, pitch);
}

QString SettingsStore::folder(const QString& fallback) const {
    return getSetting(folderKey, fallback);
}

void SettingsStore::setFolder(const QString& folder) {
    saveSetting(folderKey, folder);
}

qint16 SettingsStore::saveOption() const {
    return getSettingNumber(saveOptionKey, defaultSaveOption);
}

void SettingsStore::setSaveOption(int option) {
    saveSetting(saveOptionKey, option);
}

QString SettingsStore::lastFolder() const {
    return getSetting(lastFolderKey, QString());
}

void SettingsStore::setLastFolder(const QString& folder) {
    saveSetting(lastFolderKey, folder);
}

void SettingsStore::holdWrites(bool hold) {
    if (m_held && !hold) {
        m_held = false;
        flush();
    }
    m_held = hold;
}

void SettingsStore::flush() {
    checkTarget();
    if (m_access != Access::ReadWrite) {
        m_memory.insert(m_pending);
        m_pending.clear();
        throwReportOnce();
        return;
    }
    if (!m_settings || m_settings->status() == QSettings::AccessError)
        reopenAfterError();
    m_settings->sync();
    bool changed = false;
    for (auto it = m_pending.constBegin(); it != m_pending.constEnd(); ++it) {
        if (storedText(it.key()) == it.value())
            continue;
        m_settings->setValue(groupKey(it.key()), it.value());
        changed = true;
    }
    m_pending.clear();
    if (changed)
        sync();
}

void SettingsStore::throwReportOnce() {
    if (m_report.isEmpty())
        return;
    const QString description = std::exchange(m_report, QString());
    throw Failure(Failure::pathFileAccessError().number(), description);
}

void SettingsStore::sync() {
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError)
        throw Failure::pathFileAccessError();
}

QString SettingsStore::groupKey(const QString& key) const {
    return m_group + u'/' + key;
}

void SettingsStore::reopenAfterError() {
    // QSettings keeps its first error for good. A fresh object on the same file lets a save
    // succeed once the file can be written again; the old one must go first, or the new one
    // inherits its failed pending write and the error with it.
    m_settings.reset();
    m_settings = std::make_unique<QSettings>(m_fileName, QSettings::IniFormat);
}
