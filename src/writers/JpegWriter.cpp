#include "writers/JpegWriter.h"

#include "writers/ImageFile.h"
#include "writers/ImageFolder.h"
#include "writers/JpegEncoder.h"
#include "writers/JpegFailure.h"

QByteArray JpegWriter::encodeJpeg(const QImage& picture, quint8 quality) {
    // A compressor of its own for every call: nothing is kept between saves.
    JpegEncoder encoder;
    return encoder.encode(picture, quality);
}

void JpegWriter::SaveJpeg(const QImage& picture, const QString& fileName, quint8 quality) {
    const QByteArray jpeg = encodeJpeg(picture, quality);
    if (ImageFile::writeFile(fileName, jpeg) != WriteResult::Written)
        throw JpegFailure::withStatus(JpegFailure::Win32Error);
}

void JpegWriter::SaveJpeg(const QImage& picture, const ImageFolder& folder, const QString& name,
                          quint8 quality) {
    const QByteArray jpeg = encodeJpeg(picture, quality);
    if (folder.writeFile(name, jpeg) != WriteResult::Written)
        throw JpegFailure::withStatus(JpegFailure::Win32Error);
}
