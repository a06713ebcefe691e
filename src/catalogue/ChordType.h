#pragma once

#include "catalogue/PitchClass.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// A set of intervals above a root, as pitch classes: bit n set means the note n semitones
// above the root (modulo 12) belongs to the set. Root, major third and fifth: 0x091.
using IntervalSet = quint16;

inline constexpr IntervalSet allIntervals = 0x0fff;

// The set holding only the interval of `semitones` above the root (taken modulo 12).
constexpr IntervalSet intervalBit(int semitones) {
    return IntervalSet(1u << PitchClass::mod12(semitones));
}

// `set` seen from a root `semitones` higher: the same notes, counted from the new root.
// rotateDown(0x091, 9) (C E G seen from A) = 0x098 (b3, 5, b7 above A... and so on).
constexpr IntervalSet rotateDown(IntervalSet set, int semitones) {
    const int s = PitchClass::mod12(semitones);
    const unsigned wide = unsigned(set) | (unsigned(set) << PitchClass::count);
    return IntervalSet((wide >> s) & allIntervals);
}

// One chord type of the catalogue with the tones that make it: a shape is this chord over a
// root when it sounds every required interval above that root, nothing but required and
// optional ones (every other interval is forbidden), and the bass interval in the bass.
// Example: "m9/b3rdNR" requires b3 b7 9, allows 5, forbids the root, bass b3.
struct ChordType {
    QString chordType;         // as the catalogue writes it: "m9/b3rdNR"
    QString prefix;            // the text before the first "/", shown after the root: "m9"
    QStringList requiredNames; // interval names as spelled: "b3", "b7", "9"
    QStringList optionalNames; // "5"
    QString bassName;          // "b3"
    IntervalSet required = 0;
    IntervalSet optional = 0;
    qint16 bass = 0; // semitones of the bass above the root, 0..11

    IntervalSet forbidden() const { return IntervalSet(~(required | optional) & allIntervals); }
    // A voicing without its root (the catalogue's "NR" types).
    bool rootless() const { return (required & 1) == 0; }
    // The name of `semitones` above the root as this type spells it ("b3" in m7, "#9" in
    // 7#9); the plain name of the interval table for a tone the type does not hold.
    QString intervalName(int semitones) const;
};
