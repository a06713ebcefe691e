#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "support/ToolProcess.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <unistd.h>

class ChartsToolTests : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST_F(ChartsToolTests, List_PrintsEveryEntryTabSeparatedAsStored) {
    const ToolRun run = runTool({QStringLiteral("list")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), ChordCatalogue::entryCount);
    EXPECT_EQ(lines.first(), QStringLiteral("1\tx-1-x-3-x-x\tx-1-x-3-x-x\tx-R-x-R-x-x\t octave"));
    EXPECT_TRUE(lines[506].endsWith(QStringLiteral("\tm6\\9")));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("611\t")));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("\t7b9#11/5th")));
}

TEST_F(ChartsToolTests, Show_OnePitchPrintsTheFiveDetailLines) {
    const ToolRun run = runTool({QStringLiteral("show"), QStringLiteral("6"), QStringLiteral("C")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("Chord Name: Cmaj\n"
                                      "Chord Spelling: C-G-C-E-G-C\n"
                                      "Fret Numbers: 8-10-10-9-8-8\n"
                                      "Fingering: 1-3-4-2-1-1\n"
                                      "MIDI Notes: 48 55 60 64 67 72\n"));
}

TEST_F(ChartsToolTests, Show_WithoutPitchPrintsTwelveBlocksInPitchOrder) {
    const ToolRun run = runTool({QStringLiteral("show"), QStringLiteral("19")});
    ASSERT_EQ(run.status, 0);
    const QStringList blocks = run.out.trimmed().split(QStringLiteral("\n\n"));
    ASSERT_EQ(blocks.size(), 12);
    EXPECT_TRUE(blocks[0].startsWith(QStringLiteral("Chord Name: Ab/C\n")));
    // Enharmonic and numeric Pitches select the same block.
    EXPECT_EQ(runTool({QStringLiteral("show"), QStringLiteral("19"), QStringLiteral("A#")}).out,
              blocks[10] + u'\n');
    EXPECT_EQ(runTool({QStringLiteral("show"), QStringLiteral("19"), QStringLiteral("10")}).out,
              blocks[10] + u'\n');
}

TEST_F(ChartsToolTests, BadInput_ExitsTwoNamingTheValue) {
    const struct {
        QStringList args;
        const char* named;
    } cases[] = {
        {{QStringLiteral("frobnicate")}, "frobnicate"},
        {{QStringLiteral("show"), QStringLiteral("612")}, "612"},
        {{QStringLiteral("show"), QStringLiteral("0")}, "'0'"},
        {{QStringLiteral("show"), QStringLiteral("6"), QStringLiteral("H")}, "'H'"},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.gif")},
         "a.gif"},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.png"),
          QStringLiteral("--chart"), QStringLiteral("spelling")},
         "spelling"},
        {{QStringLiteral("list"), QStringLiteral("--bogus")}, "bogus"},
        {{}, "no command"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.args);
        EXPECT_EQ(run.status, 2) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.named))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ChartsToolTests, Render_WritesTheChartAsTheCoreDrawsIt) {
    const QString file = path(QStringLiteral("c.png"));
    const ToolRun run = runTool({QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"),
                                 file, QStringLiteral("--chart"), QStringLiteral("interval"),
                                 QStringLiteral("--left-handed")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    ChartSurface expected;
    drawChordChart(expected, ChordChartKind::Interval, ChordCatalogue::entry(6), 0, true);
    const QImage written(file);
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32),
              expected.image().convertToFormat(QImage::Format_RGB32));
}

TEST_F(ChartsToolTests, Render_FormatFollowsTheExtension) {
    for (const char* name : {"a.bmp", "a.jpg", "a.JPEG", "a.png"}) {
        const QString file = path(QString::fromLatin1(name));
        const ToolRun run =
            runTool({QStringLiteral("render"), QStringLiteral("36"), QStringLiteral("E"), file,
                     QStringLiteral("--chart"), QStringLiteral("blank")});
        ASSERT_EQ(run.status, 0) << name << run.err.toStdString();
        const QImage image(file);
        EXPECT_EQ(image.size(), QSize(516, 117)) << name;
    }
}

TEST_F(ChartsToolTests, Render_UnwritableFileFailsWithStatusOneAndNoFile) {
    const QString file = path(QStringLiteral("missing/sub/c.jpg"));
    const ToolRun run =
        runTool({QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), file});
    EXPECT_EQ(run.status, 1);
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(ChartsToolTests, HelpAndVersion_ExitZero) {
    const ToolRun help = runTool({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("render ENTRY PITCH FILE")));
    const ToolRun version = runTool({QStringLiteral("--version")});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("strumvane-charts ")));
}

// Files the tool must not write: a name it cannot represent, a protected or foreign target
// (as an unprivileged user), and what a killed earlier run left behind is cleaned up.
TEST_F(ChartsToolTests, UnsafeTargets_RefusedAndStaleTemporariesRemoved) {
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                          QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
    QFile protectedFile(path(QStringLiteral("protected.bmp")));
    ASSERT_TRUE(protectedFile.open(QIODevice::WriteOnly));
    protectedFile.write("old");
    protectedFile.close();
    protectedFile.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadOther);
    const bool root = geteuid() == 0;
    const QString asUser = root ? QStringLiteral("setpriv --reuid=65534 --regid=65534 "
                                                 "--clear-groups ")
                                : QString();
    const QString tool = QStringLiteral("'" CHARTS_TOOL "'");
    const struct {
        const char* name;
        QString script;
        int status;
        QString message;
    } cases[] = {
        {"not UTF-8", tool + QStringLiteral(" render 6 C \"$(printf 'caf\\351.bmp')\""), 2,
         QStringLiteral("cannot use 'caf\\xe9.bmp'")},
        {"write-protected target", asUser + tool + QStringLiteral(" render 6 C protected.bmp"), 1,
         QStringLiteral("Permission denied")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess shell;
        shell.setWorkingDirectory(dir.path());
        shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), c.script});
        ASSERT_TRUE(shell.waitForFinished(60000));
        EXPECT_EQ(shell.exitCode(), c.status);
        EXPECT_TRUE(QString::fromUtf8(shell.readAllStandardError()).contains(c.message));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"protected.bmp"});

    // A temporary file of a process that no longer runs.
    const QString stale = path(QStringLiteral(".strumvane-999999999-4.tmp"));
    QFile leftOver(stale);
    ASSERT_TRUE(leftOver.open(QIODevice::WriteOnly));
    leftOver.close();
    EXPECT_EQ(runTool({QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"),
                       path(QStringLiteral("new.bmp"))})
                  .status,
              0);
    EXPECT_FALSE(QFile::exists(stale));
}
