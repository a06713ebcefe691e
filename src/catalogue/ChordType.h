#pragma once

#include "catalogue/ChordFormula.h"
#include "catalogue/IntervalSet.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

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
    // The chord of the vocabulary these voicings sound ("M7(+11)" is maj7#11, "11" is 9sus4,
    // "7(no5th)" is 7, "m9/b3rdNR" is m9); every type of the catalogue has one.
    const ChordFormula* formula = nullptr;

    IntervalSet forbidden() const { return IntervalSet(~(required | optional) & allIntervals); }
    // A voicing without its root (the catalogue's "NR" types).
    bool rootless() const { return (required & 1) == 0; }
    // The name of `semitones` above the root as this type spells it ("b3" in m7, "#9" in
    // 7#9); the plain name of the interval table for a tone the type does not hold.
    QString intervalName(int semitones) const;
};
