#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Writes whole image files so that a failed or interrupted save never leaves a truncated file
// behind and never destroys the file it was meant to replace: the data goes into a temporary
// file in the target's folder, which is renamed over the target only once it is complete.
// An existing file of the same name is replaced without asking.
class ImageFile {
public:
    enum class WriteResult {
        Written,
        FolderMissing, // the target's folder does not exist (or a part of its path is a file)
        AccessDenied,  // the folder or the existing file may not be written
        Failed,        // any other failure: the name is a folder, the disk is full, ...
    };

    // Writes `data` as the complete content of `fileName` (a path such as
    // "/home/ann/Charts/Chord Chart 1.bmp"). Throws nothing; the result says what happened,
    // and on a failure `reason`, when given, receives the system's words for it ("No space
    // left on device", "Is a directory").
    static WriteResult writeFile(const QString& fileName, const QByteArray& data,
                                 QString* reason = nullptr);

    // Saves `picture` as a Windows bitmap file: 8-bit greys when every pixel is a grey (as
    // in every chart), else 24-bit colour; either way the pixels read back unchanged. Failures
    // throw Failure::pathNotFound() (76) when the folder does not exist,
    // Failure::permissionDenied() (70) when it may not be written, and otherwise
    // Failure(75, "Path/File access error"), also for a null picture.
    static void SaveBitmap(const QImage& picture, const QString& fileName);

    // The BMP file content of `picture`; empty for a null picture.
    static QByteArray encodeBitmap(const QImage& picture);

    // `picture` (RGB32 or ARGB32, opaque) as an 8-bit image with a table of the 256 greys, or
    // a null image when any pixel is not an opaque grey.
    static QImage greyIndexed(const QImage& picture);
};
