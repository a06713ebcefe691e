#include "writers/FileDraft.h"

#include "writers/ImageFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr mode_t newFileMode = 0666; // narrowed by the umask, as for any new file
constexpr mode_t keptModeBits = 0777 | S_ISVTX;
constexpr int namedTemporaryAttempts = 8;

// Writes all of `size` bytes at `offset`, or at the file's end when `offset` is negative.
bool writeAll(int fd, const char* bytes, qint64 size, qint64 offset) {
    while (size > 0) {
        const ssize_t n = offset < 0 ? ::write(fd, bytes, size_t(size))
                                     : ::pwrite(fd, bytes, size_t(size), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        bytes += n;
        size -= n;
        if (offset >= 0)
            offset += n;
    }
    return true;
}

} // namespace

FileDraft::FileDraft(int folderFd, const QByteArray& name, bool namedOnly)
    : m_folderFd(folderFd), m_name(name) {
    if (checkTarget())
        openTemporary(namedOnly);
}

FileDraft::FileDraft(WriteResult result, int error) : m_result(result), m_error(error) {}

FileDraft::FileDraft(FileDraft&& other) noexcept
    : m_folderFd(other.m_folderFd), m_name(std::move(other.m_name)),
      m_fd(std::exchange(other.m_fd, -1)), m_temporary(std::move(other.m_temporary)),
      m_replacing(other.m_replacing), m_oldMode(other.m_oldMode), m_size(other.m_size),
      m_result(other.m_result), m_error(other.m_error) {
    other.m_temporary.clear();
}

FileDraft::~FileDraft() {
    drop();
}

void FileDraft::drop() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.isEmpty())
        ::unlinkat(m_folderFd, m_temporary.constData(), 0);
    m_temporary.clear();
}

bool FileDraft::fail(WriteResult result, int error) {
    if (m_result == WriteResult::Written) {
        m_result = result;
        m_error = error;
    }
    drop();
    return false;
}

bool FileDraft::fail(int error) {
    return fail(writeResultFor(error), error);
}

QString FileDraft::reason() const {
    return m_result == WriteResult::Written ? QString() : writeResultText(m_result, m_error);
}

bool FileDraft::checkTarget() {
    // What may be replaced: only a regular file that this process could also have opened for
    // writing. Renaming over a write-protected file or over a device would need no right to
    // the file itself, only to the folder.
    struct stat old {};
    m_replacing = false;
    if (::fstatat(m_folderFd, m_name.constData(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISREG(old.st_mode))
            return fail(WriteResult::AccessDenied, S_ISDIR(old.st_mode) ? EISDIR : EACCES);
        if (::faccessat(m_folderFd, m_name.constData(), W_OK, AT_EACCESS) != 0)
            return fail(WriteResult::AccessDenied, errno);
        m_replacing = true;
        m_oldMode = old.st_mode & keptModeBits;
        return true;
    }
    return errno == ENOENT || fail(errno);
}

bool FileDraft::openTemporary(bool namedOnly) {
    // An unnamed file vanishes by itself, whatever ends the process; it gets a name only once
    // it is complete.
    if (!namedOnly) {
        m_fd = ::openat(m_folderFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, newFileMode);
        if (m_fd >= 0)
            return true;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return fail(errno);
    }
    for (int attempt = 0; attempt < namedTemporaryAttempts; ++attempt) {
        const QByteArray candidate = ImageFolder::newTemporaryName();
        m_fd = ::openat(m_folderFd, candidate.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC,
                        newFileMode);
        if (m_fd >= 0) {
            m_temporary = candidate;
            return true;
        }
        if (errno != EEXIST)
            return fail(errno);
    }
    return fail(EEXIST);
}

bool FileDraft::append(const QByteArray& data) {
    if (m_fd < 0)
        return false;
    if (!writeAll(m_fd, data.constData(), data.size(), -1))
        return fail(errno);
    m_size += data.size();
    return true;
}

bool FileDraft::writeAt(qint64 offset, const QByteArray& data) {
    if (m_fd < 0 || offset < 0 || offset + data.size() > m_size)
        return false;
    return writeAll(m_fd, data.constData(), data.size(), offset) || fail(errno);
}

WriteResult FileDraft::commit() {
    if (m_fd < 0)
        return m_result;
    // Whatever came to stand under the name while the file was written is judged again.
    if (!checkTarget() || (m_replacing && ::fchmod(m_fd, m_oldMode) != 0 && !fail(errno)))
        return m_result;
    if (m_temporary.isEmpty() && !linkUnnamed())
        return m_result;
    if (m_temporary.isEmpty())
        return WriteResult::Written;
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0 ||
        ::renameat(m_folderFd, m_temporary.constData(), m_folderFd, m_name.constData()) != 0) {
        fail(errno);
        return m_result;
    }
    m_temporary.clear();
    return WriteResult::Written;
}

bool FileDraft::linkUnnamed() {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd);
    const auto linkAs = [&](const QByteArray& target) {
        if (::linkat(AT_FDCWD, self.constData(), m_folderFd, target.constData(),
                     AT_SYMLINK_FOLLOW) == 0)
            return true;
        // Without /proc, only a process allowed to find any file may link by descriptor.
        return errno == ENOENT &&
               ::linkat(m_fd, "", m_folderFd, target.constData(), AT_EMPTY_PATH) == 0;
    };
    if (!m_replacing && linkAs(m_name)) {
        // The name was free: the complete file appears in one step.
        if (::close(std::exchange(m_fd, -1)) == 0)
            return true;
        const int error = errno;
        ::unlinkat(m_folderFd, m_name.constData(), 0);
        return fail(error);
    }
    if (!m_replacing && errno != EEXIST)
        return fail(errno);
    // A name can only be linked where none exists; the replacement goes in under a temporary
    // name and is renamed over the old file.
    for (int attempt = 0; attempt < namedTemporaryAttempts; ++attempt) {
        const QByteArray candidate = ImageFolder::newTemporaryName();
        if (linkAs(candidate)) {
            m_temporary = candidate;
            return true;
        }
        if (errno != EEXIST)
            return fail(errno);
    }
    return fail(EEXIST);
}
