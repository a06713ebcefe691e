#pragma once

#include <QByteArray>
#include <QtEndian>

// A Windows cursor file with one 32 x 32 picture of 32 bits per pixel: the ICONDIR (reserved 0,
// type 2, one entry), the entry with the hotspot at bytes 10 and 12, then the DIB (a
// BITMAPINFOHEADER of doubled height, the colour pixels, the AND mask). Every pixel is
// opaque `argb`. Example: cursorFileBytes(5, 9) is 4286 bytes with hotspot (5, 9).
inline QByteArray cursorFileBytes(quint16 hotX, quint16 hotY, quint32 argb = 0xFF204080) {
    constexpr int side = 32;
    constexpr int headerSize = 40;
    constexpr int colourBytes = side * side * 4;
    constexpr int maskBytes = side * 4; // one bit per pixel, rows padded to 32 bits
    constexpr int imageBytes = headerSize + colourBytes + maskBytes;

    QByteArray bytes;
    const auto u8 = [&](quint8 v) { bytes.append(char(v)); };
    const auto u16 = [&](quint16 v) {
        char le[2];
        qToLittleEndian(v, le);
        bytes.append(le, 2);
    };
    const auto u32 = [&](quint32 v) {
        char le[4];
        qToLittleEndian(v, le);
        bytes.append(le, 4);
    };

    u16(0); // reserved
    u16(2); // type: cursor
    u16(1); // one picture
    u8(side);
    u8(side);
    u8(0); // colour count
    u8(0); // reserved
    u16(hotX);
    u16(hotY);
    u32(imageBytes);
    u32(22); // the DIB follows the single entry

    u32(headerSize);
    u32(side);
    u32(side * 2); // colour rows and mask rows
    u16(1);        // planes
    u16(32);       // bits per pixel
    for (int i = 0; i < 6; ++i)
        u32(0); // compression, size, resolution, palette
    for (int i = 0; i < side * side; ++i)
        u32(argb);                 // little-endian B, G, R, A
    bytes.append(maskBytes, '\0'); // mask 0: the colour pixels show
    return bytes;
}
