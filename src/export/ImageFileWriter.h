#pragma once

#include "export/ChartFileWriter.h"

#include <memory>
#include <mutex>

class ImageFolder;

// The real chart writer: BMP through QImage, JPEG through libjpeg-turbo, each file replaced
// only once the new one is complete. Within a command (beginCommand .. endCommand) the folder
// of the files is opened once, and its stale temporary files removed, when the command first
// writes into it; a file in another folder (the folder text changed) opens that one instead,
// as does a file after the folder was removed. So a folder moved during a command still
// receives every file. Outside a command every
// file opens its folder. Safe from several threads at once.
class ImageFileWriter : public ChartFileWriter {
public:
    ImageFileWriter();
    ~ImageFileWriter() override;

    void saveBitmap(const QImage& picture, const QString& fileName) override;
    void saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) override;
    void beginCommand() override;
    void endCommand() override;

private:
    // The open folder of `fileName` (ImageFolder::splitPath) and, in `name`, the name in it.
    std::shared_ptr<const ImageFolder> folderOf(const QString& fileName, QString* name);

    std::mutex m_lock;
    int m_commandDepth = 0;
    // The folder of the running command's last file; files still being written into an
    // earlier one keep theirs alive.
    std::shared_ptr<const ImageFolder> m_folder;
};
