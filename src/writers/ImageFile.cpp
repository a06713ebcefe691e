#include "writers/ImageFile.h"

#include "base/Failure.h"
#include "writers/ImageFolder.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

WriteResult ImageFile::writeFile(const QString& fileName, const QByteArray& data, QString* reason) {
    const ImageFolder::PathParts parts = ImageFolder::splitPath(fileName);
    return ImageFolder(parts.folder).writeFile(parts.name, data, reason);
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

namespace {

constexpr int fileHeaderSize = 14;
constexpr int infoHeaderSize = 40;
constexpr int greyCount = 256;
constexpr int paletteEntrySize = 4; // blue, green, red, 0
constexpr quint16 greyBits = 8;
constexpr qint32 defaultDotsPerMeter = 2834; // 72 dots an inch, as QImage reports

// The bitmap file of an opaque grey RGB32 or ARGB32 picture as 8-bit greys, in one pass and
// with no picture in between; empty when a pixel is not an opaque grey. The same bytes as
// QImageWriter gives for greyIndexed(picture).
QByteArray encodeGreyBitmap(const QImage& picture) {
    const int width = picture.width();
    const int height = picture.height();
    const qsizetype rowSize = (qsizetype(width) * greyBits + 31) / 32 * 4;
    const qsizetype pixelsAt = fileHeaderSize + infoHeaderSize + greyCount * paletteEntrySize;
    const qsizetype total = pixelsAt + rowSize * height;
    QByteArray bytes(total, '\0');
    char* out = bytes.data();
    out[0] = 'B';
    out[1] = 'M';
    qToLittleEndian<quint32>(quint32(total), out + 2);
    qToLittleEndian<quint32>(quint32(pixelsAt), out + 10);
    char* info = out + fileHeaderSize;
    qToLittleEndian<quint32>(infoHeaderSize, info);
    qToLittleEndian<quint32>(quint32(width), info + 4);
    qToLittleEndian<quint32>(quint32(height), info + 8); // positive: the rows go bottom up
    qToLittleEndian<quint16>(1, info + 12);              // planes
    qToLittleEndian<quint16>(greyBits, info + 14);
    qToLittleEndian<quint32>(quint32(rowSize * height), info + 20);
    const int xDots = picture.dotsPerMeterX() ? picture.dotsPerMeterX() : defaultDotsPerMeter;
    const int yDots = picture.dotsPerMeterY() ? picture.dotsPerMeterY() : defaultDotsPerMeter;
    qToLittleEndian<quint32>(quint32(xDots), info + 24);
    qToLittleEndian<quint32>(quint32(yDots), info + 28);
    qToLittleEndian<quint32>(greyCount, info + 32);
    qToLittleEndian<quint32>(greyCount, info + 36);
    char* palette = info + infoHeaderSize;
    for (int i = 0; i < greyCount; ++i) {
        palette[i * paletteEntrySize] = char(i);
        palette[i * paletteEntrySize + 1] = char(i);
        palette[i * paletteEntrySize + 2] = char(i);
    }
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        auto* row = reinterpret_cast<uchar*>(out + pixelsAt + rowSize * (height - 1 - y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = in[x];
            const uint red = qRed(pixel);
            if (red != uint(qGreen(pixel)) || red != uint(qBlue(pixel)) || qAlpha(pixel) != 255)
                return {};
            row[x] = uchar(red);
        }
    }
    return bytes;
}

} // namespace

QByteArray ImageFile::encodePng(const QImage& picture) {
    if (picture.isNull())
        return {};
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "PNG").write(picture);
    return data;
}

QByteArray ImageFile::encodeBitmap(const QImage& picture) {
    if (picture.isNull())
        return {};
    // Charts are black, white and greys only: stored as 8-bit greys they lose nothing and
    // take a third of the room of 24-bit colour, which a save-all of 14,664 files feels.
    // They are written directly: through QImageWriter the encoding took as long as the
    // file's creation.
    if (picture.format() == QImage::Format_RGB32 || picture.format() == QImage::Format_ARGB32) {
        const QByteArray grey = encodeGreyBitmap(picture);
        if (!grey.isEmpty())
            return grey;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(picture))
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
