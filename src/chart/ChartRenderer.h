#pragma once

#include "chart/ChartStyle.h"

#include <QRgb>
#include <QString>

class ChartSurface;

// Draws chord charts: a horizontal fretboard from the nut to fret 16, six strings (low E at
// the bottom), grey position dots, and on top one chord's dots, labels and title.
//
// Logical coordinates: x is the fret axis (fret n is played at x = n, its wire stands at
// n + 0.5, the nut at 0.5, muted-string markers at 0), y the string axis (string k of a
// six-mark list, k = 0 for low E, at y = 6 - k; the title band is y = -1 .. 0).
class ChartRenderer {
public:
    // Frets a chart shows; the window runs from x = -0.5 to fretCount + 1.
    static constexpr int chartFretCount = 16;

    // Clears `target` to white, sets its text colour black and its coordinate window
    // (right-handed (-0.5, -1)..(17, 7), left-handed (17, -1)..(-0.5, 7), the nut then at
    // the right) and draws the empty fretboard. Returns the number of frets drawn (16).
    static int DrawChartGrid(ChartSurface& target, bool leftHanded);

    // Draws one chord on a surface on which DrawChartGrid has just run, never clearing it.
    // `fretNumbers`: marks joined by "-", low E first, "8-10-10-9-8-8" or "x-3-5-5-x-x"; a
    // numeric mark (1 to 17) gets a dot of `dotColour` at that fret, any other mark a white
    // disc left of the nut (right of it left-handed), on which "0" (an open string) prints
    // "o" instead of its label. Fewer than six marks leave the higher
    // strings bare. `labels`: the texts printed on the marks in the same order ("1-3-4-2-1-1",
    // "R-5-R-3-5-R"), in `labelColour` on dots and black on muted markers; missing labels
    // print nothing. `dotWidth`: dot diameter in pixels, rounded to a whole number (1 to
    // 32767, else Failure::invalidPropertyValue()). `title` is printed black at the
    // picture's top-left corner. Labels and title use "Courier New" 8 pt in the surface's
    // weight. Leaves the surface with pen width dotWidth and text colour black.
    static void DrawChordMarks(ChartSurface& target, const QString& fretNumbers,
                               const QString& labels, float dotWidth, QRgb labelColour,
                               QRgb dotColour, const QString& title, bool leftHanded);

    // The same with a chart style: ChartStyle::fingering() or ChartStyle::interval().
    static void DrawChordMarks(ChartSurface& target, const QString& fretNumbers,
                               const QString& labels, const ChartStyle& style, const QString& title,
                               bool leftHanded);

private:
    // Draws the empty fretboard on a white surface whose window is set.
    static void drawGrid(ChartSurface& target);
};
