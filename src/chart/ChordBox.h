#pragma once

#include "chart/ChordDiagram.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>

class QPainter;

// Draws a chord box as chord books print it: the strings upright with the lowest on the left
// (on the right for a left-handed player: the mirror image), a few fret rows under a thick nut,
// or under a thin line with the first row's fret beside it ("5fr") when the shape sits up the
// neck; "o" over open strings and "x" over muted ones; a dot between the wires for each stopped
// string with its finger, interval or note in it; a rounded bar for a barre; a bar with
// "capo N" for a capo; the chord's name above.
//
// Everything is measured in string spacings (the distance between two neighbouring strings)
// and drawn through any QPainter (a QImage, QSvgGenerator, QPdfWriter), text as text. At a
// spacing of s pixels of 1/96 inch the name is 1.15 s high, the labels in the dots 0.62 s and
// the lines 0.065 s wide; a printed box keeps its name at 10 pt or more from s = 11.6 px.
class ChordBox {
public:
    enum class Labels { Fingers, Intervals, Notes, None };

    // Fewest fret rows a box shows, the rows it shows unless the shape spans more, and the
    // string spacing of a picture of natural size, in pixels.
    static constexpr int minFretRows = 4;
    static constexpr int defaultFretRows = 5;
    static constexpr qreal pictureSpacing = 24;

    struct Options {
        Labels labels = Labels::Fingers;
        bool leftHanded = false;
        int fretRows = defaultFretRows; // at least minFretRows
        // The first fret row asked for, 1 or more; 0 lets baseFret() choose from the shape.
        // A box never hides a stopped fret: it starts lower for a fret below this one and
        // grows for frets past its rows (an editor showing frets 5 to 9 with a dot at 3
        // starts at 3).
        int firstFret = 0;
    };

    // Where the parts of one box fall, in the painter's coordinates, for a box whose top-left
    // corner is at `origin` and whose strings are `spacing` apart.
    struct Layout {
        int strings = 6;
        int baseFret = 1; // the fret of the first row; 1: the box starts at the nut
        int rows = defaultFretRows;
        bool leftHanded = false;
        qreal spacing = pictureSpacing;
        QPointF origin;
        qreal side = 0; // width of the margin left and right of the strings, in spacings

        // The x of string `index` (0 the lowest).
        qreal stringX(int index) const;
        // The y of wire `wire`: 0 is the nut (or the top line), `rows` the bottom line.
        qreal wireY(int wire) const;
        // The y of the middle of fret `fret`'s row, where its dots sit.
        qreal fretY(int fret) const;
        // The y of the middle of the "o" and "x" marks.
        qreal markY() const;
        QRectF nameRect() const;
        // From the lowest to the highest string, from the nut (top line) to the bottom line.
        QRectF grid() const;
        QSizeF size() const;
    };

    // The first fret row: 1 when the highest stopped fret fits into the rows from the nut and
    // the shape sounds an open string or is stopped at fret 1 or 2, else the lowest stopped
    // fret. x-3-2-0-1-0 gives 1, x-2-3-2-3-x 1, x-3-5-5-5-3 3, 7-x-7-7-6-x 6. With
    // options.firstFret set, that fret, or the lowest stopped fret when it is lower.
    static int baseFret(const ChordDiagram& diagram, const Options& options);
    // The rows drawn: options.fretRows (at least minFretRows), more when the stopped frets span
    // more from the base fret.
    static int fretRows(const ChordDiagram& diagram, const Options& options);

    // The layout of `diagram`, which must have no ChordDiagram::problem().
    static Layout layout(const ChordDiagram& diagram, const Options& options, qreal spacing,
                         QPointF origin = {});
    // The size of the box in string spacings (multiply by a spacing for its size).
    static QSizeF extent(const ChordDiagram& diagram, const Options& options);

    // Draws the box with its top-left corner at `origin`, strings `spacing` apart. Throws
    // Failure::invalidProcedureCall() for a diagram with a problem(), drawing nothing.
    static void draw(QPainter& painter, const ChordDiagram& diagram, const Options& options,
                     qreal spacing, QPointF origin = {});
    // The largest box that fits into `area`, centred in it; the spacing used.
    static qreal drawFitted(QPainter& painter, const ChordDiagram& diagram, const Options& options,
                            const QRectF& area);

    // A picture of the box on white, 96 dpi: of natural size (strings pictureSpacing apart)
    // when `size` is empty, else of exactly `size` with the box fitted into it.
    static QImage image(const ChordDiagram& diagram, const Options& options, QSize size = {});

    // The text in the dot of one string: "3", "T", "b3", "Eb"; empty for Labels::None, an
    // open or muted string, or a string without that information.
    static QString label(const ChordDiagram::String& string, Labels labels);
};
