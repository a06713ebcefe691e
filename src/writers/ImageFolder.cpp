#include "writers/ImageFolder.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <iterator>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

// Temporary names of this process count up across all folders and threads.
std::atomic<quint64> temporarySerial{0};

constexpr qsizetype hostTagLimit = 64;

const QByteArray temporaryPrefix = QByteArrayLiteral(".strumvane-");
const QByteArray temporarySuffix = QByteArrayLiteral(".tmp");

// Whose temporary file a name is: the machine (empty for the older names that carry none) and
// the process; pid 0 for any name this program does not write.
struct TemporaryOwner {
    QByteArray host;
    qint64 pid = 0;
};

// A decimal number exactly as this program writes it: no sign, blank or leading zero.
std::optional<quint64> plainNumber(const QByteArray& text) {
    bool ok = false;
    const quint64 value = text.toULongLong(&ok);
    if (!ok || text != QByteArray::number(value))
        return std::nullopt;
    return value;
}

// ".strumvane-HOST-PID-N.tmp", or the older ".strumvane-PID-N.tmp".
TemporaryOwner temporaryOwner(const char* name) {
    const QByteArray text(name);
    if (!text.startsWith(temporaryPrefix) || !text.endsWith(temporarySuffix))
        return {};
    const QByteArray middle = text.mid(
        temporaryPrefix.size(), text.size() - temporaryPrefix.size() - temporarySuffix.size());
    // The host may hold dashes itself: the process and the serial are the last two parts.
    const qsizetype serialDash = middle.lastIndexOf('-');
    if (serialDash <= 0)
        return {};
    const qsizetype pidDash = middle.lastIndexOf('-', serialDash - 1);
    const std::optional<quint64> pid =
        plainNumber(middle.mid(pidDash + 1, serialDash - pidDash - 1));
    if (!pid || *pid == 0 || *pid > quint64(std::numeric_limits<pid_t>::max()) ||
        !plainNumber(middle.mid(serialDash + 1)) || pidDash == 0)
        return {};
    return {pidDash < 0 ? QByteArray() : middle.left(pidDash), qint64(*pid)};
}

bool processRuns(qint64 pid) {
    // EPERM: it runs under another user.
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

// Whether the file system under `fd` is one that only this machine writes: not a network or
// cluster file system, nor one of FUSE, behind which any of them may stand.
bool isLocalFileSystem(int fd) {
    struct statfs info {};
    if (::fstatfs(fd, &info) != 0)
        return false;
    static constexpr unsigned long shared[] = {
        0x6969,     // NFS
        0x517b,     // SMB
        0xff534d42, // CIFS
        0xfe534d42, // SMB2
        0x65735546, // FUSE (sshfs, ...)
        0x01021997, // 9P
        0x73757245, // Coda
        0x5346414f, // AFS
        0x00c36400, // Ceph
        0x01161970, // GFS2
        0x7461636f, // OCFS2
        0x0bd00bd0, // Lustre
    };
    const auto type = static_cast<unsigned long>(info.f_type) & 0xffffffffUL;
    return std::find(std::begin(shared), std::end(shared), type) == std::end(shared);
}

} // namespace

ImageFolder::ImageFolder(const QString& folder, Temporaries temporaries)
    : m_path(folder), m_temporaries(temporaries) {
    const QByteArray native = exactNativeName(folder);
    if (native.isEmpty()) {
        m_openResult = folder.isEmpty() ? WriteResult::FolderMissing : WriteResult::BadName;
        return;
    }
    // O_PATH: writing into a folder needs no right to list it.
    m_fd = ::open(native.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    m_openError = m_fd >= 0 ? 0 : errno;
    m_openResult = m_fd >= 0 ? WriteResult::Written : writeResultFor(m_openError);
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

const QByteArray& ImageFolder::hostTag() {
    static const QByteArray tag = [] {
        char name[hostTagLimit + 1] = {};
        if (::gethostname(name, hostTagLimit) != 0 || name[0] == '\0')
            return QByteArrayLiteral("localhost");
        QByteArray text(name);
        for (char& c : text) {
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                               (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
            if (!plain)
                c = '_';
        }
        return text;
    }();
    return tag;
}

QByteArray ImageFolder::temporaryName(qint64 pid, quint64 serial) {
    return temporaryPrefix + hostTag() + '-' + QByteArray::number(pid) + '-' +
           QByteArray::number(serial) + temporarySuffix;
}

QByteArray ImageFolder::newTemporaryName() {
    return temporaryName(::getpid(), temporarySerial++);
}

WriteResult ImageFolder::writeFile(const QString& name, const QByteArray& data,
                                   QString* reason) const {
    FileDraft file = draft(name);
    file.append(data);
    const WriteResult result = file.commit();
    if (result != WriteResult::Written && reason)
        *reason = file.reason();
    return result;
}

FileDraft ImageFolder::draft(const QString& name) const {
    if (m_fd < 0)
        return FileDraft(m_openResult, m_openError);
    const QByteArray native = exactNativeName(name);
    if (native.isEmpty() || native == "." || native == ".." || native.contains('/'))
        return FileDraft(WriteResult::BadName, 0);
    return FileDraft(m_fd, native, m_temporaries == Temporaries::NamedOnly);
}

WriteResult ImageFolder::probe(QString* reason) const {
    // A draft under a name no file has, dropped unwritten.
    const FileDraft file = draft(QString::fromLatin1(newTemporaryName()));
    if (file.result() != WriteResult::Written && reason)
        *reason = file.reason();
    return file.result();
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
    const bool local = isLocalFileSystem(m_fd);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const TemporaryOwner owner = temporaryOwner(entry->d_name);
        // A process is asked after only on its own machine.
        const bool ours = owner.host.isEmpty() ? local : owner.host == hostTag();
        if (owner.pid == 0 || !ours || owner.pid == self || processRuns(owner.pid))
            continue;
        struct stat info {};
        if (::fstatat(m_fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && ::unlinkat(m_fd, entry->d_name, 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}
