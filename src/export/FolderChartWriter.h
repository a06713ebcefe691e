#pragma once

#include "export/ChartFileWriter.h"

class ImageFolder;

// A chart writer into one folder opened for a whole run (`strumvane-charts export-all`): a
// file name is a name in the folder, "Cmaj C-G-C-E-G-C 1.jpg", never a path. BMP and JPEG
// are encoded as the window's writer encodes them (ImageFile, JpegWriter). A file that cannot
// be written throws a Failure whose description is the system's reason ("No space left on
// device", "Is a directory") or "the image could not be encoded", for a message beside the
// file's name; its number is the one the window's writer would give. Safe from several
// threads at once.
class FolderChartWriter : public ChartFileWriter {
public:
    // `folder` outlives the writer.
    explicit FolderChartWriter(const ImageFolder& folder);

    void saveBitmap(const QImage& picture, const QString& fileName) override;
    void saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) override;

private:
    const ImageFolder& m_folder;
};
