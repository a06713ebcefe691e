#include "writers/ImageFolder.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Temporary names of this process count up across all folders and threads.
std::atomic<quint64> temporarySerial{0};

constexpr mode_t newFileMode = 0666; // narrowed by the umask, as for any new file
constexpr mode_t keptModeBits = 0777 | S_ISVTX;
constexpr int namedTemporaryAttempts = 8;

// The system error behind the last failed write of this thread, for the reason shown beside
// the file's name; 0 when the program itself refused the write.
thread_local int lastError = 0;

WriteResult resultFor(int error) {
    lastError = error;
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return WriteResult::FolderMissing;
    case EACCES:
    case EPERM:
    case EROFS:
        return WriteResult::AccessDenied;
    case ENAMETOOLONG:
    case EILSEQ:
        return WriteResult::BadName;
    default:
        return WriteResult::Failed;
    }
}

bool writeAll(int fd, const QByteArray& data) {
    const char* bytes = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, bytes, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        bytes += n;
        left -= n;
    }
    return true;
}

// The parts of ".strumvane-PID-N.tmp", or pid 0 for any other name.
qint64 temporaryOwner(const char* name) {
    static constexpr char prefix[] = ".strumvane-";
    static constexpr char suffix[] = ".tmp";
    constexpr qsizetype prefixLength = sizeof prefix - 1;
    constexpr qsizetype suffixLength = sizeof suffix - 1;
    const QByteArray text(name);
    if (!text.startsWith(prefix) || !text.endsWith(suffix))
        return 0;
    const QByteArray middle = text.mid(prefixLength, text.size() - prefixLength - suffixLength);
    const qsizetype dash = middle.indexOf('-');
    if (dash <= 0 || dash == middle.size() - 1)
        return 0;
    bool pidOk = false;
    bool serialOk = false;
    const qint64 pid = middle.left(dash).toLongLong(&pidOk);
    middle.mid(dash + 1).toULongLong(&serialOk);
    // Only the exact form this program writes: no signs, blanks or leading zeros.
    if (!pidOk || !serialOk || pid <= 0 || middle.left(dash) != QByteArray::number(pid))
        return 0;
    return pid;
}

bool processRuns(qint64 pid) {
    // EPERM: it runs under another user.
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

} // namespace

ImageFolder::ImageFolder(const QString& folder) : m_path(folder) {
    const QByteArray native = exactNativeName(folder);
    if (native.isEmpty()) {
        m_openResult = folder.isEmpty() ? WriteResult::FolderMissing : WriteResult::BadName;
        return;
    }
    // O_PATH: writing into a folder needs no right to list it.
    m_fd = ::open(native.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    m_openError = m_fd >= 0 ? 0 : errno;
    m_openResult = m_fd >= 0 ? WriteResult::Written : resultFor(m_openError);
}

ImageFolder::~ImageFolder() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool ImageFolder::isRemoved() const {
    struct stat info {};
    // A removed directory keeps no link, even while this descriptor holds it.
    return m_fd >= 0 && ::fstat(m_fd, &info) == 0 && info.st_nlink == 0;
}

ImageFolder::PathParts ImageFolder::splitPath(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    return {slash < 0 ? QStringLiteral(".") : fileName.left(slash + 1), fileName.mid(slash + 1)};
}

QByteArray ImageFolder::exactNativeName(const QString& text) {
    if (text.contains(QChar(0)))
        return {};
    QByteArray native = QFile::encodeName(text);
    if (QFile::decodeName(native) != text)
        return {};
    return native;
}

QByteArray ImageFolder::temporaryName(qint64 pid, quint64 serial) {
    return ".strumvane-" + QByteArray::number(pid) + '-' + QByteArray::number(serial) + ".tmp";
}

WriteResult ImageFolder::writeFile(const QString& name, const QByteArray& data,
                                   QString* reason) const {
    lastError = 0;
    WriteResult result = m_openResult;
    if (m_fd >= 0) {
        const QByteArray native = exactNativeName(name);
        result = native.isEmpty() || native == "." || native == ".." || native.contains('/')
                     ? WriteResult::BadName
                     : writeNative(native, data);
    } else {
        lastError = m_openError;
    }
    if (result != WriteResult::Written && reason)
        *reason = writeResultText(result, lastError);
    return result;
}

WriteResult ImageFolder::writeNative(const QByteArray& name, const QByteArray& data) const {
    // What may be replaced: only a regular file that this process could also have opened for
    // writing. Renaming over a write-protected file or over a device would need no right to
    // the file itself, only to the folder.
    struct stat old {};
    bool replacing = false;
    if (::fstatat(m_fd, name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(old.st_mode)) {
            lastError = S_ISDIR(old.st_mode) ? EISDIR : EACCES;
            return WriteResult::AccessDenied;
        }
        if (::faccessat(m_fd, name.constData(), W_OK, AT_EACCESS) != 0) {
            lastError = errno;
            return WriteResult::AccessDenied;
        }
        replacing = true;
    } else if (errno != ENOENT) {
        return resultFor(errno);
    }

    // An unnamed file vanishes by itself, whatever ends the process; it gets a name only once
    // it is complete.
    int fd = ::openat(m_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, newFileMode);
    const bool unnamed = fd >= 0;
    QByteArray temporary;
    if (!unnamed) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return resultFor(errno);
        for (int attempt = 0; attempt < namedTemporaryAttempts && fd < 0; ++attempt) {
            temporary = temporaryName(::getpid(), temporarySerial++);
            fd = ::openat(m_fd, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          newFileMode);
            if (fd < 0 && errno != EEXIST)
                return resultFor(errno);
        }
        if (fd < 0)
            return WriteResult::Failed;
    }
    const auto fail = [&](int error) {
        ::close(fd);
        if (!temporary.isEmpty())
            ::unlinkat(m_fd, temporary.constData(), 0);
        return resultFor(error);
    };

    if (!writeAll(fd, data))
        return fail(errno);
    if (replacing && ::fchmod(fd, old.st_mode & keptModeBits) != 0)
        return fail(errno);

    if (unnamed) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
        const auto linkAs = [&](const QByteArray& target) {
            if (::linkat(AT_FDCWD, self.constData(), m_fd, target.constData(), AT_SYMLINK_FOLLOW) ==
                0)
                return true;
            // Without /proc, only a process allowed to find any file may link by descriptor.
            return errno == ENOENT &&
                   ::linkat(fd, "", m_fd, target.constData(), AT_EMPTY_PATH) == 0;
        };
        if (!replacing && linkAs(name)) {
            // The name was free: the complete file appears in one step.
        } else if (!replacing && errno != EEXIST) {
            return fail(errno);
        } else {
            // A name can only be linked where none exists; the replacement goes in under a
            // temporary name and is renamed over the old file.
            for (int attempt = 0; attempt < namedTemporaryAttempts && temporary.isEmpty();
                 ++attempt) {
                const QByteArray candidate = temporaryName(::getpid(), temporarySerial++);
                if (linkAs(candidate))
                    temporary = candidate;
                else if (errno != EEXIST)
                    return fail(errno);
            }
            if (temporary.isEmpty())
                return fail(EEXIST);
        }
    }
    if (::close(fd) != 0) {
        const int error = errno;
        if (!temporary.isEmpty())
            ::unlinkat(m_fd, temporary.constData(), 0);
        return resultFor(error);
    }
    if (!temporary.isEmpty() &&
        ::renameat(m_fd, temporary.constData(), m_fd, name.constData()) != 0) {
        const int error = errno;
        ::unlinkat(m_fd, temporary.constData(), 0);
        return resultFor(error);
    }
    return WriteResult::Written;
}

WriteResult ImageFolder::probe() const {
    if (m_fd < 0)
        return m_openResult;
    int fd = ::openat(m_fd, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, newFileMode);
    if (fd >= 0) {
        ::close(fd);
        return WriteResult::Written;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return resultFor(errno);
    const QByteArray temporary = temporaryName(::getpid(), temporarySerial++);
    fd =
        ::openat(m_fd, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, newFileMode);
    if (fd < 0)
        return resultFor(errno);
    ::close(fd);
    ::unlinkat(m_fd, temporary.constData(), 0);
    return WriteResult::Written;
}

int ImageFolder::removeStaleTemporaries() const {
    if (m_fd < 0)
        return 0;
    const int listFd = ::openat(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0)
        return 0;
    DIR* dir = ::fdopendir(listFd);
    if (!dir) {
        ::close(listFd);
        return 0;
    }
    const qint64 self = ::getpid();
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const qint64 pid = temporaryOwner(entry->d_name);
        if (pid == 0 || pid == self || processRuns(pid))
            continue;
        struct stat info {};
        if (::fstatat(m_fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && ::unlinkat(m_fd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}
