#include "base/Failure.h"
#include "shell/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

class SettingsStoreTests : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("Quillmoor.ini")); }
    QByteArray fileBytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void writeFile(const QByteArray& bytes) const {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir dir;
};

TEST_F(SettingsStoreTests, UserStore_IsTheIniFileNamedAfterTheApplication) {
    const bool hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    const QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path()));
    SettingsStore store;
    if (hadConfigHome)
        qputenv("XDG_CONFIG_HOME", oldConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(store.fileName(), path());
    // The same file as QSettings' own user store of that name.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    EXPECT_EQ(
        QSettings(QSettings::IniFormat, QSettings::UserScope, SettingsStore::settingsApplication)
            .fileName(),
        path());
    store.saveSetting("Save Option", 3);
    EXPECT_TRUE(fileBytes().startsWith("[Strumvane]\n")) << fileBytes().toStdString();
}

TEST_F(SettingsStoreTests, AnotherGroup_SharesTheFileAndNotTheKeys) {
    SettingsStore window(path());
    SettingsStore finder(path(), QStringLiteral("Finder"));
    EXPECT_EQ(finder.group(), "Finder");
    window.saveSetting("LastFolder", QStringLiteral("/charts"));
    finder.saveSetting("LastFolder", QStringLiteral("/sheets"));
    finder.saveSetting("Capo", 2);
    EXPECT_EQ(window.lastFolder(), "/charts");
    EXPECT_EQ(finder.lastFolder(), "/sheets");
    EXPECT_EQ(window.getSetting("Capo", "absent"), "absent");
    QSettings raw(path(), QSettings::IniFormat);
    EXPECT_EQ(raw.childGroups(), (QStringList{"Finder", "Strumvane"}));
    EXPECT_EQ(raw.value("Finder/Capo").toString(), "2");
}

TEST_F(SettingsStoreTests, AbsentKeys_GiveDefaultsAsTextAndWriteNothing) {
    SettingsStore store(path());
    EXPECT_EQ(store.getSetting("Chords", 35), "35");
    EXPECT_EQ(store.getSetting("Pitch", 0), "0");
    EXPECT_EQ(store.getSetting("Save Option", 1), "1");
    EXPECT_EQ(store.getSetting("LastFolder", ""), "");
    EXPECT_EQ(store.getSetting("Folder", "C:\\Users\\me\\Desktop\\"), "C:\\Users\\me\\Desktop\\");
    EXPECT_EQ(store.getSettingNumber("Chords", 35), 35);
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(SettingsStoreTests, SavedTexts_RoundTripThroughTheIniFile) {
    const QList<std::pair<QString, QString>> values = {
        {"Chords", "5"},
        {"Save Option", "2"},
        {"Folder", "C:\\Users\\me\\My Charts, 2021\\"},
        {"LastFolder", "\"quoted\" =;#@odd ünïcode"},
    };
    {
        SettingsStore store(path());
        for (const auto& [key, value] : values)
            store.saveSetting(key, value);
    }
    SettingsStore reopened(path());
    for (const auto& [key, value] : values)
        EXPECT_EQ(reopened.getSetting(key, "absent"), value) << key.toStdString();
    // The INI group is the section; a key with a blank is kept under its own name.
    QSettings raw(path(), QSettings::IniFormat);
    EXPECT_EQ(raw.childGroups(), QStringList{"Strumvane"});
    EXPECT_EQ(raw.value("Strumvane/Save Option").toString(), "2");
}

TEST_F(SettingsStoreTests, EmptyText_IsPresentNotAbsent) {
    SettingsStore store(path());
    store.saveSetting("Folder", "");
    EXPECT_EQ(store.getSetting("Folder", "C:\\Desktop\\"), "");
    SettingsStore reopened(path());
    EXPECT_EQ(reopened.getSetting("Folder", "C:\\Desktop\\"), "");
}

TEST_F(SettingsStoreTests, SaveSetting_ReplacesAndStoresNumbersAsDecimalText) {
    SettingsStore store(path());
    store.saveSetting("Chords", 35);
    store.saveSetting("Chords", 610);
    EXPECT_EQ(store.getSetting("Chords", 0), "610");
    store.saveSetting("Pitch", -7);
    EXPECT_EQ(store.getSetting("Pitch", 0), "-7");
    EXPECT_THROW(store.saveSetting("Pitch", 32768), Failure);
    EXPECT_EQ(store.getSetting("Pitch", 0), "-7");
}

TEST_F(SettingsStoreTests, HandEditedValues_ReadAsTheyStand) {
    writeFile("[Strumvane]\nSave Option=x\nPitch=11.6\nChords= 10.5\n");
    SettingsStore store(path());
    EXPECT_EQ(store.getSetting("Save Option", 1), "x");
    EXPECT_EQ(store.getSettingNumber("Pitch", 0), 12);
    EXPECT_EQ(store.getSettingNumber("Chords", 35), 10);
    try {
        store.getSettingNumber("Save Option", 1);
        FAIL() << "x read as a number";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.description(), "Type mismatch");
    }
}

TEST_F(SettingsStoreTests, SaveSetting_IsOnDiskAtOnce) {
    SettingsStore store(path());
    store.saveSetting("Chords", 5);
    // Read the bytes, not another QSettings: QSettings shares its cache inside one process.
    EXPECT_TRUE(fileBytes().contains("Chords=5")) << fileBytes().toStdString();
    QSettings second(path(), QSettings::IniFormat);
    EXPECT_EQ(second.value("Strumvane/Chords").toString(), "5");
}

TEST_F(SettingsStoreTests, GetSetting_SeesWhatAnotherCopyWroteMeanwhile) {
    SettingsStore store(path());
    store.saveSetting("Pitch", 3);
    EXPECT_EQ(store.getSetting("Pitch", 0), "3");
    // Another copy of the program rewrites the file behind this store's back.
    writeFile("[Strumvane]\nPitch=10\n");
    EXPECT_EQ(store.getSetting("Pitch", 0), "10");
}

TEST_F(SettingsStoreTests, HeldWrites_StayOffDiskUntilFlushedAndReadBackMeanwhile) {
    SettingsStore store(path());
    store.saveSetting("Chords", 1);
    store.holdWrites(true);
    for (int line = 0; line < 611; ++line)
        store.saveSetting("Chords", line);
    store.saveSetting("Pitch", 11);
    EXPECT_EQ(store.getSetting("Chords", 35), "610");
    EXPECT_TRUE(fileBytes().contains("Chords=1"));
    EXPECT_FALSE(fileBytes().contains("Pitch"));

    store.flush();
    EXPECT_TRUE(fileBytes().contains("Chords=610"));
    EXPECT_TRUE(fileBytes().contains("Pitch=11"));

    store.saveSetting("Pitch", 4);
    EXPECT_FALSE(fileBytes().contains("Pitch=4")); // still held after a flush
    store.holdWrites(false);
    EXPECT_TRUE(fileBytes().contains("Pitch=4"));
    store.saveSetting("Pitch", 5);
    EXPECT_TRUE(fileBytes().contains("Pitch=5")); // write-through again
}

TEST_F(SettingsStoreTests, UnwritableFile_FailsTheSave) {
    // A plain file where the folder should be: no one, root included, can write below it.
    const QString notAFolder = dir.filePath("plain-file");
    QFile blocker(notAFolder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SettingsStore store(notAFolder + "/Quillmoor.ini");
    try {
        store.saveSetting("Chords", 5);
        FAIL() << "write into a read-only folder succeeded";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), 75);
    }
    // Once the folder can be written, saving works again.
    ASSERT_TRUE(QFile::remove(notAFolder));
    ASSERT_TRUE(QDir().mkdir(notAFolder));
    EXPECT_NO_THROW(store.saveSetting("Chords", 6));
    EXPECT_EQ(SettingsStore(notAFolder + "/Quillmoor.ini").getSetting("Chords", 0), "6");
}

// Where the file name leads decides what the store does; nothing but a regular file is ever
// read or written, and only what the program could not have written itself is reported.
TEST_F(SettingsStoreTests, Targets_OnlyARegularFileIsReadOrWritten) {
    const QByteArray native = QFile::encodeName(path());
    const auto node = [&](mode_t kind, unsigned minor) {
        return mknod(native.constData(), kind | 0666, makedev(1, minor)) == 0;
    };
    const struct {
        const char* name;
        std::function<bool()> plant;
        SettingsStore::Access access;
        bool reported;
    } cases[] = {
        {"absent", [] { return true; }, SettingsStore::Access::ReadWrite, false},
        {"null device", [&] { return node(S_IFCHR, 3); }, SettingsStore::Access::Detached, false},
        {"other device", [&] { return node(S_IFCHR, 5); }, SettingsStore::Access::Detached, true},
        {"pipe", [&] { return mkfifo(native.constData(), 0666) == 0; },
         SettingsStore::Access::Detached, true},
        {"folder", [&] { return QDir().mkdir(path()); }, SettingsStore::Access::Detached, true},
        {"link to a pipe",
         [&] {
             const QByteArray pipe = QFile::encodeName(dir.filePath("pipe"));
             return mkfifo(pipe.constData(), 0666) == 0 && symlink(pipe, native) == 0;
         },
         SettingsStore::Access::Detached, true},
        {"over 1 MB",
         [&] {
             writeFile("[Strumvane]\nChords=7\n" + QByteArray(SettingsStore::maxFileSize, '#') +
                       '\n');
             return true;
         },
         SettingsStore::Access::ReadOnly, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path());
        QDir().rmdir(path());
        QFile::remove(dir.filePath("pipe"));
        if (!c.plant()) {
            std::cout << "skipped '" << c.name << "': device nodes need root\n";
            continue;
        }
        const QFileInfo before(path());
        const QByteArray bytesBefore = before.isFile() ? fileBytes() : QByteArray();
        SettingsStore store(path());
        EXPECT_EQ(store.access(), c.access);
        int reports = 0;
        for (int click = 0; click < 3; ++click) {
            try {
                store.saveSetting("Pitch", 4 + click);
            } catch (const Failure& failure) {
                ++reports;
                EXPECT_TRUE(failure.description().contains(path())) << failure.what();
            }
        }
        EXPECT_EQ(reports, c.reported ? 1 : 0);
        EXPECT_EQ(store.getSetting("Pitch", 0), "6"); // the run still sees its own choices
        if (c.access == SettingsStore::Access::ReadOnly) {
            EXPECT_EQ(store.getSetting("Chords", 35), "7");
        }
        if (c.access == SettingsStore::Access::ReadWrite)
            continue;
        // Untouched: same kind of node, same bytes.
        const QFileInfo after(path());
        EXPECT_EQ(after.isFile(), before.isFile());
        EXPECT_EQ(after.isDir(), before.isDir());
        if (before.isFile()) {
            EXPECT_EQ(fileBytes(), bytesBefore);
        }
        EXPECT_FALSE(QFileInfo::exists(path() + ".lock"));
    }
}

TEST_F(SettingsStoreTests, UnchangedValues_LeaveTheFileAndItsCommentsAlone) {
    const QByteArray handWritten = "; chosen for Tuesday's class\n[Strumvane]\nChords=5\n"
                                   "Folder=/home/ann/charts/\n";
    writeFile(handWritten);
    SettingsStore store(path());
    store.setChords(5);
    store.setFolder(QStringLiteral("/home/ann/charts/"));
    store.holdWrites(true);
    store.setChords(9);
    store.setChords(5); // a save-all run that ends where it began
    store.holdWrites(false);
    EXPECT_EQ(fileBytes(), handWritten);

    store.setPitch(0); // absent until written, even when it equals the default
    EXPECT_TRUE(fileBytes().contains("Pitch=0"));
    store.setChords(6);
    EXPECT_TRUE(fileBytes().contains("Chords=6"));
}

TEST_F(SettingsStoreTests, RelativeConfigHome_IsIgnoredForTheHomeFolder) {
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    const bool hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(dir.path()));
    qputenv("XDG_CONFIG_HOME", "relative/config");
    const QString fileName = SettingsStore::userFileName();
    qputenv("HOME", oldHome);
    if (hadConfigHome)
        qputenv("XDG_CONFIG_HOME", oldConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(fileName, dir.filePath(QStringLiteral(".config/Quillmoor.ini")));
}
