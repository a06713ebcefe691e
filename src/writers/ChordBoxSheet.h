#pragma once

#include "chart/ChordBox.h"
#include "chart/ChordDiagram.h"

#include <QByteArray>
#include <QList>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <functional>

// A printable sheet of chord boxes, as a teacher hands them out: a PDF whose pages are filled
// by a grid of boxes, each with the chord's name above it and an optional caption below (the
// frets, or the shape under a capo), the sheet's title on every page and page numbers when
// there is more than one. All boxes of a sheet share one size; names, labels, captions and the
// title are text a PDF viewer can search and copy.
class ChordBoxSheet {
public:
    enum class Captions { Frets, Shape, None };

    struct Options {
        QString title; // empty: no title line
        ChordBox::Options box;
        Captions captions = Captions::Frets;
        QPageSize::PageSizeId page = QPageSize::A4;
        // Boxes side by side, 1..maxColumns; 0 takes the most, up to autoColumns, whose boxes
        // keep their strings legibleSpacing apart.
        int columns = 0;
        // Asked before each page: once it answers true, encode() stops and returns an empty
        // array (a command that Ctrl-C ends writes nothing). Empty: never stops.
        std::function<bool()> stopped;
    };

    static constexpr int maxColumns = 8;
    static constexpr int autoColumns = 6;
    // String spacings in pixels of 1/96 inch: from legibleSpacing on, a box prints its name at
    // 10 pt or more and the labels in its dots at 6 pt or more; boxes never grow beyond
    // largestSpacing.
    static constexpr qreal legibleSpacing = 13;
    static constexpr qreal largestSpacing = 30;

    // How the boxes of `diagrams` lie on the pages.
    struct Grid {
        int columns = 1;
        int rows = 1;
        qreal spacing = legibleSpacing; // between strings, pixels of 1/96 inch
        QSizeF cell;                    // the room of one box with its caption and gaps, likewise
        int perPage() const { return columns * rows; }
    };
    static Grid grid(const QList<ChordDiagram>& diagrams, const Options& options);

    // The line under a box: the frets ("x-3-2-0-1-0"), the shape name ("Am shape"), or nothing.
    static QString caption(const ChordDiagram& diagram, Captions captions);

    // The PDF content; `diagrams` is not empty and none has a ChordDiagram::problem() (else
    // Failure::invalidProcedureCall()).
    static QByteArray encode(const QList<ChordDiagram>& diagrams, const Options& options);

    // Writes the sheet as the whole of `fileName`, atomically; throws the failures of
    // VectorChartFile::writeWhole().
    static void write(const QString& fileName, const QList<ChordDiagram>& diagrams,
                      const Options& options);
};
