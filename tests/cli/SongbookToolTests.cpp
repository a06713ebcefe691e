// songbook as a user runs it: files that are no songs, usage errors, warnings with file and
// line, and the options reaching the PDF.
#include "support/ToolProcess.h"
#include "support/XmlTree.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

namespace {

constexpr char goodSong[] = "{title: Swing Low}\n{key: D}\nSwing [D]low, sweet [G]chariot\n";

QString make(const QTemporaryDir& dir, const QString& name, const QByteArray& content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

QString pdfText(const QString& pdf, const QStringList& options = {}) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess process;
    process.start(tool, options + QStringList{pdf, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(60000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(SongbookTool, UnreadableSongs_ExitOneNamingFileAndReason_NothingWritten) {
    const struct {
        const char* name;
        QByteArray content; // empty with `folder` or `missing`
        const char* reason;
        bool folder = false;
        bool missing = false;
    } cases[] = {
        {"binary.cho", QByteArray("{title: x}\n\x00\x01\x02", 14), "binary"},
        {"latin1.cho", QByteArray("{title: Caf\xe9}\n"), "not UTF-8 text (line 1)"},
        {"utf16.cho", QByteArray("\xff\xfe{\0t\0}\0", 8), "UTF-16"},
        {"empty.cho", QByteArray(), "empty"},
        {"blank.cho", QByteArray(" \r\n\n\t\n"), "empty"},
        {"long.cho", QByteArray("{title: x}\n") + QByteArray(1 << 20, 'a'),
         "line 2 is longer than"},
        {"comments.cho", QByteArray("# only a note\n"), "holds no song"},
        {"folder.cho", QByteArray(), "folder", true},
        {"missing.cho", QByteArray(), "No such file", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString good = make(dir, QStringLiteral("good.cho"), goodSong);
        const QString bad = dir.filePath(QString::fromLatin1(c.name));
        if (c.folder)
            ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromLatin1(c.name)));
        else if (!c.missing)
            make(dir, QString::fromLatin1(c.name), c.content);
        const QStringList before =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const QString out = dir.filePath(QStringLiteral("book.pdf"));
        const ToolRun run = runTool({QStringLiteral("songbook"), out, good, bad});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("'%1'").arg(bad))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.reason))) << run.err.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before)
            << "something was written";
    }
}

TEST(SongbookTool, UsageErrors_ExitTwoInOneLine) {
    QTemporaryDir dir;
    const QString song = make(dir, QStringLiteral("s.cho"), goodSong);
    const QString out = dir.filePath(QStringLiteral("book.pdf"));
    const struct {
        QStringList args;
        const char* named;
    } cases[] = {
        {{out}, "at least one"},
        {{dir.filePath(QStringLiteral("book.png")), song}, ".pdf"},
        {{out, song, QStringLiteral("--transpose"), QStringLiteral("25")}, "'25'"},
        {{out, song, QStringLiteral("--transpose=+x")}, "'+x'"},
        {{out, song, QStringLiteral("--diagrams"), QStringLiteral("left")}, "'left'"},
        {{out, song, QStringLiteral("--page"), QStringLiteral("a3")}, "'a3'"},
        {{out, song, QStringLiteral("--labels"), QStringLiteral("frets")}, "'frets'"},
        {{out, song, QStringLiteral("--capo"), QStringLiteral("13")}, "'13'"},
        {{out, song, QStringLiteral("--instrument"), QStringLiteral("lute")}, "'lute'"},
        {{dir.filePath(QStringLiteral("book.musicxml")), song, QStringLiteral("--left-handed")},
         "--left-handed is for PDF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const ToolRun run = runTool(QStringList{QStringLiteral("songbook")} + c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.err.count(u'\n'), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.named))) << run.err.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "something was written";
    }
}

TEST(SongbookTool, WritesTheSongbook_WarningsWithFileAndLine) {
    QTemporaryDir dir;
    // A byte-order mark, Windows line ends, an unknown directive and a chord nobody can play.
    const QString song = make(dir, QStringLiteral("song.cho"),
                              "\xef\xbb\xbf{title: Swing Low}\r\n{key: D}\r\n{flavour: mild}\r\n"
                              "Swing [D]low, sweet [G]chariot [Hm7]too\r\n");
    const QString out = dir.filePath(QStringLiteral("book.pdf"));
    const ToolRun run =
        runTool({QStringLiteral("songbook"), out, song, QStringLiteral("--transpose"),
                 QStringLiteral("-2"), QStringLiteral("--page"), QStringLiteral("letter")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    const QStringList warnings = run.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(warnings.size(), 2) << run.err.toStdString();
    EXPECT_TRUE(warnings[0].startsWith(
        QStringLiteral("strumvane-charts: %1:3: unknown directive").arg(song)));
    EXPECT_TRUE(warnings[1].startsWith(QStringLiteral("strumvane-charts: %1:4: 'Hm7'").arg(song)));
    ASSERT_TRUE(QFile::exists(out));

    const QString text = pdfText(out, {QStringLiteral("-layout")});
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    EXPECT_TRUE(text.startsWith(QLatin1String("Swing Low")));
    EXPECT_TRUE(text.contains(QLatin1String("Key C"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\bC +F +Hm7\\b"))))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("{flavour: mild}")));
    const QString info = QString::fromUtf8([&] {
        QProcess pdfinfo;
        pdfinfo.start(QStringLiteral("pdfinfo"), {out});
        pdfinfo.waitForFinished(30000);
        return pdfinfo.readAllStandardOutput();
    }());
    EXPECT_TRUE(info.contains(QLatin1String("612 x 792"))) << "letter";
}

TEST(SongbookTool, MusicXml_OneMeasurePerChordInOrderOfFirstUse) {
    QTemporaryDir dir;
    const QString one = make(dir, QStringLiteral("one.cho"),
                             "{title: One}\n{define: G frets 3 2 0 0 3 3}\n[G]a [C]b [G]c [D7]d\n");
    const QString two = make(dir, QStringLiteral("two.cho"), "{title: Two}\n[Am]a [C]b [Hm]c\n");
    const QString capoed = make(dir, QStringLiteral("capo.cho"), "{capo: 2}\n[C]a\n");
    const QString out = dir.filePath(QStringLiteral("book.musicxml"));

    const ToolRun run = runTool({QStringLiteral("songbook"), out, one, two});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("%1:2: 'Hm'").arg(two))) << run.err.toStdString();
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const XmlTree score = XmlTree::parse(written.readAll());
    EXPECT_TRUE(score.textAt(QStringLiteral("work/work-title")).isEmpty()) << "two songs";
    QStringList chords;
    QString gFrets;
    for (const XmlTree& measure :
         score.child(QStringLiteral("part")).all(QStringLiteral("measure"))) {
        const XmlTree harmony = measure.child(QStringLiteral("harmony"));
        chords
            << harmony.textAt(QStringLiteral("root/root-step")) +
                   harmony.child(QStringLiteral("kind")).attributes.value(QStringLiteral("text"));
        if (chords.last() == u"G") {
            for (const XmlTree& note :
                 harmony.child(QStringLiteral("frame")).all(QStringLiteral("frame-note")))
                gFrets += note.textAt(QStringLiteral("fret"));
        }
    }
    EXPECT_EQ(chords.join(u' '), QStringLiteral("G C D7 Am")) << "each chord once, no Hm";
    EXPECT_EQ(gFrets, QStringLiteral("320033")) << "the file's own shape";

    // One score has one capo.
    const ToolRun mixed = runTool({QStringLiteral("songbook"), out, one, capoed});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_TRUE(mixed.err.contains(QLatin1String("--capo"))) << mixed.err.toStdString();
    ASSERT_EQ(runTool({QStringLiteral("songbook"), out, capoed, one, QStringLiteral("--capo"),
                       QStringLiteral("0")})
                  .status,
              0);
}

} // namespace
