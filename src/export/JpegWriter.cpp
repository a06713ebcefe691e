#include "export/JpegWriter.h"

#include "base/Failure.h"
#include "export/ImageFile.h"
#include "export/ImageFolder.h"
#include "export/JpegEncoder.h"

Failure JpegWriter::saveFailure(int status) {
    return Failure(5,
                   QStringLiteral("Cannot save the image. GDI+ Error:") + QString::number(status));
}

QByteArray JpegWriter::encodeJpeg(const QImage& picture, quint8 quality) {
    // A compressor of its own for every call: nothing is kept between saves.
    JpegEncoder encoder;
    return encoder.encode(picture, quality);
}

void JpegWriter::SaveJpeg(const QImage& picture, const QString& fileName, quint8 quality) {
    const QByteArray jpeg = encodeJpeg(picture, quality);
    if (ImageFile::writeFile(fileName, jpeg) != ImageFile::WriteResult::Written)
        throw saveFailure(Win32Error);
}

void JpegWriter::SaveJpeg(const QImage& picture, const ImageFolder& folder, const QString& name,
                          quint8 quality) {
    const QByteArray jpeg = encodeJpeg(picture, quality);
    if (folder.writeFile(name, jpeg) != ImageFile::WriteResult::Written)
        throw saveFailure(Win32Error);
}
