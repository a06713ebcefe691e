#include "export/FolderChartWriter.h"

#include "base/Failure.h"
#include "writers/ImageFile.h"
#include "writers/ImageFolder.h"
#include "writers/JpegFailure.h"
#include "writers/JpegWriter.h"

namespace {

const QString notEncodedText = QStringLiteral("the image could not be encoded");

} // namespace

FolderChartWriter::FolderChartWriter(const ImageFolder& folder) : m_folder(folder) {}

void FolderChartWriter::saveBitmap(const QImage& picture, const QString& fileName) {
    const QByteArray bytes = ImageFile::encodeBitmap(picture);
    if (bytes.isEmpty())
        throw Failure(Failure::pathFileAccessError().number(), notEncodedText);
    QString reason;
    const WriteResult result = m_folder.writeFile(fileName, bytes, &reason);
    if (result != WriteResult::Written)
        throw Failure(ImageFile::bitmapFailure(result).number(), reason);
}

void FolderChartWriter::saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) {
    QByteArray bytes;
    try {
        bytes = JpegWriter::encodeJpeg(picture, quality);
    } catch (const Failure& failure) {
        throw Failure(failure.number(), notEncodedText);
    }
    QString reason;
    if (m_folder.writeFile(fileName, bytes, &reason) != WriteResult::Written)
        throw Failure(JpegFailure::withStatus(JpegFailure::Win32Error).number(), reason);
}
