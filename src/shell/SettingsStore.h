#pragma once

#include <QHash>
#include <QString>
#include <memory>
#include <optional>

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
// The store only ever writes a regular file. Where the file name resolves to anything else
// (a device, a pipe, a folder, also through a link), the store is detached for the rest of
// the run: it reads nothing from there and never touches it; values saved meanwhile live in
// memory only, so the run behaves as usual and nothing outlives it. A file larger than
// maxFileSize, which the program never writes, makes the store read-only for the run: values
// are read from it, saved ones kept in memory. Both are reported once, by the first save
// after they are noticed (Failure 75, naming the file), except for a null device, the common
// way to switch stored settings off, which is honoured silently.
//
// Example:
//   SettingsStore store;                       // the user's store
//   store.saveSetting("Chords", 5);            // file now holds Chords=5
//   store.getSetting("Pitch", 0);              // "0" while "Pitch" is absent
//   store.getSettingNumber("Chords", 35);      // 5
//   store.chords();                            // 5, the same value through its accessor
class SettingsStore {
public:
    static constexpr const char settingsApplication[] = "Quillmoor";
    static constexpr const char settingsSection[] = "Strumvane";

    // The chart formats "Save Option" holds once one is chosen.
    static constexpr qint16 saveOptionJpeg = 2;
    static constexpr qint16 saveOptionBitmap = 3;

    // A settings file above this size (bytes) was not written by the program.
    static constexpr qint64 maxFileSize = 1 << 20;

    // The user's store: userFileName().
    SettingsStore();
    // A store on the given INI file (tests hand in a file in a temporary folder), in the
    // group `group` of that file: settingsSection for the main window, another name for
    // another program of the package sharing the file ("Finder").
    explicit SettingsStore(const QString& iniFilePath,
                           const QString& group = QLatin1String(settingsSection));
    ~SettingsStore();

    // The file that QSettings(IniFormat, UserScope, "Quillmoor") writes on Linux:
    // $XDG_CONFIG_HOME/Quillmoor.ini, by default ~/.config/Quillmoor.ini; a relative
    // XDG_CONFIG_HOME is ignored as the XDG rules say.
    static QString userFileName();

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
    // writes it to disk unless writes are held. A value equal to the stored one writes
    // nothing, so an unchanged file keeps its bytes and the comments written in it. Throws
    // Failure::pathFileAccessError() when the file cannot be written, and once the report of a
    // detached or read-only store (the value is kept in memory all the same).
    void saveSetting(const QString& key, const QString& value);
    // Stores the shortest decimal text of a 16-bit value (5 -> "5"); throws Failure::overflow()
    // for a value outside -32768..32767.
    void saveSetting(const QString& key, int value);

    // The program's settings, each under its own key and with its own default. Readers throw
    // as getSettingNumber or getSetting do, writers as saveSetting does.
    // "Chords": the chord list's current line, 0-based; 35 while absent.
    qint16 chords() const;
    void setChords(int line);
    // "Pitch": the chosen Pitch button, 0..11 as stored; 0 while absent.
    qint16 pitch() const;
    void setPitch(int pitch);
    // "Folder": the output folder's text; `fallback` while absent (a stored "" stays "").
    QString folder(const QString& fallback) const;
    void setFolder(const QString& folder);
    // "Save Option": saveOptionJpeg or saveOptionBitmap once a format is chosen; 1 while
    // absent. Any other stored number comes back as it is.
    qint16 saveOption() const;
    void setSaveOption(int option);
    // "LastFolder": the folder last chosen in the folder dialog; "" while absent.
    QString lastFolder() const;
    void setLastFolder(const QString& folder);

    // Starts (true) or ends (false) a hold on disk writes. Ending a hold flushes, and throws as
    // flush does.
    void holdWrites(bool hold);
    bool writesHeld() const { return m_held; }
    // Writes every held value to disk now. Throws as saveSetting does.
    void flush();

    // The file behind the store, and the group of it that holds the values.
    QString fileName() const { return m_fileName; }
    QString group() const { return m_group; }

    enum class Access {
        ReadWrite,
        ReadOnly, // the file is larger than maxFileSize
        Detached, // the name resolves to no regular file: nothing is read or written there
    };
    // Looks at the file first, as every read and save does.
    Access access() const;

private:
    // Looks at what the file name resolves to now and leaves ReadWrite or ReadOnly when it
    // must; Detached lasts for the run.
    void checkTarget() const;
    void throwReportOnce();
    void sync();
    void reopenAfterError();
    QString groupKey(const QString& key) const;
    // The text QSettings holds for key as last read, or none while the key is absent.
    std::optional<QString> storedText(const QString& key) const;

    QString m_fileName;
    QString m_group;
    mutable std::unique_ptr<QSettings> m_settings; // none while detached
    mutable Access m_access = Access::ReadWrite;
    mutable QString m_report; // the description of a report not yet thrown
    bool m_held = false;
    QHash<QString, QString> m_pending; // values saved while writes are held
    QHash<QString, QString> m_memory;  // values saved while read-only or detached
};
