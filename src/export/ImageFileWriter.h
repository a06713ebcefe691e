#pragma once

#include "export/ChartFileWriter.h"

// The real chart writer: BMP through QImage, JPEG through libjpeg-turbo, each file replaced
// only once the new one is complete.
class ImageFileWriter : public ChartFileWriter {
public:
    void saveBitmap(const QImage& picture, const QString& fileName) override;
    void saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) override;
};
