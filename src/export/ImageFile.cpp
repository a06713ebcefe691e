#include "export/ImageFile.h"

#include "shell/Failure.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace {

Failure pathFileAccessError() {
    return Failure(75, QStringLiteral("Path/File access error"));
}

} // namespace

ImageFile::WriteResult ImageFile::writeFile(const QString& fileName, const QByteArray& data) {
    const QFileInfo target(fileName);
    const QDir folder = target.absoluteDir();
    if (!folder.exists())
        return WriteResult::FolderMissing;

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (target.isDir())
            return WriteResult::Failed;
        if (!QFileInfo(folder.absolutePath()).isWritable() ||
            (target.exists() && !target.isWritable()))
            return WriteResult::AccessDenied;
        return WriteResult::Failed;
    }
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return WriteResult::Failed;
    }
    return file.commit() ? WriteResult::Written : WriteResult::Failed;
}

QByteArray ImageFile::encodeBitmap(const QImage& picture) {
    if (picture.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture))
        return {};
    return bytes;
}

void ImageFile::SaveBitmap(const QImage& picture, const QString& fileName) {
    const QByteArray bytes = encodeBitmap(picture);
    if (bytes.isEmpty())
        throw pathFileAccessError();
    switch (writeFile(fileName, bytes)) {
    case WriteResult::Written:
        return;
    case WriteResult::FolderMissing:
        throw Failure::pathNotFound();
    case WriteResult::AccessDenied:
        throw Failure::permissionDenied();
    case WriteResult::Failed:
        break;
    }
    throw pathFileAccessError();
}
