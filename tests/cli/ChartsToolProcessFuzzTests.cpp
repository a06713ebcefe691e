// Every command of the built strumvane-charts, run as a process with mutated arguments (seeded,
// a few hundred runs, bounded in time): it never dies of a signal, prints no raw control
// character, explains every failure, and leaves no temporary file in its folder. A run that
// takes too long is stopped with SIGTERM and must end at once, as interrupted.
#include "support/ToolProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

namespace {

constexpr std::uint32_t fixedSeed = 21;
constexpr int runs = 300;
constexpr int minimumRuns = 60;     // done however slow the build (sanitizers)
constexpr qint64 budgetMs = 120000; // the whole test; the rest of the runs are skipped
constexpr int runTimeoutMs = 20000;
constexpr int endAfterSignalMs = 3000;

// A correct call of each command, the start of each mutation. Names are relative to the run's
// own folder, where a song "s.cho" waits.
const QList<QStringList>& startingPoints() {
    static const QList<QStringList> lists = {
        {"list"},
        {"show", "6", "C"},
        {"render", "6", "C", "o.png"},
        {"render", "x-3-2-0-1-0", "o.svg", "--style", "box"},
        {"export-all", "missing-folder", "--format", "bmp"},
        {"play", "6", "C", "--wav", "o.wav", "--seconds", "0.2"},
        {"play", "--list-ports"},
        {"name", "x-3-5-4-5-x", "--all"},
        {"find", "Am7", "--frets", "5-8"},
        {"find", "--notes", "C,E,G", "--instrument", "ukulele"},
        {"sheet", "o.pdf", "C", "Am7", "6@F", "--title", "Song"},
        {"sheet", "o.musicxml", "G", "--capo", "2"},
        {"songbook", "o.pdf", "s.cho", "--transpose", "2"},
    };
    return lists;
}

// Words that reach the commands' checks: every option, values at and past their edges, user
// text with placeholders, control characters, other digits and Qt's own options.
const QStringList& vocabulary() {
    static const QStringList words = {"--title",
                                      "--columns",
                                      "--frets",
                                      "--capo",
                                      "--tuning",
                                      "--instrument",
                                      "--strings",
                                      "--top",
                                      "--near",
                                      "--span",
                                      "--no-open",
                                      "--source",
                                      "--style",
                                      "--labels",
                                      "--captions",
                                      "--chart",
                                      "--left-handed",
                                      "--page",
                                      "--size",
                                      "--format",
                                      "--jobs",
                                      "--unique-names",
                                      "--seconds",
                                      "--wav",
                                      "--program",
                                      "--strum",
                                      "--verbose",
                                      "--notes",
                                      "--inversions",
                                      "--rootless",
                                      "--all",
                                      "--transpose",
                                      "--diagrams",
                                      "--voice-lead",
                                      "--help",
                                      "--version",
                                      "-h",
                                      "-platform",
                                      "xcb",
                                      "-reverse",
                                      "--",
                                      "-",
                                      "%1",
                                      "%2%3",
                                      "0",
                                      "1",
                                      "2",
                                      "6",
                                      "12",
                                      "24",
                                      "25",
                                      "127",
                                      "611",
                                      "612",
                                      "-1",
                                      "+1",
                                      "1.5",
                                      "0.1",
                                      "99999999999",
                                      "\u0663",
                                      "\uFF11\uFF12",
                                      "0-5",
                                      "5-0",
                                      "x-3-2-0-1-0",
                                      "0-2-3-2",
                                      "x-x-x-x-x-x",
                                      "x-%1-3-2-1-0",
                                      "Am7",
                                      "C",
                                      "F#m7b5",
                                      "C/G",
                                      "H",
                                      "C\u0667",
                                      "6@F",
                                      "999@C",
                                      "DADGAD",
                                      "D2 A2 D3 G3 A3 D4",
                                      "ukulele",
                                      "bass",
                                      "lute",
                                      "box",
                                      "fretboard",
                                      "a4",
                                      "letter",
                                      "both",
                                      "notes",
                                      "none",
                                      "all",
                                      "generated",
                                      "40x30",
                                      "0x9",
                                      "jpg",
                                      "o.pdf",
                                      "o.musicxml",
                                      "o.png",
                                      "o.svg",
                                      "o.jpg",
                                      "o.bmp",
                                      "o.wav",
                                      "missing/o.pdf",
                                      "s.cho",
                                      "missing.cho",
                                      "o\x1b[31m\n.wav",
                                      "\x1b[31mred",
                                      "a\nb",
                                      "\r",
                                      "tab\there",
                                      "\u2028",
                                      QString(3000, u'x')};
    return words;
}

class Mutator {
public:
    explicit Mutator(std::uint32_t seed) : m_random(seed) {}

    QStringList next() {
        QStringList args = startingPoints()[pick(int(startingPoints().size()))];
        for (int edits = 1 + pick(3); edits > 0; --edits) {
            const int at = args.size() > 1 ? 1 + pick(int(args.size()) - 1) : 1;
            switch (pick(3)) {
            case 0:
                args.insert(at, word());
                break;
            case 1:
                if (at < args.size())
                    args[at] = word();
                break;
            default:
                if (at < args.size())
                    args.removeAt(at);
            }
        }
        return args;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    QString word() { return vocabulary()[pick(int(vocabulary().size()))]; }

    std::mt19937 m_random;
};

bool hasRawControl(const QString& text) {
    for (const QChar c : text) {
        if (c != u'\n' && c != u'\t' &&
            (c.category() == QChar::Other_Control || c == QChar::LineSeparator))
            return true;
    }
    return false;
}

std::string shown(const QStringList& args) {
    QString text;
    for (const QString& arg : args)
        text += u'[' + arg.left(40).toHtmlEscaped().replace(u'\n', QStringLiteral("\\n")) + u']';
    return text.toStdString();
}

} // namespace

TEST(ChartsToolProcessFuzz, MutatedCommands_NoCrashNoRawControlsEveryFailureSaidNoLeftovers) {
    Mutator mutator(fixedSeed);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("STRUMVANE_MIDI_PORT"), QStringLiteral("none"));
    QElapsedTimer clock;
    clock.start();
    int done = 0;
    int statusCounts[3] = {0, 0, 0};
    for (; done < runs && (done < minimumRuns || clock.elapsed() < budgetMs); ++done) {
        const QStringList args = mutator.next();
        SCOPED_TRACE("seed " + std::to_string(fixedSeed) + " run " + std::to_string(done) + ": " +
                     shown(args));
        // export-all into the run's own folder would write thousands of files.
        if (args.first() == QLatin1String("export-all") &&
            (args.contains(QString()) || args.contains(QStringLiteral("."))))
            continue;
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        QFile song(folder.filePath(QStringLiteral("s.cho")));
        ASSERT_TRUE(song.open(QIODevice::WriteOnly));
        song.write("{title: Swing %1}\n{key: D}\nSwing [D]low, sweet [G]chari[D]ot,\n{bogus}\n");
        song.close();

        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral(CHARTS_TOOL), args);
        ASSERT_TRUE(process.waitForStarted());
        bool stopped = false;
        if (!process.waitForFinished(runTimeoutMs)) {
            stopped = true;
            process.terminate();
            if (!process.waitForFinished(endAfterSignalMs)) {
                process.kill();
                process.waitForFinished();
                ADD_FAILURE() << "SIGTERM did not end the run";
            }
        }
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        const QString err = QString::fromUtf8(process.readAllStandardError());
        const int status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        if (stopped) {
            EXPECT_TRUE(status == 130 || status == 143) << status;
        } else {
            ASSERT_GE(status, 0) << "died of a signal; stderr: " << err.toStdString();
            ASSERT_LE(status, 2) << err.toStdString();
            ++statusCounts[status];
        }
        EXPECT_FALSE(hasRawControl(out)) << out.left(400).toStdString();
        EXPECT_FALSE(hasRawControl(err)) << err.left(400).toStdString();
        if (status != 0) {
            EXPECT_TRUE(err.startsWith(QLatin1String("strumvane-charts: ")))
                << "a failure without a message: " << err.toStdString();
        }
        EXPECT_TRUE(QDir(folder.path())
                        .entryList({QStringLiteral(".strumvane-*")},
                                   QDir::Files | QDir::Hidden | QDir::System)
                        .isEmpty())
            << "a temporary file was left behind";
        if (HasFailure())
            return;
    }
    std::cout << "[ MEASURED ] " << done << " runs in " << clock.elapsed() / 1000.0
              << " s; exit 0: " << statusCounts[0] << ", exit 1: " << statusCounts[1]
              << ", exit 2: " << statusCounts[2] << std::endl;
    // The mutations reach the commands' work as well as their refusals.
    EXPECT_GT(statusCounts[0], done / 20);
    EXPECT_GT(statusCounts[2], done / 4);
}
