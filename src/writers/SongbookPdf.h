#pragma once

#include "songbook/Song.h"
#include "writers/SongLayout.h"

#include <QByteArray>
#include <QList>
#include <QPageSize>
#include <QString>
#include <functional>

// A songbook as a PDF: each song (laid out by SongLayout, its chords resolved by SongChords)
// from the top of a new page, a song that runs on carrying "(continued)" and its title at the
// top of the next page; with more than one song a contents page first, every title with its
// artist and page; page numbers ("2 / 5") at the foot when there is more than one page. The
// text is text: a PDF viewer finds and copies titles, words and chord names. Pieces that belong
// together stay on one page where one page can hold them: the heading with the chord boxes and
// the first line, the rows of a wrapped line, a tab, a grid.
class SongbookPdf {
public:
    struct Options {
        QPageSize::PageSizeId page = QPageSize::A4;
        SongLayout::Options layout;
        // Asked before each page: once it answers true, encode() stops and returns an empty
        // array (a command that Ctrl-C ends writes nothing). Empty: never stops.
        std::function<bool()> stopped;
    };

    // Where each song starts: the 1-based page number, for the contents.
    struct Contents {
        QString title;
        QString artist;
        int page = 1;
    };

    // The PDF content; `songs` is not empty (else Failure::invalidProcedureCall()). With
    // `contents`, also where each song starts.
    static QByteArray encode(const QList<Song>& songs, const Options& options,
                             QList<Contents>* contents = nullptr);

    // Writes the songbook as the whole of `fileName`, atomically; throws the failures of
    // VectorChartFile::writeWhole().
    static void write(const QString& fileName, const QList<Song>& songs, const Options& options);
};
