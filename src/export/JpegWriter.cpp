#include "export/JpegWriter.h"

#include "export/ImageFile.h"
#include "shell/Failure.h"

#include <turbojpeg.h>

namespace {

// Owns one TurboJPEG compressor for the length of a call.
struct Compressor {
    tjhandle handle = tjInitCompress();
    Compressor() = default;
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
    ~Compressor() {
        if (handle)
            tjDestroy(handle);
    }
};

// Format_RGB32 is stored as one 32-bit 0xffRRGGBB word per pixel, so its byte order in memory
// follows the machine's.
constexpr int rgb32PixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;

} // namespace

Failure JpegWriter::saveFailure(int status) {
    return Failure(5,
                   QStringLiteral("Cannot save the image. GDI+ Error:") + QString::number(status));
}

QByteArray JpegWriter::encodeJpeg(const QImage& picture, quint8 quality) {
    if (picture.isNull() || quality > 100)
        throw saveFailure(InvalidParameter);
    const QImage source = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    if (source.isNull())
        throw saveFailure(GenericError); // out of memory while converting

    Compressor compressor;
    if (!compressor.handle)
        throw saveFailure(GenericError);

    // Encode straight into a buffer of the worst-case size, so nothing is copied afterwards.
    const int width = source.width();
    const int height = source.height();
    const unsigned long bound = tjBufSize(width, height, TJSAMP_444);
    if (bound == static_cast<unsigned long>(-1))
        throw saveFailure(GenericError);
    QByteArray jpeg(static_cast<qsizetype>(bound), Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(jpeg.data());
    unsigned long size = bound;
    if (tjCompress2(compressor.handle, source.constBits(), width,
                    static_cast<int>(source.bytesPerLine()), height, rgb32PixelFormat, &out, &size,
                    TJSAMP_444, quality, TJFLAG_NOREALLOC) != 0)
        throw saveFailure(GenericError);
    jpeg.truncate(static_cast<qsizetype>(size));
    return jpeg;
}

void JpegWriter::SaveJpeg(const QImage& picture, const QString& fileName, quint8 quality) {
    const QByteArray jpeg = encodeJpeg(picture, quality);
    if (ImageFile::writeFile(fileName, jpeg) != ImageFile::WriteResult::Written)
        throw saveFailure(Win32Error);
}
