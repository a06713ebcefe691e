#include "finder/FinderSettings.h"
#include "shell/SettingsStore.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The finder's choices in its own group of the settings file: they come back as saved, and a
// damaged value gives its own default without disturbing the others.

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

class FinderSettingsTests : public ::testing::Test {
protected:
    QString path() const { return dir.filePath(QStringLiteral("Quillmoor.ini")); }
    FinderSettings::Choices load() {
        SettingsStore store(path(), QLatin1String(FinderSettings::group));
        return FinderSettings(store).load();
    }
    void writeRaw(const QList<std::pair<QString, QString>>& values) {
        QSettings raw(path(), QSettings::IniFormat);
        for (const auto& [key, value] : values)
            raw.setValue(QStringLiteral("Finder/") + key, value);
    }

    QTemporaryDir dir;
};

TEST_F(FinderSettingsTests, Choices_ComeBackAsSaved) {
    FinderSettings::Choices saved;
    saved.form.instrument = QStringLiteral("ukulele");
    saved.form.tuning = QStringLiteral("A4 D4 F#4 B4");
    saved.form.capo = 2;
    saved.form.lowFret = 3;
    saved.form.highFret = 7;
    saved.form.strings = 4;
    saved.form.top = 10;
    saved.form.inversions = true;
    saved.form.openStrings = false;
    saved.labels = ChordBox::Labels::Intervals;
    saved.leftHanded = true;
    saved.strumMs = 30;
    saved.sheet.setTitle(QStringLiteral("Lesson 3: ukulele"));
    saved.sheet.add({"A", "ukulele", "", 2, {0, 2, 3, 2}, {0, 1, 3, 2}});
    saved.sheet.add({"Am7", "guitar", "", 0, {-1, 0, 2, 0, 1, 0}, {0, 0, 2, 0, 1, 0}});
    saved.lastFolder = QStringLiteral("/home/ann/Lessons, 2026");
    {
        SettingsStore store(path(), QLatin1String(FinderSettings::group));
        FinderSettings settings(store);
        settings.saveFretboard(saved.form);
        settings.saveFilters(saved.form);
        settings.saveLabels(saved.labels);
        settings.saveLeftHanded(saved.leftHanded);
        settings.saveStrum(saved.strumMs);
        settings.saveSheet(saved.sheet);
        settings.saveLastFolder(saved.lastFolder);
    }
    const FinderSettings::Choices back = load();
    EXPECT_EQ(back.form.instrument, saved.form.instrument);
    EXPECT_EQ(back.form.tuning, saved.form.tuning);
    EXPECT_EQ(back.form.capo, 2);
    EXPECT_EQ(back.form.lowFret, 3);
    EXPECT_EQ(back.form.highFret, 7);
    EXPECT_EQ(back.form.strings, 4);
    EXPECT_EQ(back.form.top, 10);
    EXPECT_TRUE(back.form.inversions);
    EXPECT_FALSE(back.form.openStrings);
    EXPECT_TRUE(back.form.chord.isEmpty());
    EXPECT_EQ(back.labels, ChordBox::Labels::Intervals);
    EXPECT_TRUE(back.leftHanded);
    EXPECT_EQ(back.strumMs, 30);
    EXPECT_EQ(back.sheet.title(), saved.sheet.title());
    EXPECT_EQ(back.sheet.entries(), saved.sheet.entries());
    EXPECT_EQ(back.lastFolder, saved.lastFolder);

    // In a group of their own, beside the main window's settings.
    EXPECT_EQ(QSettings(path(), QSettings::IniFormat).childGroups(), QStringList{"Finder"});
}

TEST_F(FinderSettingsTests, TheMainWindowsSettings_StayApart) {
    {
        SettingsStore window(path());
        window.setChords(5);
        window.setLastFolder(QStringLiteral("/home/ann/Charts"));
    }
    FinderSettings::Choices c = load();
    EXPECT_TRUE(c.lastFolder.isEmpty());
    {
        SettingsStore store(path(), QLatin1String(FinderSettings::group));
        FinderSettings(store).saveLastFolder(QStringLiteral("/home/ann/Lessons"));
    }
    SettingsStore window(path());
    EXPECT_EQ(window.chords(), 5);
    EXPECT_EQ(window.lastFolder(), "/home/ann/Charts");
    EXPECT_EQ(load().lastFolder, "/home/ann/Lessons");
}

TEST_F(FinderSettingsTests, DamagedValues_GiveTheirDefaultsAndLeaveTheOthers) {
    const FinderSettings::Choices defaults = load();
    EXPECT_EQ(defaults.form.instrument, "guitar");
    EXPECT_TRUE(defaults.form.openStrings);
    EXPECT_TRUE(defaults.sheet.isEmpty());

    // Each damaged value beside good values of every other key.
    const QList<std::pair<QString, QString>> good = {
        {"Instrument", "ukulele"},
        {"Tuning", "A4 D4 F#4 B4"},
        {"Capo", "3"},
        {"Frets", "2-9"},
        {"Strings", "3"},
        {"Top Note", "Bb"},
        {"Inversions", "true"},
        {"Open Strings", "false"},
        {"Labels", "notes"},
        {"Left Handed", "true"},
        {"Strum", "40"},
        {"Sheet", "Am7|guitar||0|x-0-2-0-1-0|x-0-2-0-1-0"}};
    const struct {
        const char* key;
        const char* value;
    } damaged[] = {
        {"Instrument", "lute"}, {"Tuning", "dadgad"},  {"Tuning", "H4 D4 F#4 B4"},
        {"Capo", "13"},         {"Capo", "-1"},        {"Capo", "2.5"},
        {"Frets", "9-2"},       {"Frets", "2-30"},     {"Frets", "2"},
        {"Strings", "5"},       {"Strings", "0"},      {"Top Note", "H"},
        {"Inversions", "yes"},  {"Open Strings", "0"}, {"Labels", "dots"},
        {"Left Handed", "1"},   {"Strum", "5000"},     {"Strum", "x"},
        {"Sheet", "garbage"},
    };
    for (const auto& d : damaged) {
        SCOPED_TRACE(std::string(d.key) + "=" + d.value);
        QFile::remove(path());
        QList<std::pair<QString, QString>> values = good;
        for (auto& [key, value] : values) {
            if (key == QLatin1String(d.key))
                value = QString::fromUtf8(d.value);
        }
        writeRaw(values);
        const FinderSettings::Choices c = load();
        const QString key = QString::fromUtf8(d.key);
        const bool instrument = key == "Instrument";
        // A tuning goes with its instrument: a damaged instrument takes the tuning with it.
        EXPECT_EQ(c.form.instrument, instrument ? "guitar" : "ukulele");
        EXPECT_EQ(text(c.form.tuning), key == "Tuning" || instrument ? "" : "A4 D4 F#4 B4");
        EXPECT_EQ(c.form.capo, key == "Capo" ? 0 : 3);
        EXPECT_EQ(c.form.lowFret, key == "Frets" ? std::nullopt : std::optional<int>(2));
        EXPECT_EQ(c.form.highFret, key == "Frets" ? std::nullopt : std::optional<int>(9));
        EXPECT_EQ(c.form.strings, key == "Strings" ? std::nullopt : std::optional<int>(3));
        EXPECT_EQ(c.form.top, key == "Top Note" ? std::nullopt : std::optional<qint16>(10));
        EXPECT_EQ(c.form.inversions, key != "Inversions");
        EXPECT_EQ(c.form.openStrings, key == "Open Strings");
        EXPECT_EQ(c.labels, key == "Labels" ? ChordBox::Labels::Fingers : ChordBox::Labels::Notes);
        EXPECT_EQ(c.leftHanded, key != "Left Handed");
        EXPECT_EQ(c.strumMs, key == "Strum" ? 0 : 40);
        EXPECT_EQ(c.sheet.count(), key == "Sheet" ? 0 : 1);
    }
}

} // namespace
