// What strumvane-charts says and how it ends, seen from outside: user text in messages stays as
// typed, a standard stream that cannot be written fails the run, outside text reaches the
// terminal only escaped, and Qt never reads the tool's words.
#include "support/ToolProcess.h"

#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

// Runs the tool through the shell, so that `redirections` ("2>/dev/full", ">&-") apply.
ToolRun
runRedirected(const QStringList& args, const QString& redirections,
              const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("/bin/sh"),
                  QStringList{QStringLiteral("-c"),
                              QStringLiteral("exec \"$0\" \"$@\" ") + redirections,
                              QStringLiteral(CHARTS_TOOL)} +
                      args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

bool hasRawControl(const QString& text) {
    for (const QChar c : text) {
        if (c != u'\n' && c != u'\t' && c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

} // namespace

class ChartsToolOutputTests : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};

TEST_F(ChartsToolOutputTests, Messages_ShowTheUsersTextAsTypedNeverAsAPlaceholder) {
    QFile song(path(QStringLiteral("%1-%2.cho")));
    ASSERT_TRUE(song.open(QIODevice::WriteOnly));
    song.write("{frobnicate}\n[C]la\n");
    song.close();
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"name", "x-%1-3-2-1-0"}, "'%1' in 'x-%1-3-2-1-0' is no fret (0 to 24 or x)"},
        {{"name", "x-3-2-0-1-%2"}, "'%2' in 'x-3-2-0-1-%2' is no fret (0 to 24 or x)"},
        {{"sheet", path("o.pdf"), "C", "--columns", "%1"}, "--columns '%1' is not 1 to 8"},
        {{"find", "C", "--frets", "%1-%2"},
         "--frets '%1-%2' is no range LOW-HIGH of frets 0 to 24"},
        {{"find", "C", "--strings", "%1"}, "--strings '%1' is not 1 to 6"},
        {{"find", "C", "--capo", "%1"}, "no such capo '%1' (0 to 12)"},
        {{"show", "%1"}, "no such entry '%1' (1 to 611)"},
        {{"export-all", dir.path(), "--jobs", "%1"}, "no such number of jobs '%1' (1 to 256)"},
        {{"render", "6", "C", path("a.png"), "--style", "box", "--size", "%1x%2"},
         "--size '%1x%2' is not WIDTHxHEIGHT, each 1 to"},
        {{"songbook", path("o.pdf"), song.fileName(), "--transpose", "%1"},
         "--transpose '%1' is not -"},
        // A warning names the file as it is called, and then its line.
        {{"songbook", path("o.musicxml"), song.fileName()}, "%1-%2.cho:1: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const ToolRun run = runTool(c.args);
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.message))) << run.err.toStdString();
    }
}

TEST_F(ChartsToolOutputTests, Numbers_OnlyAsciiDigitsAreRead) {
    const QString wav = path(QStringLiteral("a.wav"));
    const QStringList cases[] = {
        {"find", "C\u0667"}, // an Arabic-Indic seven is no C7
        {"find", "C", "--frets", "\uFF10-\uFF11\uFF12"},
        {"name", "x-\u0663-2-0-1-0"},
        {"play", "6", "C", "--wav", wav, "--seconds", " 1"},
        {"play", "6", "C", "--wav", wav, "--seconds", "1e0"},
        {"play", "6", "C", "--wav", wav, "--seconds", "\u0661.5"},
        {"play", "6", "C", "--wav", wav, "--seconds", "1.\u0665"},
        {"sheet", path("o.pdf"), "C", "--capo", "\u0662"},
    };
    for (const QStringList& args : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const ToolRun run = runTool(args);
        EXPECT_EQ(run.status, 2) << run.out.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ChartsToolOutputTests, Streams_AStreamThatCannotBeWrittenEndsTheRunWithStatusOne) {
    const struct {
        QStringList args;
        const char* redirections;
        const char* reason; // on standard error; empty where that is the broken stream
    } cases[] = {
        {{"name", "x-3-2-0-1-0"}, ">/dev/full", "No space left on device"},
        {{"name", "--help"}, ">/dev/full", "No space left on device"},
        {{"find", "--help"}, ">/dev/full", "No space left on device"},
        {{"sheet", "--help"}, ">/dev/full", "No space left on device"},
        {{"songbook", "--help"}, ">/dev/full", "No space left on device"},
        {{"find", "Am7"}, ">&-", "Bad file descriptor"},
        {{"play", "--help"}, ">&-", "Bad file descriptor"},
        {{"--version"}, ">&-", "Bad file descriptor"},
        // Found nothing: the message that says so is all the run gives.
        {{"find", "C", "--frets", "20-20"}, "2>/dev/full", ""},
        {{"find", "C", "--frets", "20-20"}, "2>&-", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString() + ' ' + c.redirections);
        const ToolRun run = runRedirected(c.args, QString::fromLatin1(c.redirections));
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.contains(QLatin1String(c.reason))) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
}

TEST_F(ChartsToolOutputTests, OutsideText_ReachesTheTerminalEscaped) {
    const QString hostile = QStringLiteral("\x1b[31mred\nline");
    const QString escaped = QStringLiteral("\\x1b[31mred\\x0aline");
    // The General MIDI SoundFont of the tests' machine (timgm6mb-soundfont), cut short.
    QFile soundFont(QStringLiteral("/usr/share/sounds/sf2/default-GM.sf2"));
    QFile truncated(path(QStringLiteral("truncated.sf2")));
    const bool synthesiser = soundFont.open(QIODevice::ReadOnly);
    if (synthesiser) {
        ASSERT_TRUE(truncated.open(QIODevice::WriteOnly));
        truncated.write(soundFont.read(100000));
        truncated.close();
    }
    const struct {
        QStringList args;
        const char* variable;
        QString value;
        QString shown; // on standard output or error
        bool needsSynthesiser;
    } cases[] = {
        {{"play", "6", "C", "--verbose", "--seconds", "0.1"},
         "STRUMVANE_MIDI_PORT",
         hostile,
         escaped,
         false},
        {{"play", "--list-ports"}, "STRUMVANE_MIDI_PORT", hostile, escaped, false},
        {{"play", "6", "C", "--wav", path("o.wav")},
         "STRUMVANE_SOUNDFONT",
         path(hostile),
         escaped,
         false},
        {{"play", "6", "C", "--verbose", "--wav", path(hostile + ".wav")},
         nullptr,
         {},
         escaped,
         true},
        // The SoundFont loaders' own log says its words among the reasons, not on a line of
        // its own.
        {{"play", "6", "C", "--wav", path("o.wav")},
         "STRUMVANE_SOUNDFONT",
         truncated.fileName(),
         QStringLiteral("does not load"),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        if (c.needsSynthesiser && !synthesiser)
            continue;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (c.variable)
            environment.insert(QString::fromLatin1(c.variable), c.value);
        const ToolRun run = runTool(c.args, 60000, environment);
        const QString& out = run.out;
        const QString& err = run.err;
        EXPECT_TRUE((out + err).contains(c.shown)) << (out + err).toStdString();
        EXPECT_FALSE(hasRawControl(out + err)) << (out + err).toStdString();
        EXPECT_FALSE(err.contains(QLatin1String("CRITICAL"))) << err.toStdString();
        for (const QString& line : err.split(u'\n', Qt::SkipEmptyParts))
            EXPECT_TRUE(line.startsWith(QLatin1String("strumvane-charts: "))) << err.toStdString();
    }
}

TEST_F(ChartsToolOutputTests, QtOptions_AreTheToolsWordsLikeAnyOther) {
    QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
    headless.remove(QStringLiteral("DISPLAY"));
    headless.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const ToolRun platform = runRedirected({QStringLiteral("find"), QStringLiteral("Am7"),
                                            QStringLiteral("-platform"), QStringLiteral("xcb")},
                                           QString(), headless);
    EXPECT_EQ(platform.status, 2) << platform.err.toStdString();
    EXPECT_TRUE(platform.err.contains(QLatin1String("platform"))) << platform.err.toStdString();

    const QString pdfInfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfInfo.isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    const struct {
        QString title;
        QString metadata; // as pdfinfo reads the PDF's title
    } titles[] = {
        {QStringLiteral("-reverse"), QStringLiteral("-reverse")},
        {QStringLiteral("Verse\n\x1b[31mone\tand\rtwo"), QStringLiteral("Verse  [31mone and two")},
    };
    for (const auto& t : titles) {
        const QString pdf = path(QStringLiteral("o.pdf"));
        const ToolRun sheet = runTool({QStringLiteral("sheet"), pdf, QStringLiteral("C"),
                                       QStringLiteral("--title"), t.title});
        ASSERT_EQ(sheet.status, 0) << sheet.err.toStdString();
        QProcess info;
        info.start(pdfInfo, {pdf});
        ASSERT_TRUE(info.waitForFinished(30000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        const QString titleLine = text.section(u'\n', 0, 0);
        ASSERT_TRUE(titleLine.startsWith(QLatin1String("Title:"))) << text.toStdString();
        EXPECT_EQ(titleLine.mid(6).trimmed(), t.metadata);
    }
}

TEST_F(ChartsToolOutputTests, Sheet_ALongTitleEndsInAnEllipsisOnThePage) {
    const QString pdfToText = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdfToText.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString title =
        QStringLiteral("Lesson ") + QStringLiteral("very long words ").repeated(20);
    const QString pdf = path(QStringLiteral("o.pdf"));
    const ToolRun sheet = runTool(
        {QStringLiteral("sheet"), pdf, QStringLiteral("C"), QStringLiteral("--title"), title});
    ASSERT_EQ(sheet.status, 0) << sheet.err.toStdString();
    QProcess text;
    text.start(pdfToText, {QStringLiteral("-l"), QStringLiteral("1"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString firstLine = QString::fromUtf8(text.readAllStandardOutput()).section(u'\n', 0, 0);
    EXPECT_TRUE(firstLine.startsWith(QStringLiteral("Lesson very long words")))
        << firstLine.toStdString();
    EXPECT_TRUE(firstLine.endsWith(QChar(0x2026))) << firstLine.toStdString();
    EXPECT_LT(firstLine.size(), title.size());
}
