#include "writers/JpegEncoder.h"

#include "writers/JpegFailure.h"

#include <turbojpeg.h>

namespace {

// Format_RGB32 is stored as one 32-bit 0xffRRGGBB word per pixel, so its byte order in memory
// follows the machine's.
constexpr int rgb32PixelFormat = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TJPF_BGRX : TJPF_XRGB;

} // namespace

JpegEncoder::JpegEncoder() : m_handle(tjInitCompress()) {}

JpegEncoder::~JpegEncoder() {
    if (m_handle)
        tjDestroy(m_handle);
}

QByteArray JpegEncoder::encode(const QImage& picture, quint8 quality) {
    if (picture.isNull() || quality > 100)
        throw JpegFailure::withStatus(JpegFailure::InvalidParameter);
    const QImage source = picture.format() == QImage::Format_RGB32
                              ? picture
                              : picture.convertToFormat(QImage::Format_RGB32);
    if (source.isNull() || !m_handle)
        throw JpegFailure::withStatus(JpegFailure::GenericError);

    // Encode straight into a buffer of the worst-case size, so nothing is copied afterwards.
    const int width = source.width();
    const int height = source.height();
    const unsigned long bound = tjBufSize(width, height, TJSAMP_444);
    if (bound == static_cast<unsigned long>(-1))
        throw JpegFailure::withStatus(JpegFailure::GenericError);
    QByteArray jpeg(static_cast<qsizetype>(bound), Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(jpeg.data());
    unsigned long size = bound;
    if (tjCompress2(m_handle, source.constBits(), width, static_cast<int>(source.bytesPerLine()),
                    height, rgb32PixelFormat, &out, &size, TJSAMP_444, quality,
                    TJFLAG_NOREALLOC) != 0)
        throw JpegFailure::withStatus(JpegFailure::GenericError);
    jpeg.truncate(static_cast<qsizetype>(size));
    return jpeg;
}
