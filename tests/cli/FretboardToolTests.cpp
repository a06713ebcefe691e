// find and name on any instrument, tuning and capo, as a user runs them.
#include "support/ToolProcess.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

namespace {

QStringList lines(const QString& text) {
    return text.split(u'\n', Qt::SkipEmptyParts);
}

QStringList args(std::initializer_list<const char*> words) {
    QStringList list;
    for (const char* w : words)
        list << QString::fromUtf8(w);
    return list;
}

TEST(FretboardTool, Find_PutsTheShapesPlayersKnowFirst) {
    const struct {
        QStringList args;
        const char* first; // the first line
    } cases[] = {
        {args({"find", "C"}), "generated\tC\tx-3-2-0-1-0\tx-3-2-0-1-0\t5"},
        {args({"find", "Em"}), "generated\tEm\t0-2-2-0-0-0\t0-1-2-0-0-0\t2"},
        {args({"find", "G7"}), "generated\tG7\t3-2-0-0-0-1\t3-2-0-0-0-1\t5"},
        {args({"find", "Fmaj7"}), "generated\tFmaj7\tx-x-3-2-1-0\tx-x-3-2-1-0\t5"},
        {args({"find", "F", "--instrument", "ukulele"}), "generated\tF\t2-0-1-0\t2-0-1-0\t3"},
        {args({"find", "Bm", "--capo", "2"}),
         "generated\tBm\tx-0-2-2-1-0\tx-0-2-3-1-0\t4\tAm shape"},
        {args({"find", "D", "--tuning", "D2 A2 D3 F#3 A3 D4"}),
         "generated\tD\t0-0-0-0-0-0\t0-0-0-0-0-0\t0"},
        {args({"find", "D/C"}), "generated\tD/C\tx-3-0-2-3-2\tx-3-0-1-4-2\t5"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.args);
        ASSERT_EQ(run.status, 0) << c.args.join(u' ').toStdString() << run.err.toStdString();
        ASSERT_FALSE(run.out.isEmpty()) << c.args.join(u' ').toStdString();
        EXPECT_EQ(lines(run.out).first().toStdString(), c.first) << c.args.join(u' ').toStdString();
    }
}

TEST(FretboardTool, Find_SourcesAndOptionsChooseTheRows) {
    const ToolRun catalogue = runTool(args({"find", "Am7", "--source", "catalogue"}));
    const ToolRun generated = runTool(args({"find", "Am7", "--source", "generated"}));
    const ToolRun all = runTool(args({"find", "Am7"}));
    for (const QString& line : lines(catalogue.out))
        EXPECT_TRUE(line.startsWith(u'#')) << line.toStdString();
    for (const QString& line : lines(generated.out))
        EXPECT_TRUE(line.startsWith(QLatin1String("generated\t"))) << line.toStdString();
    // The same frets once: a generated shape the catalogue has is listed as the catalogue's.
    EXPECT_LT(lines(all.out).size(), lines(catalogue.out).size() + lines(generated.out).size());
    EXPECT_GT(lines(all.out).size(), lines(catalogue.out).size());
    // Another tuning or a capo leaves the catalogue out.
    EXPECT_FALSE(runTool(args({"find", "Am7", "--tuning", "dadgad"})).out.contains(u'#'));
    EXPECT_FALSE(runTool(args({"find", "Am7", "--capo", "1"})).out.contains(u'#'));

    const ToolRun inversions = runTool(args({"find", "C", "--inversions", "--no-open"}));
    EXPECT_TRUE(inversions.out.contains(QLatin1String("\tC/E\t")));
    EXPECT_TRUE(inversions.out.contains(QLatin1String("\tC/G\t")));
    for (const QString& line : lines(inversions.out))
        EXPECT_FALSE(line.split(u'\t')[2].split(u'-').contains(QLatin1String("0")))
            << line.toStdString();
    for (const QString& line : lines(runTool(args({"find", "G", "--span", "2"})).out)) {
        QList<int> fretted;
        for (const QString& fret : line.split(u'\t')[2].split(u'-')) {
            if (fret != u"x" && fret.toInt() > 0)
                fretted << fret.toInt();
        }
        if (!fretted.isEmpty()) {
            EXPECT_LE(*std::max_element(fretted.begin(), fretted.end()) -
                          *std::min_element(fretted.begin(), fretted.end()),
                      1)
                << line.toStdString();
        }
    }
}

TEST(FretboardTool, Name_ReadsShapesOnAnyTuning) {
    const struct {
        QStringList args;
        const char* root;  // the first reading's
        const char* notes; // of the strings, lowest string first
    } cases[] = {
        {args({"name", "0-0-0-3", "--instrument", "ukulele"}), "C", "G-C-E-C"},
        {args({"name", "x-0-2-2-1-0", "--capo", "2"}), "Bm", "B-F#-B-D-F#"},
        {args({"name", "0-0-0-2-3-2", "--tuning", "drop-d"}), "D", "D-A-D-A-D-F#"},
        {args({"name", "0-0-2-3", "--tuning", "GDAE"}), "G", "G-D-B-G"},
        {args({"name", "0-2-0-1-2", "--instrument", "banjo"}), "C", "G-E-G-C-E"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.args);
        ASSERT_EQ(run.status, 0) << c.args.join(u' ').toStdString() << run.err.toStdString();
        const QStringList first = lines(run.out).first().split(u'\t');
        EXPECT_TRUE(first[0].startsWith(QLatin1String(c.root))) << run.out.toStdString();
        EXPECT_EQ(first[1].toStdString(), c.notes) << c.args.join(u' ').toStdString();
    }
}

TEST(FretboardTool, BadFretboards_ExitTwoInOneLine) {
    const struct {
        QStringList args;
        const char* named;
    } cases[] = {
        {args({"find", "C", "--instrument", "lute"}), "'lute'"},
        {args({"find", "C", "--tuning", "nonsense"}), "'nonsense'"},
        {args({"find", "C", "--tuning", "EA"}), "2 strings"},
        {args({"find", "C", "--tuning", "E1 A1 D2 G2 C3 F3 B3 E4 A4"}), "9 strings"},
        {args({"find", "C", "--tuning", "E2 A2 D3 G3 B3 H4"}), "'H4'"},
        {args({"find", "C", "--capo", "13"}), "'13'"},
        {args({"find", "C", "--capo", "-1"}), "'-1'"},
        {args({"find", "C", "--instrument", "ukulele", "--tuning", "dadgad"}), "guitar"},
        {args({"find", "C", "--instrument", "ukulele", "--tuning", "EADGBE"}), "6 strings"},
        {args({"find", "C", "--span", "0"}), "'0'"},
        {args({"find", "C", "--source", "web"}), "'web'"},
        {args({"name", "x-3-2-0-1-0", "--instrument", "ukulele"}), "6 marks"},
        {args({"name", "0-0-0-3", "--instrument", "banjo"}), "4 marks"},
        {args({"name", "0-0-0-3", "--instrument", "ukulele", "--capo", "13"}), "'13'"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.args);
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.named))) << run.err.toStdString();
    }
}

TEST(FretboardTool, RenderAndSheet_DrawShapesWrittenAsFrets) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    // Frets are drawn as a chord box unless the window's chart is asked for, which has six
    // strings; other instruments always as a box, the same as --style box draws it.
    ASSERT_EQ(
        runTool(args({"render", "x-3-2-0-1-0", "--style", "fretboard"}) << path("c.png")).status,
        0);
    EXPECT_EQ(QImage(path("c.png")).size(), QSize(516, 117));
    ASSERT_EQ(runTool(args({"render", "x-3-2-0-1-0"}) << path("cbox.png")).status, 0);
    EXPECT_NE(QImage(path("cbox.png")).size(), QSize(516, 117));
    ASSERT_EQ(
        runTool(args({"render", "2-0-1-0", "--instrument", "ukulele"}) << path("f.png")).status, 0);
    ASSERT_EQ(runTool(args({"render", "2-0-1-0", "--instrument", "ukulele", "--style", "box"})
                      << path("box.png"))
                  .status,
              0);
    QFile drawn(path("f.png"));
    QFile box(path("box.png"));
    ASSERT_TRUE(drawn.open(QIODevice::ReadOnly) && box.open(QIODevice::ReadOnly));
    EXPECT_EQ(drawn.readAll(), box.readAll());

    const ToolRun sheet = runTool(
        args({"sheet"}) << path("s.pdf")
                        << args({"x-3-2-0-1-0", "Am7", "G", "--capo", "2", "--captions", "shape"}));
    ASSERT_EQ(sheet.status, 0) << sheet.err.toStdString();
    QFile pdf(path("s.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
}

TEST(FretboardTool, RenderPlayAndSheet_RefuseBadFretboardsAndWriteNothing) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("out"));
    const struct {
        QStringList args;
        const char* named;
    } cases[] = {
        {args({"render", "x-3-2-0-1"}) << file + QStringLiteral(".png"), "5 marks"},
        {args({"render", "2-0-1-0", "--instrument", "ukulele", "--style", "fretboard"})
             << file + QStringLiteral(".png"),
         "six strings"},
        {args({"render", "6", "C"}) << file + QStringLiteral(".png") << args({"--capo", "2"}),
         "FRETS"},
        {args({"render", "x-3-2-0-1-0", "--tuning", "EA"}) << file + QStringLiteral(".svg"),
         "2 strings"},
        {args({"play", "x-3-2-0-1-0", "--capo", "13", "--wav"}) << file + QStringLiteral(".wav"),
         "'13'"},
        {args({"play", "0-0-0-3", "--wav"}) << file + QStringLiteral(".wav"), "4 marks"},
        {args({"sheet"}) << file + QStringLiteral(".pdf") << args({"6@F", "--capo", "1"}), "6@F"},
        {args({"sheet"}) << file + QStringLiteral(".pdf") << args({"C", "--instrument", "lute"}),
         "'lute'"},
        {args({"sheet"}) << file + QStringLiteral(".pdf")
                         << args({"0-0-0-3", "--instrument", "banjo"}),
         "4 marks"},
        {args({"sheet"}) << file + QStringLiteral(".musicxml") << args({"Am7", "--page", "a4"}),
         "--page"},
    };
    for (const auto& c : cases) {
        const ToolRun run = runTool(c.args);
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        EXPECT_EQ(run.status, 2);
        // The problem's line first (render and play add the hint to --help).
        EXPECT_TRUE(run.err.split(u'\n').first().contains(QLatin1String(c.named)))
            << run.err.toStdString();
        EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "a file was left behind";
    }
}

} // namespace
