#pragma once

#include <QRgb>

// How DrawChordMarks draws one kind of chart: the dots' diameter in pixels and the colours
// of dots and labels (0xAARRGGBB). The program has two: the fingering chart (white finger
// marks on 12-pixel black dots) and the interval chart (black interval names on 14-pixel
// white dots that blank out the string under them).
struct ChartStyle {
    float dotWidth;
    QRgb labelColour;
    QRgb dotColour;

    static constexpr ChartStyle fingering() { return {12.0f, 0xffffffff, 0xff000000}; }
    static constexpr ChartStyle interval() { return {14.0f, 0xff000000, 0xffffffff}; }
};
