// The export commands' file rules without a window: folder test, names, the format branch
// with its step numbers, and the save-all plan.
#include "catalogue/ChordCatalogue.h"
#include "export/ChartFileWriter.h"
#include "export/ChartFiles.h"
#include "shell/ErrorTrap.h"
#include "support/FakeMessageBoxes.h"
#include "support/FileTestSupport.h"
#include "support/Printers.h"

#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Records every file asked for as "bmp path" or "jpg path quality"; fails the paths that
// `failing` names.
class ListingWriter : public ChartFileWriter {
public:
    void saveBitmap(const QImage&, const QString& fileName) override {
        record(QStringLiteral("bmp ") + fileName);
    }
    void saveJpeg(const QImage&, const QString& fileName, quint8 quality) override {
        record(QStringLiteral("jpg %1 %2").arg(fileName).arg(quality));
    }
    void record(const QString& call) {
        calls << call;
        for (const QString& name : failing)
            if (call.contains(name))
                throw Failure::permissionDenied();
    }
    QStringList calls;
    QStringList failing;
};

} // namespace

TEST(ChartFilesTests, FolderExists_OnlyForExistingDirectories) {
    QTemporaryDir temp;
    FileTestSupport::writeAll(temp.filePath(QStringLiteral("file.txt")), "x");
    EXPECT_TRUE(ChartFiles::FolderExists(temp.path()));
    EXPECT_TRUE(ChartFiles::FolderExists(temp.path() + u'/'));
    EXPECT_TRUE(ChartFiles::FolderExists(QStringLiteral("/")));
    EXPECT_FALSE(ChartFiles::FolderExists(temp.filePath(QStringLiteral("file.txt"))));
    EXPECT_FALSE(ChartFiles::FolderExists(temp.filePath(QStringLiteral("missing/"))));
    EXPECT_FALSE(ChartFiles::FolderExists(QString()));
    EXPECT_FALSE(ChartFiles::FolderExists(QString::fromUtf8("bad\0name", 8)));
}

TEST(ChartFilesTests, FilePath_AddsTheMissingSeparatorOnly) {
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
        EXPECT_EQ(ChartFiles::filePath(QString::fromLatin1(c.folder), QStringLiteral("a.jpg")),
                  QString::fromLatin1(c.path));
}

TEST(ChartFilesTests, SaveAllStem_MakesSlashPlusAndBackslashUnderscores) {
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
            ChartFiles::saveAllStem(QString::fromLatin1(c.name), QString::fromLatin1(c.notes)),
            QString::fromLatin1(c.stem));
    }
    EXPECT_EQ(ChartFiles::saveAllFileName(QStringLiteral("C_E E-C-G-C"), 2, ChartFormat::Bmp),
              QStringLiteral("C_E E-C-G-C 2.bmp"));
}

// The branch every command shares: which test decides, which step each file runs under, and
// that a failing file is one box at its own step while the next file is still written.
TEST(ChartFilesTests, SaveCharts_WritesTheChosenFormatUnderItsStepNumbers) {
    const struct {
        bool bmp;
        bool jpeg;
        QStringList calls;
    } cases[] = {
        {true, false, {"bmp /out/One.bmp", "bmp /out/Two.bmp"}},
        {false, true, {"jpg /out/One.jpg 100", "jpg /out/Two.jpg 100"}},
        {false, false, {}},
    };
    const QImage picture(4, 4, QImage::Format_RGB32);
    for (const auto& c : cases) {
        ListingWriter writer;
        writer.failing = {QStringLiteral("One")};
        FakeMessageBoxes boxes;
        ErrorTrap trap(boxes, QStringLiteral("here "));
        ChartFiles(writer).saveCharts(
            trap, {10, {12, 14}, 20, {22, 24}}, {[&] { return c.bmp; }, [&] { return c.jpeg; }},
            [] { return QStringLiteral("/out"); },
            {{&picture, QStringLiteral("One")}, {&picture, QStringLiteral("Two")}});
        EXPECT_EQ(writer.calls, c.calls);
        ASSERT_EQ(boxes.errorBoxes.size(), c.calls.isEmpty() ? 0 : 1);
        if (!c.calls.isEmpty()) {
            EXPECT_TRUE(boxes.errorBoxes[0].contains(c.bmp ? "at line 12\r" : "at line 22\r"));
        }
    }
}

TEST(ChartFilesTests, SaveCharts_FailingTestCountsAsHolding) {
    ListingWriter writer;
    FakeMessageBoxes boxes;
    ErrorTrap trap(boxes, QStringLiteral("here "));
    const QImage picture(4, 4, QImage::Format_RGB32);
    ChartFiles(writer).saveCharts(
        trap, {10, {12}, 20, {22}},
        {[]() -> bool { throw Failure::typeMismatch(); }, [] { return true; }},
        [] { return QStringLiteral("/out/"); }, {{&picture, QStringLiteral("Blank Chart")}});
    EXPECT_EQ(writer.calls, QStringList{"bmp /out/Blank Chart.bmp"});
    ASSERT_EQ(boxes.errorBoxes.size(), 1);
    EXPECT_TRUE(boxes.errorBoxes[0].contains("at line 10\r"));
}

// What `export-all` writes: one file pair per distinct stem, held by the last chord with it.
TEST(ChartFilesTests, SaveAllPlan_KeepsEachStemOnceWithItsLastChord) {
    const QList<ChartFiles::PlannedChord> plan = ChartFiles::saveAllPlan();
    EXPECT_LT(plan.size(), ChordCatalogue::entryCount * ChartFiles::pitchCount);
    QSet<QString> stems;
    for (const ChartFiles::PlannedChord& chord : plan)
        stems.insert(chord.stem);
    EXPECT_EQ(stems.size(), plan.size());
    // Entry 1 at C comes first; the last entry at B, whose name no other chord has, last.
    EXPECT_EQ(plan.first().entry, 1);
    EXPECT_EQ(plan.first().pitch, 0);
    EXPECT_EQ(plan.last().entry, ChordCatalogue::entryCount);
    EXPECT_EQ(plan.last().pitch, 11);
}
