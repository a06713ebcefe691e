#pragma once

#include "writers/WriteResult.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class Failure;
class ImageFolder;

// Writes whole image files so that a failed or interrupted save never leaves a truncated file
// behind and never destroys the file it was meant to replace: the data goes into a temporary
// file in the target's folder, which takes the target's name only once it is complete (see
// ImageFolder, which these calls open for each file). An existing regular file of the same
// name that this process may write is replaced without asking and keeps its permission bits;
// any other existing target is refused (AccessDenied). Safe from several threads at once.
class ImageFile {
public:
    // Writes `data` as the complete content of `fileName` (a path such as
    // "/home/ann/Charts/Chord Chart 1.bmp"). Throws nothing; the result says what happened,
    // and on a failure `reason`, when given, receives the system's words for it ("No space
    // left on device", "Is a directory").
    static WriteResult writeFile(const QString& fileName, const QByteArray& data,
                                 QString* reason = nullptr);

    // Saves `picture` as a Windows bitmap file: 8-bit greys when every pixel is a grey (as
    // in every chart), else 24-bit colour; either way the pixels read back unchanged. Failures
    // throw Failure::pathNotFound() (76) when the folder does not exist,
    // Failure::permissionDenied() (70) when the folder or the existing file may not be
    // written, Failure::badFileName() (52) for a name that cannot be written as it stands, and
    // otherwise Failure(75, "Path/File access error"), also for a null picture.
    static void SaveBitmap(const QImage& picture, const QString& fileName);
    // As above, into a folder opened for the whole run: `name` has no "/".
    static void SaveBitmap(const QImage& picture, const ImageFolder& folder, const QString& name);

    // The Failure that SaveBitmap throws for a result other than Written.
    static Failure bitmapFailure(WriteResult result);

    // The BMP file content of `picture`; empty for a null picture.
    static QByteArray encodeBitmap(const QImage& picture);
    // The PNG file content of `picture`, its resolution kept; empty for a null picture.
    static QByteArray encodePng(const QImage& picture);

    // `picture` (RGB32 or ARGB32, opaque) as an 8-bit image with a table of the 256 greys, or
    // a null image when any pixel is not an opaque grey.
    static QImage greyIndexed(const QImage& picture);
};
