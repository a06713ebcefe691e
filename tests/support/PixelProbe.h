#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>
#include <cmath>

// Pixel helpers for chart tests. Positions come from the chart window's mapping: a logical
// (x, y) falls on pixel ((x + 0.5) * 516 / 17.5, (y + 1) * 117 / 8) right-handed and
// ((17 - x) * 516 / 17.5, ...) left-handed.
namespace PixelProbe {

inline double columnOf(double x, bool leftHanded) {
    return (leftHanded ? 17.0 - x : x + 0.5) * 516.0 / 17.5;
}
inline double rowOf(double y) {
    return (y + 1.0) * 117.0 / 8.0;
}

// The whole pixel that holds a position.
inline int pixel(double p) {
    return static_cast<int>(std::floor(p));
}
inline int col(double x, bool leftHanded) {
    return pixel(columnOf(x, leftHanded));
}
inline int row(double y) {
    return pixel(rowOf(y));
}

inline int grey(QRgb c) {
    return (qRed(c) + qGreen(c) + qBlue(c)) / 3;
}
inline bool isDark(QRgb c) {
    return grey(c) < 100;
}
inline bool isLight(QRgb c) {
    return grey(c) > 155;
}

// Number of pixels inside `area` (clipped to the image) for which `test` holds.
template <typename Test> int count(const QImage& image, QRect area, Test test) {
    area &= image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}
inline int darkCount(const QImage& image, QRect area) {
    return count(image, area, isDark);
}
inline int lightCount(const QImage& image, QRect area) {
    return count(image, area, isLight);
}

// Length of the run of dark pixels through (x, y) along a row or a column.
inline int darkRunAcross(const QImage& image, int x, int y, bool horizontal) {
    if (!image.rect().contains(x, y) || !isDark(image.pixel(x, y)))
        return 0;
    int n = 1;
    for (int d : {-1, 1}) {
        for (int i = 1;; ++i) {
            const int px = horizontal ? x + d * i : x;
            const int py = horizontal ? y : y + d * i;
            if (!image.rect().contains(px, py) || !isDark(image.pixel(px, py)))
                break;
            ++n;
        }
    }
    return n;
}

} // namespace PixelProbe
