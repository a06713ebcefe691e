// The export commands' file names: the folder test, paths, and the save-all's names.
#include "export/ChartFileNames.h"
#include "support/FileTestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ChartFileNamesTests, FolderExists_OnlyForExistingDirectories) {
    QTemporaryDir temp;
    FileTestSupport::writeAll(temp.filePath(QStringLiteral("file.txt")), "x");
    EXPECT_TRUE(ChartFileNames::FolderExists(temp.path()));
    EXPECT_TRUE(ChartFileNames::FolderExists(temp.path() + u'/'));
    EXPECT_TRUE(ChartFileNames::FolderExists(QStringLiteral("/")));
    EXPECT_FALSE(ChartFileNames::FolderExists(temp.filePath(QStringLiteral("file.txt"))));
    EXPECT_FALSE(ChartFileNames::FolderExists(temp.filePath(QStringLiteral("missing/"))));
    EXPECT_FALSE(ChartFileNames::FolderExists(QString()));
    EXPECT_FALSE(ChartFileNames::FolderExists(QString::fromUtf8("bad\0name", 8)));
}

TEST(ChartFileNamesTests, FilePath_AddsTheMissingSeparatorOnly) {
    const struct {
        const char* folder;
        const char* path;
    } cases[] = {
        {"/tmp/out/", "/tmp/out/a.jpg"},
        {"/tmp/out", "/tmp/out/a.jpg"},
        {"/", "/a.jpg"},
        {"", "a.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChartFileNames::filePath(QString::fromLatin1(c.folder), QStringLiteral("a.jpg")),
                  QString::fromLatin1(c.path));
}

TEST(ChartFileNamesTests, SaveAllStem_MakesSlashPlusAndBackslashUnderscores) {
    const struct {
        const char* name;
        const char* notes;
        const char* stem;
    } cases[] = {
        {"C/E", "E-C-G-C", "C_E E-C-G-C"},
        {"Cm6\\9", "C-A-Eb-G-D", "Cm6_9 C-A-Eb-G-D"},
        {"C7(+11)", "C-E-Bb-F#", "C7(_11) C-E-Bb-F#"},
        {"C#m", "C#-G#-C#-E", "C#m C#-G#-C#-E"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            ChartFileNames::saveAllStem(QString::fromLatin1(c.name), QString::fromLatin1(c.notes)),
            QString::fromLatin1(c.stem));
    }
    EXPECT_EQ(ChartFileNames::saveAllFileName(QStringLiteral("C_E E-C-G-C"), 2, ChartFormat::Bmp),
              QStringLiteral("C_E E-C-G-C 2.bmp"));
}
