#pragma once

#include "catalogue/IntervalSet.h"

#include <QString>
#include <QStringList>

// One chord of the vocabulary: the intervals above its root that make it, and how a chord
// chart writes it after the root. A set of notes is this chord over a root when it sounds
// every required interval and nothing outside the required and optional ones.
// Example: "maj7#11" requires R 3 7 #11 and allows 5; "m7b5" requires R b3 b5 b7.
struct ChordFormula {
    // How a teacher weighs the chord when naming a shape (declaration order is rank order):
    // the everyday chords, the other chords of chord books, a chord with one note added that
    // has no name of its own ("m7(b9)"), and rare readings that only explain odd shapes.
    enum class Kind { Common, Plain, Added, Exotic };

    QString symbol;            // chart spelling after the root: "", "m", "maj7", "6/9", "13sus4"
    QStringList requiredNames; // interval names as spelled: "R", "3", "7", "#11"
    QStringList optionalNames; // "5"
    IntervalSet required = 0;
    IntervalSet optional = 0;
    Kind kind = Kind::Plain;

    IntervalSet tones() const { return IntervalSet(required | optional); }
    IntervalSet forbidden() const { return IntervalSet(~tones() & allIntervals); }
    // Whether `relative` (pitch classes counted from the root) sounds this chord.
    bool fits(IntervalSet relative) const {
        return (relative & required) == required && (relative & forbidden()) == 0;
    }
    // The name of `semitones` above the root as this chord spells it ("#9" in 7#9, "b3" in
    // m7); for a tone it does not hold, the plain name ("9" for 2 semitones).
    QString intervalName(int semitones) const;
    // Whether the tone `semitones` above the root is one of the chord's tensions (9, 11 and
    // 13 in any form, an added b6) rather than a tone of its triad or its sixth or seventh.
    // C over its ninth reads better as a plain triad over a foreign bass (C/D).
    bool isTension(int semitones) const;
};
