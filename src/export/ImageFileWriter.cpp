#include "export/ImageFileWriter.h"

#include "export/ImageFile.h"
#include "export/JpegWriter.h"

void ImageFileWriter::saveBitmap(const QImage& picture, const QString& fileName) {
    ImageFile::SaveBitmap(picture, fileName);
}

void ImageFileWriter::saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) {
    JpegWriter::SaveJpeg(picture, fileName, quality);
}
