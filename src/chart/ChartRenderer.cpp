#include "chart/ChartRenderer.h"

#include "base/Failure.h"
#include "chart/ChartSurface.h"

#include <QImage>
#include <QList>
#include <QStringView>
#include <array>
#include <cmath>

namespace {

constexpr QRgb white = 0xffffffff;
constexpr QRgb black = 0xff000000;
constexpr QRgb silver = 0xffc0c0c0;

// Pen widths of the fretboard, in pixels.
constexpr int thinStringWidth = 1;
constexpr int thickStringWidth = 3;
constexpr int nutWidth = 7;
constexpr int wireWidth = 1;
constexpr int positionDotWidth = 8;

// Offsets of a label's top-left corner from its dot's centre, in logical units: 0.15 to the
// left on screen and 0.45 up, which centres one Courier New 8 pt character on the dot.
constexpr qreal labelAcross = 0.15;
constexpr qreal labelUp = 0.45;

bool isSingleDotFret(int fret) {
    return fret == 3 || fret == 5 || fret == 7 || fret == 9 || fret == 15 || fret == 17 ||
           fret == 19 || fret == 21;
}

bool isDoubleDotFret(int fret) {
    return fret == 12 || fret == 24;
}

// Whole-number conversion of a pen width as a 16-bit integer takes it: round half to even,
// and an overflow outside -32768..32767.
int wholePenWidth(float width) {
    const float rounded = std::nearbyint(width);
    if (!std::isfinite(rounded) || rounded < -32768.0f || rounded > 32767.0f)
        throw Failure::overflow();
    return static_cast<int>(rounded);
}

// A mark that reads as a number gives the fret to draw at; "x" or any other text gives none.
bool readFret(QStringView mark, float& fret) {
    bool ok = false;
    fret = mark.toFloat(&ok);
    return ok && std::isfinite(fret);
}

} // namespace

int ChartRenderer::DrawChartGrid(ChartSurface& target, bool leftHanded) {
    const int fretCount = chartFretCount;
    if (leftHanded)
        target.setCoordinateWindow({fretCount + 1.0, -1}, {-0.5, 7});
    else
        target.setCoordinateWindow({-0.5, -1}, {fretCount + 1.0, 7});
    target.setTextColour(black);

    // A vector surface draws the fretboard itself, so that it stays lines and dots.
    if (target.drawsOutside()) {
        target.setBackgroundColour(white);
        drawGrid(target);
        return fretCount;
    }
    // The empty fretboard is the same every time: drawn once per handedness (and thread),
    // then copied, which halves the cost of a chart in a save-all run.
    thread_local std::array<QImage, 2> drawnGrids;
    QImage& drawn = drawnGrids[leftHanded ? 1 : 0];
    if (!drawn.isNull() && drawn.size() == target.image().size()) {
        target.setBackgroundColourWithoutFill(white);
        target.restorePixels(drawn);
        target.setPenWidth(positionDotWidth);
        return fretCount;
    }
    target.setBackgroundColour(white);
    drawGrid(target);
    drawn = target.image().copy();
    return fretCount;
}

void ChartRenderer::drawGrid(ChartSurface& target) {
    const int fretCount = chartFretCount;
    const qreal lastWire = fretCount + 0.5;

    target.setPenWidth(thinStringWidth);
    for (int y = 1; y <= 3; ++y)
        target.drawLine({0.5, qreal(y)}, {lastWire, qreal(y)}, black);

    for (int wire = 0; wire <= fretCount; ++wire) {
        const qreal x = wire + 0.5;
        target.setPenWidth(wire == 0 ? nutWidth : wireWidth);
        target.drawLine({x, 1}, {x, 6}, black);
    }

    // Thick strings last, so they run unbroken across the wires.
    target.setPenWidth(thickStringWidth);
    for (int y = 4; y <= 6; ++y)
        target.drawLine({0.5, qreal(y)}, {lastWire, qreal(y)}, black);

    target.setPenWidth(positionDotWidth);
    for (int fret = 1; fret <= fretCount; ++fret) {
        if (isSingleDotFret(fret)) {
            target.drawDot({qreal(fret), 3.5}, silver);
        } else if (isDoubleDotFret(fret)) {
            target.drawDot({qreal(fret), 1.5}, silver);
            target.drawDot({qreal(fret), 5.5}, silver);
        }
    }
}

void ChartRenderer::DrawChordMarks(ChartSurface& target, const QString& fretNumbers,
                                   const QString& labels, float dotWidth, QRgb labelColour,
                                   QRgb dotColour, const QString& title, bool leftHanded) {
    target.setPenWidth(wholePenWidth(dotWidth));
    target.setFontSize(8);
    target.setFontName(QStringLiteral("Courier New"));

    const QList<QStringView> marks = QStringView(fretNumbers).split(u'-');
    const QList<QStringView> texts = QStringView(labels).split(u'-');

    for (qsizetype i = 0; i < marks.size(); ++i) {
        const qreal y = 6 - qreal(i);
        float fret = 0;
        if (marks[i] == u"0") {
            // An open string: the white disc beside the nut, as for a muted one, with "o".
            target.drawDot({0, y}, white);
            target.setTextColour(black);
            target.setCurrentPosition({labelAcross, y - labelUp});
            target.print(QStringLiteral("o"));
            continue;
        }
        if (readFret(marks[i], fret)) {
            target.drawDot({fret, y}, dotColour);
            target.setTextColour(labelColour);
            // Text runs left to right on screen in both orientations, so the offset that
            // puts it left of the dot flips with the mirrored window.
            target.setCurrentPosition(
                {leftHanded ? fret + labelAcross : fret - labelAcross, y - labelUp});
        } else {
            // A muted string: the white disc blanks the string there; its label stands
            // right of the disc's centre in the logical window, so it flips sides on
            // screen when left-handed.
            target.drawDot({0, y}, white);
            target.setTextColour(black);
            target.setCurrentPosition({labelAcross, y - labelUp});
        }
        // A label list shorter than the fret list leaves the missing labels blank.
        if (i < texts.size())
            target.print(texts[i].toString());
    }

    target.setTextColour(black);
    target.setCurrentPosition(target.windowTopLeft());
    target.print(title);
}

void ChartRenderer::DrawChordMarks(ChartSurface& target, const QString& fretNumbers,
                                   const QString& labels, const ChartStyle& style,
                                   const QString& title, bool leftHanded) {
    DrawChordMarks(target, fretNumbers, labels, style.dotWidth, style.labelColour, style.dotColour,
                   title, leftHanded);
}
