#include "export/ImageFile.h"

#include "base/Failure.h"
#include "export/ImageFolder.h"

#include <QBuffer>
#include <QImageWriter>

ImageFile::WriteResult ImageFile::writeFile(const QString& fileName, const QByteArray& data,
                                            QString* reason) {
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : fileName.left(slash + 1);
    return ImageFolder(folder).writeFile(fileName.mid(slash + 1), data, reason);
}

QImage ImageFile::greyIndexed(const QImage& picture) {
    if (picture.format() != QImage::Format_RGB32 && picture.format() != QImage::Format_ARGB32)
        return {};
    static const QList<QRgb> greys = [] {
        QList<QRgb> table;
        for (int i = 0; i < 256; ++i)
            table << qRgb(i, i, i);
        return table;
    }();
    QImage grey(picture.size(), QImage::Format_Indexed8);
    grey.setColorTable(greys);
    grey.setDotsPerMeterX(picture.dotsPerMeterX());
    grey.setDotsPerMeterY(picture.dotsPerMeterY());
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        uchar* out = grey.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = in[x];
            const int red = qRed(pixel);
            if (red != qGreen(pixel) || red != qBlue(pixel) || qAlpha(pixel) != 255)
                return {};
            out[x] = uchar(red);
        }
    }
    return grey;
}

QByteArray ImageFile::encodeBitmap(const QImage& picture) {
    if (picture.isNull())
        return {};
    // Charts are black, white and greys only: stored as 8-bit greys they lose nothing and
    // take a third of the room of 24-bit colour, which a save-all of 14,664 files feels.
    const QImage grey = greyIndexed(picture);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(grey.isNull() ? picture : grey))
        return {};
    return bytes;
}

Failure ImageFile::bitmapFailure(WriteResult result) {
    switch (result) {
    case WriteResult::FolderMissing:
        return Failure::pathNotFound();
    case WriteResult::AccessDenied:
        return Failure::permissionDenied();
    case WriteResult::BadName:
        return Failure::badFileName();
    case WriteResult::Written:
    case WriteResult::Failed:
        break;
    }
    return Failure::pathFileAccessError();
}

void ImageFile::SaveBitmap(const QImage& picture, const QString& fileName) {
    const QByteArray bytes = encodeBitmap(picture);
    if (bytes.isEmpty())
        throw Failure::pathFileAccessError();
    const WriteResult result = writeFile(fileName, bytes);
    if (result != WriteResult::Written)
        throw bitmapFailure(result);
}

void ImageFile::SaveBitmap(const QImage& picture, const ImageFolder& folder, const QString& name) {
    const QByteArray bytes = encodeBitmap(picture);
    if (bytes.isEmpty())
        throw Failure::pathFileAccessError();
    const WriteResult result = folder.writeFile(name, bytes);
    if (result != WriteResult::Written)
        throw bitmapFailure(result);
}
