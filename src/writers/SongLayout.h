#pragma once

#include "chart/ChordBox.h"
#include "chart/ChordDiagram.h"
#include "songbook/Song.h"
#include "writers/ChordBoxSheet.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QtGlobal>

class QPaintDevice;

// Lays one song out as a printed song sheet, in pieces that a page can take one after another:
// the heading (title, subtitles, artist line, a line with key, capo, tempo and time), the strip
// of chord boxes of every chord in order of first use, then the blocks: lyrics with each chord
// above the syllable it stands before, a chord line for chords alone, the chorus indented with
// a bar beside it, labels above sections, comments quieter (grey, shaded, italic or boxed), tabs
// verbatim in a monospace face shrunk to fit the width, grids as a table of cells and bars.
//
// A lyrics line wider than the page breaks between words, each chord staying over its
// syllable. Words stay whole: where a chord is wider than the words up to the next chord, the
// space goes before the next word; two chords in one word that would touch move the second
// one along the word instead of tearing the word apart.
//
// Everything is measured in pixels of 1/96 inch on the device the pages are drawn on.
class SongLayout {
public:
    enum class Diagrams { Top, Bottom, None };

    struct Options {
        ChordBox::Options box;
        // Where the chord boxes go; nullopt: as the song's {diagrams} says, at the top by
        // default.
        std::optional<Diagrams> diagrams;
    };

    // String spacing of the chord boxes, in pixels: a sheet of boxes' legible one, whose names
    // print at 10 pt and finger labels at 6 pt or more.
    static constexpr qreal boxSpacing = ChordBoxSheet::legibleSpacing;

    // One thing drawn: text at a baseline, a chord box, a filled rectangle, a frame, or a dotted
    // leader along the bottom of `rect`.
    struct Item {
        enum class Kind { Text, Box, Fill, Frame, Leader };
        Kind kind = Kind::Text;
        QPointF at; // Text: the start of its baseline; Box: its top-left corner
        QString text;
        QFont font;
        QRgb colour = 0xff000000;
        ChordDiagram diagram;
        qreal spacing = boxSpacing;
        QRectF rect; // Fill, Frame, Leader
    };

    // What a page takes as a whole, its items placed from its own top-left corner.
    struct Piece {
        qreal height = 0;
        qreal gapBefore = 0;       // dropped at the top of a page
        bool keepWithNext = false; // on the same page as the piece after it
        bool newPage = false;      // {new_page}: starts a page
        int bar = -1;              // the chorus whose bar stands beside it, or -1
        QList<Item> items;
    };

    // `device` measures the text; `width` is the width of the page's body.
    SongLayout(const QPaintDevice* device, qreal width, const Options& options);

    QList<Piece> layout(const Song& song) const;

    // The x of the chorus bar and its width.
    static constexpr qreal barX = 5;
    static constexpr qreal barWidth = 2.5;

    // The diagram a chord box of the song shows for `chord`: its voicing, named as printed.
    static ChordDiagram diagramOf(const Song& song, const Song::Chord& chord);

    // The faces the sheets use.
    static QFont sansFont(qreal points, bool bold, bool italic = false);
    static QFont monoFont(qreal points);

private:
    void heading(const Song& song, QList<Piece>& pieces) const;
    void strip(const Song& song, const QList<int>& chords, QList<Piece>& pieces) const;
    void block(const Song& song, const Song::Block& block, int index, QList<Piece>& pieces) const;
    void lyricsLine(const Song::Line& line, qreal indent, QList<Piece>& pieces) const;
    void commentLine(const Song::Line& line, qreal indent, QList<Piece>& pieces) const;
    void tabBlock(const Song::Block& block, qreal indent, QList<Piece>& pieces) const;
    void gridBlock(const Song::Block& block, qreal indent, QList<Piece>& pieces) const;
    void boxesLine(const Song& song, const Song::Line& line, qreal indent,
                   QList<Piece>& pieces) const;
    // Text wrapped between words into lines no wider than `width`.
    QStringList wrapped(const QString& text, const QFont& font, qreal width) const;
    qreal lineHeight(const QFont& font) const;
    qreal ascent(const QFont& font) const;
    qreal advance(const QFont& font, const QString& text) const;

    const QPaintDevice* m_device;
    qreal m_width;
    Options m_options;
};
