#include "export/ImageFile.h"

#include "base/Failure.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

Failure pathFileAccessError() {
    return Failure(75, QStringLiteral("Path/File access error"));
}

ImageFile::WriteResult resultFor(int error, QString* reason) {
    // generic_category() words it as strerror does, but is safe on the export's threads.
    if (reason)
        *reason = QString::fromStdString(std::generic_category().message(error));
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return ImageFile::WriteResult::FolderMissing;
    case EACCES:
    case EPERM:
    case EROFS:
        return ImageFile::WriteResult::AccessDenied;
    default:
        return ImageFile::WriteResult::Failed;
    }
}

} // namespace

ImageFile::WriteResult ImageFile::writeFile(const QString& fileName, const QByteArray& data,
                                            QString* reason) {
    // The new content goes into a hidden file beside the target, which is renamed over the
    // target once complete: the target is either the old file or the whole new one, never a
    // part. There is no fsync per file: a save-all writes thousands of them, and rename over
    // an existing file is ordered after the data on the usual Linux file systems.
    static std::atomic_uint counter{0};
    const QByteArray target = QFile::encodeName(fileName);
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(slash + 1);
    const QByteArray temporary = folder + ".strumvane-" + QByteArray::number(getpid()) + '-' +
                                 QByteArray::number(counter++) + ".tmp";

    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return resultFor(errno, reason);
    const char* bytes = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, bytes, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = errno;
            ::close(fd);
            ::unlink(temporary.constData());
            return resultFor(error, reason);
        }
        bytes += n;
        left -= n;
    }
    if (::close(fd) != 0 || ::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        return resultFor(error, reason);
    }
    return WriteResult::Written;
}

QImage ImageFile::greyIndexed(const QImage& picture) {
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        return {};
    static const QList<QRgb> greys = [] {
        QList<QRgb> table;
        for (int i = 0; i < 256; ++i)
            table << qRgb(i, i, i);
        return table;
    }();
    QImage grey(picture.size(), QImage::Format_Indexed8);
    grey.setColorTable(greys);
    grey.setDotsPerMeterX(picture.dotsPerMeterX());
    grey.setDotsPerMeterY(picture.dotsPerMeterY());
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = in[x];
            const int red = qRed(pixel);
            if (red != qGreen(pixel) || red != qBlue(pixel) || qAlpha(pixel) != 255)
                return {};
            out[x] = uchar(red);
        }
    }
    return grey;
}

QByteArray ImageFile::encodeBitmap(const QImage& picture) {
    if (picture.isNull())
        return {};
    // Charts are black, white and greys only: stored as 8-bit greys they lose nothing and
    // take a third of the room of 24-bit colour, which a save-all of 14,664 files feels.
    const QImage grey = greyIndexed(picture);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(grey.isNull() ? picture : grey))
        return {};
    return bytes;
}

void ImageFile::SaveBitmap(const QImage& picture, const QString& fileName) {
    const QByteArray bytes = encodeBitmap(picture);
    if (bytes.isEmpty())
        throw pathFileAccessError();
    switch (writeFile(fileName, bytes)) {
    case WriteResult::Written:
        return;
    case WriteResult::FolderMissing:
        throw Failure::pathNotFound();
    case WriteResult::AccessDenied:
        throw Failure::permissionDenied();
    case WriteResult::Failed:
        break;
    }
    throw pathFileAccessError();
}
