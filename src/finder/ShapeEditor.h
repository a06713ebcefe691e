#pragma once

#include "catalogue/ChordNamer.h"
#include "chart/ChordBox.h"
#include "chart/ChordDiagram.h"
#include "fretboard/Fretboard.h"
#include "fretboard/Voicing.h"

#include <QList>
#include <QPointF>
#include <QtGlobal>
#include <optional>

// The shape in the Name page's editable chord box: a fret for every string of a fretboard,
// changed by clicks, and what the shape sounds and reads as. It starts with every string
// muted. A click on a string at a fret places the note there, or removes it (the string is
// muted again) when it is there already; a click above the nut switches the string between
// open and muted (a stopped string becomes open).
//
// Example, on the guitar: click(1, 3), click(2, 2), click(3, 0), click(4, 1), click(5, 0)
// give x-3-2-0-1-0, whose first reading is C.
class ShapeEditor {
public:
    // The fret rows the box shows from firstFret() (more when the shape spans more).
    static constexpr int shownRows = ChordBox::defaultFretRows;
    // The fret a click above the nut is given.
    static constexpr int aboveTheNut = 0;

    explicit ShapeEditor(const Fretboard& board = Fretboard());

    const Fretboard& board() const { return m_board; }
    // A new fretboard: the same frets where they fit its strings and neck, else all muted.
    void setBoard(const Fretboard& board);

    // One per string, lowest first: -1 muted, 0 open, else the fret above the capo.
    const QList<qint16>& frets() const { return m_frets; }
    // Takes `frets` when they fit the fretboard (as many as strings, each muted, open or a
    // playable fret); false otherwise, changing nothing.
    bool setFrets(const QList<qint16>& frets);
    void clear();

    // Applies a click on `string` (0 the lowest) at `fret` (aboveTheNut, or 1 up to the
    // highest fret above the capo). False when nothing changed: no such string, a fret off
    // the neck or not on that string (the banjo's short string).
    bool click(int string, int fret);

    // The first fret row the box shows: 1 (the nut) up to the highest fret less the rows.
    int firstFret() const { return m_firstFret; }
    void setFirstFret(int fret);
    int lastFirstFret() const;

    // What sounds: the MIDI notes of the sounding strings, lowest string first.
    QList<qint16> notes() const { return m_board.notes(m_frets); }
    // The readings of those notes, best first (none for fewer than two pitch classes).
    QList<ChordNamer::Reading> readings() const;
    // The shape as a voicing: its fingering when one hand can play it, named by its best
    // reading.
    Voicing voicing() const;
    // The box: the shape named `name`, drawn from firstFret().
    ChordDiagram diagram(const QString& name) const;
    // `options` with the editor's fret window.
    ChordBox::Options boxOptions(ChordBox::Options options) const;

    // Where a point of a box drawn with `layout` lies for a click: the nearest string within
    // half a string spacing, and the fret row under the point, or aboveTheNut in the band of
    // the "o" and "x" marks. Nothing elsewhere (beside the strings, in the name, below the
    // last row).
    struct Spot {
        int string = 0;
        int fret = 0;
        bool operator==(const Spot&) const = default;
    };
    static std::optional<Spot> spotAt(const ChordBox::Layout& layout, QPointF point);

private:
    Fretboard m_board;
    QList<qint16> m_frets;
    int m_firstFret = 1;
};
