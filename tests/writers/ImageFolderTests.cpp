#include "support/FileTestSupport.h"
#include "writers/FileDraft.h"
#include "writers/ImageFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace FileTestSupport;
using WriteResult = WriteResult;

namespace {

constexpr uid_t unprivilegedId = 65534; // nobody

// Runs `body` as an unprivileged user and returns its result: in a child that drops root
// when this process is root, else here. -1 when no unprivileged user can be had.
int asUnprivileged(const std::function<int()>& body) {
    if (geteuid() != 0)
        return body();
    const pid_t child = fork();
    if (child == 0) {
        if (setresgid(unprivilegedId, unprivilegedId, unprivilegedId) != 0 ||
            setresuid(unprivilegedId, unprivilegedId, unprivilegedId) != 0)
            _exit(255);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) != 255 ? WEXITSTATUS(status) : -1;
}

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

class ImageFolderTests : public ::testing::Test {
protected:
    ImageFolderTests() {
        // Open to the unprivileged user; the folder written into is the user's own.
        chmod(QFile::encodeName(dir.path()).constData(), 0755);
        folder = dir.filePath(QStringLiteral("charts"));
        QDir().mkdir(folder);
        if (geteuid() == 0)
            chown(QFile::encodeName(folder).constData(), unprivilegedId, unprivilegedId);
    }
    QString file(const char* name) const { return folder + u'/' + QLatin1String(name); }
    QTemporaryDir dir;
    QString folder;
};

// What may be replaced and what is refused, as an ordinary user would meet it.
TEST_F(ImageFolderTests, ExistingTargets_OnlyWritableRegularFilesAreReplacedKeepingTheirMode) {
    const bool root = geteuid() == 0;
    const auto regular = [&](const char* name, mode_t mode, bool othersFile) {
        writeAll(file(name), "old");
        chmod(QFile::encodeName(file(name)).constData(), mode);
        if (root && !othersFile)
            chown(QFile::encodeName(file(name)).constData(), unprivilegedId, unprivilegedId);
    };
    const struct {
        const char* name;
        std::function<bool()> plant; // false: cannot be arranged here
        WriteResult result;
        mode_t mode; // of the file afterwards; 0: not a regular file
    } cases[] = {
        {"absent", [] { return true; }, WriteResult::Written, 0644},
        {"own 0640", [&] { return regular("own 0640", 0640, false), true; }, WriteResult::Written,
         0640},
        {"own 0444", [&] { return regular("own 0444", 0444, false), true; },
         WriteResult::AccessDenied, 0444},
        {"others 0644", [&] { return root && (regular("others 0644", 0644, true), true); },
         WriteResult::AccessDenied, 0644},
        {"others 0666", [&] { return root && (regular("others 0666", 0666, true), true); },
         WriteResult::Written, 0666},
        {"folder", [&] { return QDir().mkdir(file("folder")); }, WriteResult::AccessDenied, 0},
        {"pipe", [&] { return mkfifo(QFile::encodeName(file("pipe")).constData(), 0666) == 0; },
         WriteResult::AccessDenied, 0},
        {"device",
         [&] {
             return mknod(QFile::encodeName(file("device")).constData(), S_IFCHR | 0666,
                          makedev(1, 5)) == 0;
         },
         WriteResult::AccessDenied, 0},
        {"link", [&] { return QFile::link(file("own 0640"), file("link")); },
         WriteResult::AccessDenied, 0},
    };
    const mode_t oldMask = umask(022);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.plant()) {
            std::cout << "skipped '" << c.name << "': needs root to arrange\n";
            continue;
        }
        const int result = asUnprivileged(
            [&] { return int(ImageFolder(folder).writeFile(QLatin1String(c.name), "new")); });
        if (result < 0)
            GTEST_SKIP() << "no unprivileged user to run as";
        EXPECT_EQ(WriteResult(result), c.result);
        struct stat info {};
        ASSERT_EQ(lstat(QFile::encodeName(file(c.name)).constData(), &info), 0);
        if (c.mode != 0) {
            EXPECT_EQ(info.st_mode & 07777, c.mode);
            EXPECT_EQ(readAll(file(c.name)),
                      c.result == WriteResult::Written ? QByteArray("new") : QByteArray("old"));
        } else {
            EXPECT_FALSE(S_ISREG(info.st_mode));
        }
    }
    umask(oldMask);
    for (const QString& name : entries(folder))
        EXPECT_FALSE(name.startsWith(u'.')) << name.toStdString();
}

TEST_F(ImageFolderTests, NamesAndFolders_OnlyExactNamesAreWritten) {
    const ImageFolder open(folder);
    const struct {
        const char* name;
        QString fileName;
        WriteResult result;
    } cases[] = {
        {"plain", QStringLiteral("Cmaj C-G-C-E-G-C 1.jpg"), WriteResult::Written},
        {"lone surrogate", QStringLiteral("caf") + QChar(0xd800) + QStringLiteral(".jpg"),
         WriteResult::BadName},
        {"embedded NUL", QStringLiteral("a") + QChar(0) + QStringLiteral("b.jpg"),
         WriteResult::BadName},
        {"slash", QStringLiteral("sub/x.jpg"), WriteResult::BadName},
        {"dot dot", QStringLiteral(".."), WriteResult::BadName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(open.writeFile(c.fileName, "x"), c.result);
    }
    EXPECT_EQ(entries(folder), QStringList{"Cmaj C-G-C-E-G-C 1.jpg"});
    EXPECT_EQ(ImageFolder(folder + QChar(0xdc00)).openResult(), WriteResult::BadName);
    EXPECT_EQ(ImageFolder(folder + QStringLiteral("/gone")).writeFile("x", "x"),
              WriteResult::FolderMissing);
}

// A folder moved during a run gets every file; stale temporaries of dead processes go.
TEST_F(ImageFolderTests, Temporaries_MovedFolderKeepsNoneAndStaleOnesAreRemoved) {
    const ImageFolder open(folder);
    const QString moved = dir.filePath(QStringLiteral("moved"));
    ASSERT_TRUE(QDir().rename(folder, moved));
    EXPECT_EQ(open.writeFile(QStringLiteral("a.bmp"), "new"), WriteResult::Written);
    EXPECT_EQ(open.writeFile(QStringLiteral("a.bmp"), "newer"), WriteResult::Written);
    EXPECT_EQ(entries(moved), QStringList{"a.bmp"});
    EXPECT_EQ(readAll(moved + QStringLiteral("/a.bmp")), "newer");
    EXPECT_FALSE(QFileInfo::exists(folder));

    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const QByteArray stale = ImageFolder::temporaryName(dead, 3);
    const QStringList kept = {QString::fromLatin1(ImageFolder::temporaryName(getpid(), 1)),
                              QString::fromLatin1(ImageFolder::temporaryName(1, 2)),
                              QStringLiteral(".strumvane-0%1-1.tmp").arg(dead),
                              QStringLiteral(".strumvane-x-1.tmp")};
    writeAll(moved + u'/' + QString::fromLatin1(stale), "part");
    for (const QString& name : kept)
        writeAll(moved + u'/' + name, "part");
    EXPECT_EQ(open.removeStaleTemporaries(), 1);
    EXPECT_FALSE(QFileInfo::exists(moved + u'/' + QString::fromLatin1(stale)));
    EXPECT_EQ(entries(moved).size(), kept.size() + 1);
}

// On a file system without unnamed temporary files: a write killed halfway leaves a hidden file
// naming this machine and the process, and only such files of dead processes are tidied away.
TEST_F(ImageFolderTests, NamedTemporaries_OnlyThisMachinesDeadProcessesFilesAreRemoved) {
    const pid_t killed = fork();
    if (killed == 0) {
        const ImageFolder named(folder, ImageFolder::Temporaries::NamedOnly);
        FileDraft draft = named.draft(QStringLiteral("song.wav"));
        draft.append("half");
        raise(SIGKILL);
    }
    waitpid(killed, nullptr, 0);
    const QStringList leftOver = entries(folder);
    ASSERT_EQ(leftOver.size(), 1);
    const QString prefix = QStringLiteral(".strumvane-%1-%2-")
                               .arg(QString::fromLatin1(ImageFolder::hostTag()))
                               .arg(killed);
    EXPECT_TRUE(leftOver.first().startsWith(prefix)) << leftOver.first().toStdString();

    const qint64 dead = killed;
    const struct {
        QString name;
        bool removed;
    } cases[] = {
        {QString::fromLatin1(ImageFolder::temporaryName(dead, 7)), true},
        {QStringLiteral(".strumvane-%1-7.tmp").arg(dead), true}, // older name, local folder
        {QStringLiteral(".strumvane-other-host-%1-7.tmp").arg(dead), false},
        {QString::fromLatin1(ImageFolder::temporaryName(getpid(), 7)), false},
        {QString::fromLatin1(ImageFolder::temporaryName(0, 7)), false},
        {QStringLiteral(".strumvane--%1-7.tmp").arg(dead), false},
    };
    for (const auto& c : cases)
        writeAll(folder + u'/' + c.name, "part");
    EXPECT_EQ(ImageFolder(folder).removeStaleTemporaries(), 3);
    for (const auto& c : cases)
        EXPECT_EQ(QFileInfo::exists(folder + u'/' + c.name), !c.removed) << c.name.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder + u'/' + leftOver.first()));
}

// A file written piece by piece through a named temporary appears only whole, under its name,
// replacing the old file and keeping its mode; a dropped one leaves nothing.
TEST_F(ImageFolderTests, Drafts_AppearWholeAtCommitAndDroppedOnesLeaveNothing) {
    for (const auto temporaries :
         {ImageFolder::Temporaries::NamedOnly, ImageFolder::Temporaries::UnnamedWherePossible}) {
        SCOPED_TRACE(int(temporaries));
        writeAll(file("a.wav"), "old");
        chmod(QFile::encodeName(file("a.wav")).constData(), 0640);
        const ImageFolder open(folder, temporaries);
        {
            FileDraft dropped = open.draft(QStringLiteral("b.wav"));
            EXPECT_TRUE(dropped.append("never"));
        }
        FileDraft draft = open.draft(QStringLiteral("a.wav"));
        EXPECT_TRUE(draft.append("....body"));
        EXPECT_TRUE(draft.writeAt(0, "head"));
        EXPECT_FALSE(draft.writeAt(6, "past"));
        EXPECT_EQ(readAll(file("a.wav")), "old");
        EXPECT_EQ(draft.commit(), WriteResult::Written);
        EXPECT_EQ(readAll(file("a.wav")), "headbody");
        EXPECT_EQ(QFileInfo(file("a.wav")).permissions() & QFileDevice::WriteGroup, 0);
        EXPECT_EQ(entries(folder), QStringList{"a.wav"});
    }
}
