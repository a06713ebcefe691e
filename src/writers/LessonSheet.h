#pragma once

#include "chart/ChordChart.h"
#include "chart/ChordDiagram.h"

#include <QByteArray>
#include <QList>
#include <QPageSize>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <optional>

// A printable lesson sheet: a PDF of chord charts in a grid, each under its caption, with an
// optional title on every page and as many pages as the charts need. Charts are the window's
// charts drawn as vectors; captions, chart titles and the sheet title are text a PDF viewer
// can search and copy.
class LessonSheet {
public:
    struct Chord {
        QString caption; // shown above the chart: "Am7", or the window's name of an entry
        int entry = 1;   // 1..611
        qint16 pitch = 0;
        // A six-string voicing from elsewhere, drawn instead of the entry when set.
        std::optional<ChordDiagram> diagram = std::nullopt;
    };

    struct Options {
        QString title; // empty: no title line
        // The charts of each chord, top to bottom; at least one.
        QList<ChordChartKind> charts = {ChordChartKind::Fingering};
        bool leftHanded = false;
        QPageSize::PageSizeId page = QPageSize::A4;
        int columns = 2; // 1..maxColumns
        // Asked before each page: once it answers true, encode() stops and returns an empty
        // array (a command that Ctrl-C ends writes nothing). Empty: never stops.
        std::function<bool()> stopped;
    };

    static constexpr int maxColumns = 6;

    // The PDF content of the sheet; `chords` is not empty.
    static QByteArray encode(const QList<Chord>& chords, const Options& options);

    // How many chords fit on one page with these options.
    static int chordsPerPage(const Options& options);

    // Writes the sheet as the whole of `fileName`, atomically; throws the failures of
    // VectorChartFile::writeWhole().
    static void write(const QString& fileName, const QList<Chord>& chords, const Options& options);
};
