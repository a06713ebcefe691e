#pragma once

#include <QHash>
#include <QString>
#include <memory>

class QSettings;

// The per-user store of the program's choices ("Chords", "Pitch", "Folder", "Save Option",
// "LastFolder"): named text values in the INI group "Strumvane" of the file named by the
// application name "Quillmoor" ($XDG_CONFIG_HOME/Quillmoor.ini on Linux).
//
// Every saveSetting is written through to disk at once (sync), so a second copy of the program
// sees it immediately, and every getSetting re-reads the file. The one exception is a hold
// (holdWrites(true)), meant only for the save-all run that rewrites "Chords" and "Pitch"
// thousands of times: while held, values stay in the store's memory (getSetting sees them)
// and flush(), the end of the hold or the end of the store writes them out.
//
// Example:
//   SettingsStore store;                       // the user's store
//   store.saveSetting("Chords", 5);            // file now holds Chords=5
//   store.getSetting("Pitch", 0);              // "0" while "Pitch" is absent
//   store.getSettingNumber("Chords", 35);      // 5
class SettingsStore {
public:
    static constexpr const char settingsApplication[] = "Quillmoor";
    static constexpr const char settingsSection[] = "Strumvane";

    // The user's store: QSettings(IniFormat, UserScope, "Quillmoor").
    SettingsStore();
    // A store on the given INI file (tests hand in a file in a temporary folder).
    explicit SettingsStore(const QString& iniFilePath);
    // A store on a prepared QSettings; the group "Strumvane" is used inside it.
    explicit SettingsStore(std::unique_ptr<QSettings> settings);
    ~SettingsStore();

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The stored text of key, or defaultValue when the key is absent. A key stored with the
    // empty text is present and yields "". Never writes.
    QString getSetting(const QString& key, const QString& defaultValue) const;
    // As above; an absent key yields the decimal text of defaultValue (35 -> "35").
    QString getSetting(const QString& key, int defaultValue) const;
    // The stored text read as a 16-bit integer by parseInt16 ("11.6" -> 12); throws
    // Failure::typeMismatch() or Failure::overflow() as parseInt16 does.
    qint16 getSettingNumber(const QString& key, qint16 defaultValue) const;

    // Stores value under key, creating key and group as needed, replacing any old value, and
    // writes it to disk unless writes are held. Throws Failure::pathFileAccessError() when the
    // file cannot be written.
    void saveSetting(const QString& key, const QString& value);
    // Stores the shortest decimal text of a 16-bit value (5 -> "5"); throws Failure::overflow()
    // for a value outside -32768..32767.
    void saveSetting(const QString& key, int value);

    // Starts (true) or ends (false) a hold on disk writes. Ending a hold flushes, and throws as
    // flush does.
    void holdWrites(bool hold);
    bool writesHeld() const { return m_held; }
    // Writes every held value to disk now. Throws as saveSetting does.
    void flush();

    // The file behind the store.
    QString fileName() const;

private:
    void sync();
    void reopenAfterError();

    std::unique_ptr<QSettings> m_settings;
    bool m_held = false;
    QHash<QString, QString> m_pending; // values saved while writes are held
};
