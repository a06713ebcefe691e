#include "export/ImageFileWriter.h"

#include "writers/ImageFile.h"
#include "writers/ImageFolder.h"
#include "writers/JpegWriter.h"

#include <utility>

ImageFileWriter::ImageFileWriter() = default;
ImageFileWriter::~ImageFileWriter() = default;

void ImageFileWriter::saveBitmap(const QImage& picture, const QString& fileName) {
    QString name;
    const std::shared_ptr<const ImageFolder> folder = folderOf(fileName, &name);
    ImageFile::SaveBitmap(picture, *folder, name);
}

void ImageFileWriter::saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) {
    QString name;
    const std::shared_ptr<const ImageFolder> folder = folderOf(fileName, &name);
    JpegWriter::SaveJpeg(picture, *folder, name, quality);
}

void ImageFileWriter::beginCommand() {
    const std::lock_guard<std::mutex> locked(m_lock);
    ++m_commandDepth;
}

void ImageFileWriter::endCommand() {
    const std::lock_guard<std::mutex> locked(m_lock);
    if (m_commandDepth > 0 && --m_commandDepth == 0)
        m_folder.reset(); // the next command finds the folder afresh, wherever it is then
}

std::shared_ptr<const ImageFolder> ImageFileWriter::folderOf(const QString& fileName,
                                                             QString* name) {
    ImageFolder::PathParts parts = ImageFolder::splitPath(fileName);
    *name = std::move(parts.name);

    const std::lock_guard<std::mutex> locked(m_lock);
    if (m_commandDepth == 0)
        return std::make_shared<const ImageFolder>(parts.folder);
    // A folder that did not open may exist by the next file; one removed and made again
    // under the same name is the one the text names now.
    if (!m_folder || m_folder->path() != parts.folder ||
        m_folder->openResult() != WriteResult::Written || m_folder->isRemoved()) {
        m_folder = std::make_shared<const ImageFolder>(parts.folder);
        // Left by a killed run of this or the tool; only at the command's first file there.
        m_folder->removeStaleTemporaries();
    }
    return m_folder;
}
