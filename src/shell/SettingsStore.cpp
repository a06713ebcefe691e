#include "shell/SettingsStore.h"

#include "base/Failure.h"
#include "shell/NumericText.h"

#include <QSettings>
#include <QStringList>

namespace {

QString sectionKey(const QString& key) {
    return QLatin1String(SettingsStore::settingsSection) + u'/' + key;
}

} // namespace

SettingsStore::SettingsStore()
    : SettingsStore(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                QLatin1String(settingsApplication))) {}

SettingsStore::SettingsStore(const QString& iniFilePath)
    : SettingsStore(std::make_unique<QSettings>(iniFilePath, QSettings::IniFormat)) {}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings)) {}

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

QString SettingsStore::getSetting(const QString& key, const QString& defaultValue) const {
    // Re-reading picks up values that another copy of the program wrote meanwhile. With no
    // pending writes a sync only reads; while held it would write, so it is skipped then.
    if (m_held) {
        const auto pending = m_pending.constFind(key);
        if (pending != m_pending.constEnd())
            return *pending;
    } else {
        m_settings->sync();
    }
    const QVariant value = m_settings->value(sectionKey(key));
    if (!value.isValid())
        return defaultValue;
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
    if (m_held) {
        // Kept out of QSettings until the flush: QSettings would write its file (and create
        // and delete a lock file) at every turn of the event loop.
        m_pending.insert(key, value);
        return;
    }
    if (m_settings->status() == QSettings::AccessError)
        reopenAfterError();
    m_settings->setValue(sectionKey(key), value);
    sync();
}

void SettingsStore::saveSetting(const QString& key, int value) {
    if (value < -32768 || value > 32767)
        throw Failure::overflow();
    saveSetting(key, int16Text(static_cast<qint16>(value)));
}

void SettingsStore::holdWrites(bool hold) {
    if (m_held && !hold) {
        m_held = false;
        flush();
    }
    m_held = hold;
}

void SettingsStore::flush() {
    if (m_settings->status() == QSettings::AccessError)
        reopenAfterError();
    for (auto it = m_pending.constBegin(); it != m_pending.constEnd(); ++it)
        m_settings->setValue(sectionKey(it.key()), it.value());
    m_pending.clear();
    sync();
}

QString SettingsStore::fileName() const {
    return m_settings->fileName();
}

void SettingsStore::sync() {
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError)
        throw Failure::pathFileAccessError();
}

void SettingsStore::reopenAfterError() {
    // QSettings keeps its first error for good. A fresh object on the same file lets a save
    // succeed once the file can be written again; the old one must go first, or the new one
    // inherits its failed pending write and the error with it.
    const QString file = m_settings->fileName();
    const QSettings::Format format = m_settings->format();
    m_settings.reset();
    m_settings = std::make_unique<QSettings>(file, format);
}
