#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "export/ChartFileNames.h"
#include "export/SaveAllPlan.h"
#include "support/Form1Fixture.h"
#include "support/SmallFileSystem.h"
#include "support/ToolProcess.h"
#include "window/ChartPicture.h"
#include "writers/JpegWriter.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <functional>

class ExportAllTests : public Form1Fixture {
protected:
    QTemporaryDir out;

    // The window's own charts of line `row` at `pitch`, as its save-all writes them.
    std::pair<QByteArray, QByteArray> windowCharts(int row, int pitch) {
        ui(*form).selectChordLine(row);
        ui(*form).choosePitch(pitch);
        return {JpegWriter::encodeJpeg(ui(*form).Picture1->surface().image(), 100),
                JpegWriter::encodeJpeg(ui(*form).Picture2->surface().image(), 100)};
    }
    QByteArray fileBytes(const QString& name) {
        QFile file(out.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(ExportAllTests, ExportAll_WritesTheWindowsFileSetWithTheWindowsPixels) {
    const ToolRun run =
        runTool({QStringLiteral("export-all"), out.path(), QStringLiteral("--left-handed"),
                 QStringLiteral("--jobs"), QStringLiteral("2")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Wrote ")));

    // The names the window would leave, worked out here from the catalogue alone.
    QSet<QString> expected;
    QHash<QString, std::pair<int, int>> lastChordOfStem;
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const ChordEntry& e = ChordCatalogue::entry(n);
        for (qint16 p = 0; p < 12; ++p) {
            const auto placed = ChordTheory::placeChord(QString::fromLatin1(e.fretPattern),
                                                        QString::fromLatin1(e.spelling), p);
            const QString stem = ChartFileNames::saveAllStem(
                ChordTheory::chordDisplayName(QString::fromLatin1(e.chordType), p,
                                              placed.rootShift),
                placed.noteNames);
            expected << stem + QStringLiteral(" 1.jpg") << stem + QStringLiteral(" 2.jpg");
            lastChordOfStem[stem] = {n - 1, p};
        }
    }
    const QStringList written = QDir(out.path()).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(QSet<QString>(written.begin(), written.end()), expected);
    EXPECT_TRUE(run.out.contains(QString::number(expected.size())));

    // A sample of charts, shared stems included, against the window drawing them itself.
    startWindow();
    ui(*form).chkLeftHanded->setChecked(true);
    int compared = 0;
    int index = 0;
    for (auto it = lastChordOfStem.cbegin(); it != lastChordOfStem.cend(); ++it, ++index) {
        if (index % 97 != 0)
            continue;
        const auto [row, pitch] = it.value();
        const auto [fingering, interval] = windowCharts(row, pitch);
        EXPECT_EQ(fileBytes(it.key() + QStringLiteral(" 1.jpg")), fingering)
            << it.key().toStdString();
        EXPECT_EQ(fileBytes(it.key() + QStringLiteral(" 2.jpg")), interval)
            << it.key().toStdString();
        ++compared;
    }
    EXPECT_GT(compared, 40);
}

TEST_F(ExportAllTests, ExportAll_FolderProblemsFailBeforeAnyWork) {
    QFile plain(out.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    for (const QString& folder : {out.filePath(QStringLiteral("missing")), plain.fileName()}) {
        const ToolRun run = runTool({QStringLiteral("export-all"), folder});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(folder)) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_EQ(QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("plain")});
}

TEST_F(ExportAllTests, ExportAll_BadOptionsAreUsageErrors) {
    const struct {
        QStringList args;
        const char* named;
    } cases[] = {
        {{QStringLiteral("export-all"), out.path(), QStringLiteral("--format"),
          QStringLiteral("gif")},
         "gif"},
        {{QStringLiteral("export-all"), out.path(), QStringLiteral("--jobs"), QStringLiteral("0")},
         "'0'"},
        {{QStringLiteral("export-all"), out.path(), QStringLiteral("--jobs"),
          QStringLiteral("many")},
         "many"},
        {{QStringLiteral("export-all")}, "one folder"},
        {{QStringLiteral("show"), QStringLiteral("6"), QStringLiteral("--jobs"),
          QStringLiteral("2")},
         "--jobs"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.status, 2) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.named))) << run.err.toStdString();
    }
    EXPECT_TRUE(QDir(out.path()).isEmpty());
}

TEST_F(ExportAllTests, ExportAll_AFileThatCannotBeWrittenIsNamedAndTheRunGoesOn) {
    // A folder standing where one chart file belongs cannot be replaced by a file.
    const QString blocked = QStringLiteral("Cmaj C-G-C-E-G-C 1.jpg");
    ASSERT_TRUE(QDir(out.path()).mkdir(blocked));
    const ToolRun run = runTool({QStringLiteral("export-all"), out.path(),
                                 QStringLiteral("--format"), QStringLiteral("jpg")});
    EXPECT_EQ(run.status, 1);
    // The file's path and the system's reason.
    EXPECT_TRUE(run.err.contains(QStringLiteral("cannot write '%1': Is a directory\n")
                                     .arg(QDir(out.path()).absoluteFilePath(blocked))))
        << run.err.toStdString();
    EXPECT_EQ(run.err.count(QStringLiteral("cannot write")), 1);
    EXPECT_TRUE(QFile::exists(out.filePath(QStringLiteral("Cmaj C-G-C-E-G-C 2.jpg"))));
    EXPECT_TRUE(QFileInfo(out.filePath(blocked)).isDir());
    // Nothing half-written is left behind.
    EXPECT_TRUE(QDir(out.path())
                    .entryList({QStringLiteral(".strumvane-*")}, QDir::Hidden | QDir::Files)
                    .isEmpty());
}

TEST(ExportAllPlanTests, Plan_WindowsRuleSharesNamesUniqueNamesKeepEveryChart) {
    const struct {
        bool uniqueNames;
        qsizetype chords; // two files each
    } cases[] = {{false, 4740}, {true, 611 * 12}};
    for (const auto& c : cases) {
        const QList<SaveAllPlan::Chord> chords = SaveAllPlan(c.uniqueNames).chords();
        QSet<QString> stems;
        for (const SaveAllPlan::Chord& chord : chords)
            stems << chord.stem;
        EXPECT_EQ(chords.size(), c.chords) << c.uniqueNames;
        EXPECT_EQ(stems.size(), c.chords) << c.uniqueNames;
    }
    // Entry 165 at A: "Am7 A-E-G-C", written as "... #165 fingering.jpg" and "... interval.jpg".
    EXPECT_TRUE(SaveAllPlan(true).chords().contains(
        SaveAllPlan::Chord{165, 9, QStringLiteral("Am7 A-E-G-C #165")}));
}

// Failures told as a user can read them: a reason met again and again is told once with a
// count, and a failure that every later file would meet stops the run in one line.
TEST(ExportAllFailureTests, RepeatedReasonsToldOnce_AFullDiskOrARemovedFolderStopsTheRun) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("charts"));
    const QString full = dir.filePath(QStringLiteral("full"));
    const SmallFileSystem fullDisk(full, "size=1m");
    const struct {
        const char* name;
        QString folder;
        std::function<void(QProcess&)> meanwhile; // done while the run goes on
        QStringList lines;                        // the starts of the lines on standard error
    } cases[] = {
        {"a full disk",
         full,
         [](QProcess&) {},
         {QStringLiteral("strumvane-charts: cannot write into '%1': No space left on device; "
                         "stopped after ")
              .arg(full)}},
        {"two folders where files belong, then the folder removed",
         folder,
         [&](QProcess& run) {
             while (QDir(folder).count() < 400 && !run.waitForFinished(1)) {
             }
             while (!QDir(folder).removeRecursively()) {
             }
         },
         {QStringLiteral("strumvane-charts: cannot write '%1/Cmaj C-G-C-E-G-C 1.jpg': Is a "
                         "directory")
              .arg(folder),
          QStringLiteral("strumvane-charts: cannot write 1 more file: Is a directory"),
          QStringLiteral("strumvane-charts: cannot write into '%1': the folder was removed; "
                         "stopped after ")
              .arg(folder)}},
    };
    QDir(folder).mkpath(QStringLiteral("Cmaj C-G-C-E-G-C 1.jpg"));
    QDir(folder).mkpath(QStringLiteral("Cmaj C-G-C-E-G-C 2.jpg"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.folder == full && !fullDisk.mounted()) {
            std::cout << "skipped '" << c.name << "': mounting a small file system needs root\n";
            continue;
        }
        QProcess process;
        process.start(QStringLiteral(CHARTS_TOOL), {QStringLiteral("export-all"), c.folder});
        c.meanwhile(process);
        ASSERT_TRUE(process.waitForFinished(300000));
        EXPECT_EQ(process.exitCode(), 1);
        const QStringList lines =
            QString::fromUtf8(process.readAllStandardError()).split(u'\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), c.lines.size()) << lines.join(u'\n').toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i)
            EXPECT_TRUE(lines[i].startsWith(c.lines[i])) << lines[i].toStdString();
        EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    }
}
