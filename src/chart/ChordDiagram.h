#pragma once

#include "catalogue/ChordEntry.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

// One voicing as a chord box draws it, on any fretted instrument: the chord's name and, for each
// string from the lowest up, where it is stopped, by which finger and what it sounds. A plain
// value: anything that knows a voicing (the catalogue, a generator) fills one in, and ChordBox
// draws it.
//
// Example, C on a guitar: strings x-3-2-0-1-0, fingers 0-3-2-0-1-0.
struct ChordDiagram {
    static constexpr int minStrings = 3;
    static constexpr int maxStrings = 8;
    // The highest fret (counted from the capo) and the highest capo fret a box draws.
    static constexpr int maxFret = 24;
    static constexpr int maxCapo = 12;

    // String::fret values besides a fret number 1..maxFret.
    static constexpr int muted = -1;
    static constexpr int open = 0;

    // String::finger values besides the index (1) to the little finger (4).
    static constexpr int noFinger = 0;
    static constexpr int thumb = 5;

    struct String {
        // -1 muted, 0 open (sounding at the capo when there is one), n >= 1 the fret as the
        // player reads it: counted from the capo when there is one.
        int fret = muted;
        int finger = noFinger; // noFinger, 1..4 or thumb
        QString interval;      // above the chord's root: "R", "b3", "5"; empty when unknown
        QString note;          // the note it sounds: "C", "Eb"; empty when unknown
    };

    // A finger lying across neighbouring strings at one fret.
    struct Barre {
        int fret = 1;
        int finger = 1;
        int first = 0; // index of the lowest string under the finger
        int last = 0;  // index of the highest string under the finger, > first
        bool operator==(const Barre&) const = default;
    };

    QString name;          // "Cmaj7", "Am/G"; may be empty
    QList<String> strings; // lowest string first, minStrings..maxStrings of them
    int capo = 0;          // the capo's fret, 0 without a capo, at most maxCapo
    // The open shape the fingers make under a capo ("Am shape"); empty when there is none or it
    // is not known.
    QString shapeName;

    bool operator==(const ChordDiagram&) const = default;

    // What makes the diagram undrawable, in one line ("9 strings (3 to 8)", "fret 30 on string 2
    // (0 to 24)"), or nothing when it can be drawn.
    std::optional<QString> problem() const;

    // The lowest and highest stopped fret; 0 when no string is stopped.
    int lowestFret() const;
    int highestFret() const;

    // Every finger that lies across two or more strings at one fret: the same finger (1..4) on
    // the same fret of several strings, with no string between them open or stopped lower
    // (the finger would stop it). F 1-3-3-2-1-1 with fingers 1-3-4-2-1-1 has one barre: fret
    // 1, finger 1, strings 0..5. Sorted by fret, then by first string.
    QList<Barre> barres() const;

    // The frets as players write them, lowest string first: "x-3-2-0-1-0", "8-10-10-9-8-8".
    QString fretText() const;

    // A catalogue entry placed at `pitch` (0..11) as the window places it: six strings with the
    // entry's fingering ("T" is the thumb), intervals from its spelling and note names, named as
    // the window names it ("Cmaj" for entry 6 at C).
    static ChordDiagram fromCatalogue(const ChordEntry& entry, qint16 pitch);
};
