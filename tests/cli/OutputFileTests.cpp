// The files of strumvane-charts as a user meets them when things go wrong: every command that
// writes a file gives the system's reason for a failure, tidies the leftovers of killed runs of
// this machine, and Ctrl-C or SIGTERM ends it soon with nothing written.
#include "support/SmallFileSystem.h"
#include "support/ToolProcess.h"
#include "writers/ImageFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr char song[] = "{title: Swing Low}\nSwing [D]low, sweet [G]chariot\n";

// Every file and folder in `folder`, hidden ones too.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// A process id that no process has now.
qint64 deadProcess() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// Whether process `pid` has a handler of its own for `signalNumber` (its "SigCgt" mask).
bool catches(qint64 pid, int signalNumber) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1;
    }
    return false;
}

} // namespace

class OutputFileTests : public ::testing::Test {
protected:
    OutputFileTests() {
        QFile file(dir.filePath(QStringLiteral("song.cho")));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(song);
    }
    // The commands that write a file, each writing `target` (its suffix is replaced).
    QList<QStringList> writers(const QString& target) const {
        const auto as = [&](const char* suffix) {
            return target.left(target.lastIndexOf(u'.')) + QLatin1String(suffix);
        };
        const QString cho = dir.filePath(QStringLiteral("song.cho"));
        return {
            {"render", "6", "C", as(".png")},
            {"render", "6", "C", as(".svg")},
            {"render", "x-3-2-0-1-0", as(".pdf")},
            {"sheet", as(".pdf"), "C", "Am"},
            {"sheet", as(".musicxml"), "C"},
            {"songbook", as(".pdf"), cho},
            {"play", "x-3-2-0-1-0", "--wav", as(".wav"), "--seconds", "0.1"},
        };
    }
    QTemporaryDir dir;
};

TEST_F(OutputFileTests, EveryWritingCommand_SaysTheSystemsReasonAndLeavesNothing) {
    const QString full = dir.filePath(QStringLiteral("full"));
    const QString readOnly = dir.filePath(QStringLiteral("read-only"));
    const SmallFileSystem fullDisk(full, "size=4k");
    const SmallFileSystem readOnlyDisk(readOnly, "size=64k,ro");
    if (fullDisk.mounted()) {
        // A filler takes the little room there is.
        QFile filler(full + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(64 * 1024, 'x'));
    }
    const QString taken = dir.filePath(QStringLiteral("taken"));
    const struct {
        const char* name;
        QString target; // a .pdf name; each command takes its own suffix
        bool arranged;
        const char* reason;
    } cases[] = {
        {"a folder in the way", taken + QStringLiteral(".pdf"), true, "Is a directory"},
        {"a name too long", dir.filePath(QString(300, u'n') + QStringLiteral(".pdf")), true,
         "File name too long"},
        {"a missing folder", dir.filePath(QStringLiteral("missing/x.pdf")), true,
         "No such file or directory"},
        {"a full disk", full + QStringLiteral("/x.pdf"), fullDisk.mounted(),
         "No space left on device"},
        {"a read-only file system", readOnly + QStringLiteral("/x.pdf"), readOnlyDisk.mounted(),
         "Read-only file system"},
    };
    for (const auto& c : cases) {
        if (!c.arranged) {
            std::cout << "skipped '" << c.name << "': mounting a small file system needs root\n";
            continue;
        }
        for (const QStringList& args : writers(c.target)) {
            SCOPED_TRACE(c.name + (u' ' + args.join(u' ')).toStdString());
            const QString target = *std::find_if(args.begin(), args.end(), [](const QString& a) {
                return a.contains(u'/') && !a.endsWith(QLatin1String(".cho"));
            });
            if (QString(c.reason) == QLatin1String("Is a directory"))
                QDir().mkpath(target);
            const ToolRun run = runTool(args);
            EXPECT_EQ(run.status, 1);
            EXPECT_EQ(run.err, QStringLiteral("strumvane-charts: cannot write '%1': %2\n")
                                   .arg(target, QLatin1String(c.reason)));
        }
    }
    QStringList left = entries(dir.path());
    for (const char* made : {"song.cho", "taken.png", "taken.svg", "taken.pdf", "taken.musicxml",
                             "taken.wav", "full", "read-only"})
        left.removeAll(QLatin1String(made));
    EXPECT_TRUE(left.isEmpty()) << left.join(u' ').toStdString();
    if (fullDisk.mounted()) {
        EXPECT_EQ(entries(full), QStringList{"filler"});
    }
}

// What killed runs left behind: this machine's dead processes' files go, whatever command
// writes next into the folder; another machine's stay, as its writer may still run.
TEST_F(OutputFileTests, EveryWritingCommand_RemovesThisMachinesStaleTemporaries) {
    const qint64 dead = deadProcess();
    const QString ours = QString::fromLatin1(ImageFolder::temporaryName(dead, 1));
    const QString theirs = QStringLiteral(".strumvane-another-host-%1-1.tmp").arg(dead);
    for (const QStringList& args : writers(dir.filePath(QStringLiteral("out.pdf")))) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        for (const QString& name : {ours, theirs}) {
            QFile leftOver(dir.filePath(name));
            ASSERT_TRUE(leftOver.open(QIODevice::WriteOnly));
            leftOver.write("part");
        }
        EXPECT_EQ(runTool(args).status, 0);
        EXPECT_FALSE(QFile::exists(dir.filePath(ours)));
        EXPECT_TRUE(QFile::exists(dir.filePath(theirs)));
    }
}

// Ctrl-C or SIGTERM while a long command works: it ends soon, with the status a shell shows
// for the signal, and writes nothing, not even a temporary file.
TEST_F(OutputFileTests, LongCommands_EndOnSigintOrSigtermWritingNothing) {
    const QString out = dir.filePath(QStringLiteral("out"));
    QDir().mkdir(out);
    QStringList chords; // a sheet of some 730 pages
    for (int i = 0; i < 2500; ++i)
        chords << QStringList{"6@C", "12@F", "40@D", "35@G", "91@F", "92@C", "164@G"};
    const struct {
        const char* name;
        QStringList args;
        int signalNumber;
    } cases[] = {
        {"sheet, Ctrl-C", QStringList{"sheet", out + "/a.pdf"} + chords, SIGINT},
        {"sheet of charts, SIGTERM",
         QStringList{"sheet", out + "/b.pdf", "--style", "fretboard"} + chords, SIGTERM},
        {"play --wav, SIGTERM",
         {"play", "x-3-2-0-1-0", "--wav", out + "/c.wav", "--seconds", "600"},
         SIGTERM},
        {"export-all, Ctrl-C", {"export-all", out}, SIGINT},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess process;
        process.start(QStringLiteral(CHARTS_TOOL), c.args);
        ASSERT_TRUE(process.waitForStarted());
        // Sent once the tool handles it, which it does before any work starts.
        QElapsedTimer waited;
        waited.start();
        while (!catches(process.processId(), c.signalNumber) && waited.elapsed() < 30000)
            QThread::msleep(1);
        ::kill(pid_t(process.processId()), c.signalNumber);
        // Generous for a loaded machine: a command that ignored the signal runs far longer.
        EXPECT_TRUE(process.waitForFinished(10000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 128 + c.signalNumber);
        for (const QString& name : entries(out))
            EXPECT_TRUE(c.args.first() == QLatin1String("export-all") && !name.startsWith(u'.'))
                << name.toStdString();
        if (c.args.first() == QLatin1String("export-all")) {
            EXPECT_TRUE(process.readAllStandardError().contains("interrupted after"));
        }
    }
}
