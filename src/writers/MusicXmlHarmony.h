#pragma once

#include "catalogue/ChordFormula.h"
#include "catalogue/IntervalSet.h"

#include <QList>
#include <QString>

// A chord of the vocabulary as a MusicXML <harmony> spells it: one of MusicXML's chord kinds
// and the degrees added to it, altered in it or taken out of it, so that the notes a reader
// builds from them are the formula's tones (required and optional together, as the chart's
// symbol names them all). The kind is the nearest one: the fewest degrees, a kind whose seventh
// would have to be taken out counting as farther; among equals, MusicXML's own order of kinds
// (triads, sevenths, sixths, ninths, 11ths, 13ths, suspended, power, pedal).
//
//   "7"      -> dominant
//   "13"     -> dominant-13th, subtract 11
//   "7sus4"  -> suspended-fourth, add 7 (alter 0: an added seventh is minor)
//   "m(add9)"-> minor, add 9
//   "9sus4"  -> dominant-11th, subtract 3
//   "m11b5"  -> minor-11th, alter 5 by -1
class MusicXmlHarmony {
public:
    enum class DegreeType { Add, Alter, Subtract };

    // A <degree>. `alter` is in semitones: for Add relative to the degree in a dominant
    // chord (major and perfect intervals and the minor seventh: add b9 is 9 with -1, add
    // maj7 is 7 with +1); for Alter and Subtract relative to the kind's own degree.
    struct Degree {
        int value = 1; // 1 (the root) to 13
        int alter = 0;
        DegreeType type = DegreeType::Add;
        bool operator==(const Degree&) const = default;
    };

    QString kind; // a MusicXML kind value: "major", "minor-seventh", "dominant-13th", "other"
    QList<Degree> degrees;

    // The nearest kind and the degrees that make `formula`'s tones.
    static MusicXmlHarmony of(const ChordFormula& formula);
    // A chord known only by its notes: the kind "other" and every tone of `tones` (intervals
    // above the root) but the root as an added degree, each as the plain interval names it
    // (b3, #5, b7).
    static MusicXmlHarmony ofTones(IntervalSet tones);

    // "add", "alter", "subtract".
    static QString typeText(DegreeType type);
};
