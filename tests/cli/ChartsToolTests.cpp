#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/Playability.h"
#include "chart/ChartSurface.h"
#include "chart/ChordBox.h"
#include "chart/ChordChart.h"
#include "chart/ChordDiagram.h"
#include "cli/CommandTable.h"
#include "support/ToolProcess.h"
#include "support/XmlTree.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
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

TEST_F(ChartsToolTests, Show_OnePitchPrintsTheDetailLinesAndThePlayability) {
    const ToolRun run = runTool({QStringLiteral("show"), QStringLiteral("6"), QStringLiteral("C")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const ChordEntry& e = ChordCatalogue::entry(6);
    EXPECT_EQ(run.out, QStringLiteral("Chord Name: Cmaj\n"
                                      "Chord Spelling: C-G-C-E-G-C\n"
                                      "Fret Numbers: 8-10-10-9-8-8\n"
                                      "Fingering: 1-3-4-2-1-1\n"
                                      "MIDI Notes: 48 55 60 64 67 72\n"
                                      "Playability: ") +
                           Playability::of(QString::fromLatin1(e.fretPattern),
                                           QString::fromLatin1(e.fingering))
                               .description() +
                           u'\n');
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
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.png"),
          QStringLiteral("--chart"), QStringLiteral("both")},
         "one chart per file"},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.png"),
          QStringLiteral("--style"), QStringLiteral("boxes")},
         "boxes"},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.png"),
          QStringLiteral("--style"), QStringLiteral("box"), QStringLiteral("--labels"),
          QStringLiteral("frets")},
         "frets"},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.png"),
          QStringLiteral("--style"), QStringLiteral("box"), QStringLiteral("--size"),
          QStringLiteral("0x100")},
         "0x100"},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.svg"),
          QStringLiteral("--style"), QStringLiteral("box"), QStringLiteral("--size"),
          QStringLiteral("100x100")},
         "--size"},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.png"),
          QStringLiteral("--style"), QStringLiteral("box"), QStringLiteral("--chart"),
          QStringLiteral("interval")},
         "--chart"},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), path("a.png"),
          QStringLiteral("--labels"), QStringLiteral("notes")},
         "--style box"},
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

TEST_F(ChartsToolTests, Render_BoxStyleDrawsTheCoresChordBox) {
    const ChordDiagram cmaj = ChordDiagram::fromCatalogue(ChordCatalogue::entry(6), 0);
    ChordBox::Options mirrored;
    mirrored.labels = ChordBox::Labels::Intervals;
    mirrored.leftHanded = true;
    const struct {
        QStringList options;
        QImage expected;
    } cases[] = {
        {{}, ChordBox::image(cmaj, {})},
        {{QStringLiteral("--labels"), QStringLiteral("intervals"), QStringLiteral("--left-handed"),
          QStringLiteral("--size"), QStringLiteral("300x180")},
         ChordBox::image(cmaj, mirrored, QSize(300, 180))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.join(u' ').toStdString());
        const QString file = path(QStringLiteral("c.png"));
        const ToolRun run =
            runTool(QStringList{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"),
                                file, QStringLiteral("--style"), QStringLiteral("box")} +
                    c.options);
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(QImage(file).convertToFormat(QImage::Format_RGB32), c.expected);
    }
    const QString svg = path(QStringLiteral("c.svg"));
    ASSERT_EQ(runTool({QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), svg,
                       QStringLiteral("--style"), QStringLiteral("box")})
                  .status,
              0);
    QFile written(svg);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("Strumvane chord box"));
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

TEST_F(ChartsToolTests, EveryCommand_AnswersItsOwnHelpWithItsSynopsis) {
    const CommandTable table;
    for (const auto& command : table.commands()) {
        SCOPED_TRACE(command->name().toStdString());
        const ToolRun help = runTool({command->name(), QStringLiteral("--help")});
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
        EXPECT_TRUE(
            help.out.startsWith(QStringLiteral("Usage: strumvane-charts ") + command->synopsis()))
            << help.out.toStdString();
    }
}

namespace {

QStringList lines(const QString& text) {
    return text.split(u'\n', Qt::SkipEmptyParts);
}

// A usage error of the commands that take chord names and frets: status 2, one line naming
// the value, nothing on standard output.
void expectOneLineError(const ToolRun& run, const char* named) {
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QLatin1String(named))) << run.err.toStdString();
}

} // namespace

TEST_F(ChartsToolTests, Name_ListsTheReadingsBestFirst) {
    const ToolRun cm7 = runTool({QStringLiteral("name"), QStringLiteral("x-3-5-4-5-x")});
    ASSERT_EQ(cm7.status, 0) << cm7.err.toStdString();
    EXPECT_EQ(lines(cm7.out).first(), QStringLiteral("Cmaj7\tC-G-B-E\tR-5-7-3"));
    EXPECT_FALSE(cm7.out.contains(QStringLiteral("Am9/C")));
    const ToolRun all =
        runTool({QStringLiteral("name"), QStringLiteral("--all"), QStringLiteral("x-3-5-4-5-x")});
    EXPECT_EQ(lines(all.out).first(), lines(cm7.out).first());
    EXPECT_TRUE(all.out.contains(QStringLiteral("\nAm9/C\tC-G-B-E\tb3-b7-9-5\n")));
    const ToolRun c6 = runTool({QStringLiteral("name"), QStringLiteral("x-3-2-2-1-3")});
    EXPECT_TRUE(c6.out.startsWith(QStringLiteral("C6\t")));
    EXPECT_TRUE(c6.out.contains(QStringLiteral("\nAm7/C\t")));

    for (const char* bad : {"x-3-5-4-5", "x-3-5-y-5-x", "x-x-x-x-x-x", "x-3-5-4-5-30"})
        expectOneLineError(runTool({QStringLiteral("name"), QLatin1String(bad)}), bad);
}

TEST_F(ChartsToolTests, Find_PrintsVoicingsEasiestFirst) {
    const ToolRun run = runTool({QStringLiteral("find"), QStringLiteral("Am7"),
                                 QStringLiteral("--frets"), QStringLiteral("5-8")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    int previousScore = 0;
    int catalogueRows = 0;
    ASSERT_FALSE(lines(run.out).isEmpty());
    for (const QString& line : lines(run.out)) {
        const QStringList f = line.split(u'\t');
        ASSERT_EQ(f.size(), 5) << line.toStdString();
        EXPECT_GE(f[4].toInt(), previousScore);
        previousScore = f[4].toInt();
        for (const QString& fret : f[2].split(u'-'))
            EXPECT_TRUE(fret == u"x" || (fret.toInt() >= 5 && fret.toInt() <= 8))
                << line.toStdString();
        if (f[0] == u"generated") {
            EXPECT_EQ(f[1], QStringLiteral("Am7"));
            continue;
        }
        // A catalogue row: "#ENTRY@PITCH", the window's name, frets and the entry's fingering.
        ++catalogueRows;
        const QStringList source = f[0].mid(1).split(u'@');
        ASSERT_TRUE(f[0].startsWith(u'#') && source.size() == 2) << line.toStdString();
        const ChordEntry& e = ChordCatalogue::entry(source[0].toInt());
        const qint16 pitch = *ChordTheory::parsePitch(source[1]);
        const auto placed = ChordTheory::placeChord(QString::fromLatin1(e.fretPattern),
                                                    QString::fromLatin1(e.spelling), pitch);
        EXPECT_EQ(f[1], ChordTheory::chordDisplayName(QString::fromLatin1(e.chordType), pitch,
                                                      placed.rootShift));
        EXPECT_EQ(f[2], placed.fretNumbers);
        EXPECT_EQ(f[3], QString::fromLatin1(e.fingering));
    }
    EXPECT_GT(catalogueRows, 0);
    const ToolRun near = runTool({QStringLiteral("find"), QStringLiteral("D7"),
                                  QStringLiteral("--near"), QStringLiteral("164@A")});
    ASSERT_EQ(near.status, 0);
    EXPECT_EQ(lines(near.out).first().split(u'\t').size(), 6);

    expectOneLineError(runTool({QStringLiteral("find"), QStringLiteral("Cxyz")}), "'xyz'");
    expectOneLineError(runTool({QStringLiteral("find"), QStringLiteral("Am7"),
                                QStringLiteral("--near"), QStringLiteral("612@A")}),
                       "612@A");
    expectOneLineError(runTool({QStringLiteral("find")}), "NAME");
}

TEST_F(ChartsToolTests, Render_WritesSvgAndPdf) {
    const struct {
        const char* name;
        const char* start;
    } files[] = {{"c.svg", "<?xml"}, {"c.PDF", "%PDF"}};
    for (const auto& f : files) {
        const QString file = path(QString::fromLatin1(f.name));
        const ToolRun run =
            runTool({QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"), file});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        QFile written(file);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_TRUE(written.readAll().startsWith(f.start)) << f.name;
    }
}

TEST_F(ChartsToolTests, Sheet_WritesAPdfOrNothingAtAll) {
    const QString sheet = path(QStringLiteral("song.pdf"));
    const ToolRun run =
        runTool({QStringLiteral("sheet"), sheet, QStringLiteral("Am7"), QStringLiteral("6@F"),
                 QStringLiteral("--title"), QStringLiteral("Song"), QStringLiteral("--chart"),
                 QStringLiteral("both"), QStringLiteral("--page"), QStringLiteral("letter")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QFile written(sheet);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray before = written.readAll();
    EXPECT_TRUE(before.startsWith("%PDF"));

    // A chord that cannot be resolved stops the command before the old sheet is touched.
    for (const char* chord : {"Hm7", "999@C", "Cxyz"}) {
        const ToolRun bad =
            runTool({QStringLiteral("sheet"), sheet, QStringLiteral("Am7"), QLatin1String(chord)});
        expectOneLineError(bad, chord[0] == '9' ? "999@C" : chord);
        QFile again(sheet);
        ASSERT_TRUE(again.open(QIODevice::ReadOnly));
        EXPECT_EQ(again.readAll(), before);
    }
    // A sheet of blank charts to fill in.
    const QString blank = path(QStringLiteral("blank.pdf"));
    ASSERT_EQ(runTool({QStringLiteral("sheet"), blank, QStringLiteral("Am7"),
                       QStringLiteral("--chart"), QStringLiteral("blank")})
                  .status,
              0);
    EXPECT_TRUE(QFile::remove(blank));
    const QString unwritable = path(QStringLiteral("missing/song.pdf"));
    const ToolRun failed = runTool({QStringLiteral("sheet"), unwritable, QStringLiteral("Am7")});
    EXPECT_EQ(failed.status, 1);
    EXPECT_FALSE(QFile::exists(unwritable));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("song.pdf")});
}

TEST_F(ChartsToolTests, Sheet_WritesTheChordsAsAMusicXmlScore) {
    const QString score = path(QStringLiteral("song.MusicXML"));
    const ToolRun run =
        runTool({QStringLiteral("sheet"), score, QStringLiteral("Bbm7"), QStringLiteral("6@F"),
                 QStringLiteral("x-3-2-0-1-0"), QStringLiteral("--title"), QStringLiteral("Song")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QFile written(score);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const XmlTree tree = XmlTree::parse(written.readAll());
    EXPECT_EQ(tree.textAt(QStringLiteral("work/work-title")), QStringLiteral("Song"));
    EXPECT_EQ(tree.textAt(QStringLiteral("part-list/score-part/part-name")),
              QStringLiteral("Guitar"));
    // Each CHORD resolved as the PDF sheet resolves it: the name's easiest voicing, the
    // catalogue entry under the window's name (Fmaj), FRETS under their reading; the frets of
    // the sounding strings.
    QStringList harmonies;
    for (const XmlTree& measure :
         tree.child(QStringLiteral("part")).all(QStringLiteral("measure"))) {
        const XmlTree harmony = measure.child(QStringLiteral("harmony"));
        QStringList frets;
        for (const XmlTree& note :
             harmony.child(QStringLiteral("frame")).all(QStringLiteral("frame-note")))
            frets << note.textAt(QStringLiteral("fret"));
        harmonies << harmony.textAt(QStringLiteral("root/root-step")) +
                         harmony.textAt(QStringLiteral("root/root-alter")) + u' ' +
                         harmony.textAt(QStringLiteral("kind")) + u' ' + frets.join(u'-');
    }
    ASSERT_EQ(harmonies.size(), 3);
    EXPECT_TRUE(harmonies[0].startsWith(QStringLiteral("B-1 minor-seventh ")))
        << harmonies[0].toStdString();
    EXPECT_EQ(harmonies.mid(1), (QStringList{QStringLiteral("F major 1-3-3-2-1-1"),
                                             QStringLiteral("C major 3-2-0-1-0")}));

    // The ukulele's four strings, under a capo.
    const QString ukulele = path(QStringLiteral("ukulele.musicxml"));
    ASSERT_EQ(runTool({QStringLiteral("sheet"), ukulele, QStringLiteral("C"),
                       QStringLiteral("--instrument"), QStringLiteral("ukulele"),
                       QStringLiteral("--capo"), QStringLiteral("2")})
                  .status,
              0);
    QFile ukuleleFile(ukulele);
    ASSERT_TRUE(ukuleleFile.open(QIODevice::ReadOnly));
    const XmlTree first = XmlTree::parse(ukuleleFile.readAll())
                              .child(QStringLiteral("part"))
                              .child(QStringLiteral("measure"));
    EXPECT_EQ(first.textAt(QStringLiteral("harmony/frame/frame-strings")), QStringLiteral("4"));
    EXPECT_EQ(first.textAt(QStringLiteral("direction/direction-type/words")),
              QStringLiteral("Capo 2"));
}

TEST_F(ChartsToolTests, Sheet_DrawsBoxesByDefault_FretboardOnRequest) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const auto sheetText = [&](const QStringList& options) {
        const QString sheet = path(QStringLiteral("song.pdf"));
        QFile::remove(sheet);
        const ToolRun run = runTool(QStringList{QStringLiteral("sheet"), sheet,
                                                QStringLiteral("Am7"), QStringLiteral("6@F")} +
                                    options);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        QProcess process;
        process.start(pdftotext, {sheet, QStringLiteral("-")});
        EXPECT_TRUE(process.waitForFinished(30000));
        return QString::fromUtf8(process.readAllStandardOutput());
    };
    // 6@F is the F barre 1-3-3-2-1-1: a box names it with the window's name and its frets
    // below; the fretboard chart has no frets line.
    const QString frets = ChordDiagram::fromCatalogue(ChordCatalogue::entry(6), 5).fretText();
    const QString boxes = sheetText({QStringLiteral("--labels"), QStringLiteral("notes")});
    EXPECT_TRUE(boxes.contains(QStringLiteral("Am7")) && boxes.contains(QStringLiteral("Fmaj")));
    EXPECT_TRUE(boxes.contains(frets)) << boxes.toStdString();
    EXPECT_FALSE(sheetText({QStringLiteral("--captions"), QStringLiteral("none")}).contains(frets));
    const QString charts = sheetText({QStringLiteral("--style"), QStringLiteral("fretboard")});
    EXPECT_TRUE(charts.contains(QStringLiteral("Fmaj")));
    EXPECT_FALSE(charts.contains(frets));

    for (const auto& [options, named] : std::initializer_list<std::pair<QStringList, const char*>>{
             {{QStringLiteral("--captions"), QStringLiteral("fingers")}, "fingers"},
             {{QStringLiteral("--style"), QStringLiteral("box"), QStringLiteral("--chart"),
               QStringLiteral("both")},
              "--chart"},
             {{QStringLiteral("--style"), QStringLiteral("fretboard"), QStringLiteral("--labels"),
               QStringLiteral("notes")},
              "--labels"},
             {{QStringLiteral("--columns"), QStringLiteral("9")}, "'9' is not 1 to 8"},
             {{QStringLiteral("--chart"), QStringLiteral("both"), QStringLiteral("--columns"),
               QStringLiteral("7")},
              "'7' is not 1 to 6"},
         }) {
        expectOneLineError(
            runTool(QStringList{QStringLiteral("sheet"), path("bad.pdf"), QStringLiteral("Am7")} +
                    options),
            named);
    }
    EXPECT_FALSE(QFile::exists(path("bad.pdf")));
}

TEST_F(ChartsToolTests, Failures_ExitOneWithTheSystemsReasonAndNoFile) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("taken.png")));
    const struct {
        QStringList args;
        const char* reason;
        QString stdoutFile; // where standard output goes; empty: a pipe
    } cases[] = {
        {{QStringLiteral("list")}, "No space left on device", QStringLiteral("/dev/full")},
        {{QStringLiteral("--help")}, "No space left on device", QStringLiteral("/dev/full")},
        {{QStringLiteral("find"), QStringLiteral("Am7")},
         "No space left on device",
         QStringLiteral("/dev/full")},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"),
          path(QStringLiteral("missing/c.png"))},
         "No such file or directory",
         {}},
        {{QStringLiteral("render"), QStringLiteral("6"), QStringLiteral("C"),
          path(QStringLiteral("taken.png"))},
         "Is a directory",
         {}},
        {{QStringLiteral("export-all"), path(QStringLiteral("missing"))},
         "No such file or directory",
         {}},
        {{QStringLiteral("sheet"), path(QStringLiteral("missing/song.musicxml")),
          QStringLiteral("C")},
         "No such file or directory",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QProcess process;
        if (!c.stdoutFile.isEmpty())
            process.setStandardOutputFile(c.stdoutFile);
        process.start(QStringLiteral(CHARTS_TOOL), c.args);
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.exitCode(), 1);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(err.contains(QLatin1String(c.reason))) << err.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("taken.png")});
}

TEST_F(ChartsToolTests, Usage_NamesEveryCommandAndAcceptsPitchesInAnyCase) {
    const ToolRun none = runTool({});
    const CommandTable table;
    for (const auto& command : table.commands()) {
        EXPECT_TRUE(none.err.contains(command->name())) << command->name().toStdString();
        EXPECT_TRUE(runTool({QStringLiteral("--help")}).out.contains(command->synopsis()));
    }
    const QString c =
        runTool({QStringLiteral("show"), QStringLiteral("6"), QStringLiteral("C")}).out;
    for (const char* pitch : {"c", "B#", "b\u266F"})
        EXPECT_EQ(
            runTool({QStringLiteral("show"), QStringLiteral("6"), QString::fromUtf8(pitch)}).out, c)
            << pitch;
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
