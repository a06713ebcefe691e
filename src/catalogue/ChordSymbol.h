#pragma once

#include "catalogue/ChordFormula.h"

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// A chord as a chord chart writes it: a root, a chord of the vocabulary, and for a slash
// chord the note in the bass. "Cmaj7", "F#m7b5", "C6/9", "Am/G".
//
// What a voicing of it sounds, as a voicing generator builds it: every interval of
// required() above the root, any of optional(), nothing else; and the bass note (bass(), or
// the root when there is none) as its lowest note. A bass outside the chord is added to
// the chord's tones: Am/G requires A C E and the G (R b3 5 b7 above A).
class ChordSymbol {
public:
    // bass() of a chord with its root in the bass.
    static constexpr qint16 rootInBass = -1;

    // `root` and `bass` are pitch classes 0..11; a bass equal to the root means none.
    ChordSymbol(qint16 root, const ChordFormula& formula, qint16 bass = rootInBass);

    qint16 root() const { return m_root; }
    const ChordFormula& formula() const { return *m_formula; }
    // Pitch class of a slash chord's bass note, or rootInBass.
    qint16 bass() const { return m_bass; }
    // Semitones of the lowest note above the root, 0..11: 0 without a slash, 4 for C/E.
    qint16 bassInterval() const;

    // Intervals above the root that every voicing sounds: the formula's required ones and
    // the bass. Am/G: R b3 5 b7 (0x489).
    IntervalSet required() const;
    // Intervals a voicing may add: the formula's optional ones not already required.
    IntervalSet optional() const;

    // As a chord chart prints it, with the program's note names: "Cmaj7", "Bbm7b5/E".
    QString text() const;

    // Reads a chord symbol as players write it: a root note (as ChordTheory::parseNoteName()
    // reads note names, "C", "f#", "Bb"), the chord in any common spelling ("maj7", "M7",
    // "Δ7", "m(maj7)", "mM7", "-7", "ø", "°7", "+7", "7+5", "7(#11)", "9sus4", "6/9",
    // "6add9", "2", "m(add9)", "dim(maj7)", "7alt", "(no5)" ...), and after a "/" a bass
    // note. nullopt for anything else, with a one-line `error` naming what was not
    // understood ("unknown chord type 'xyz' in 'Cxyz'"). "Cb5" and "E#5" are refused as
    // ambiguous (C with a flat fifth, or the power chord on B?); "Bb5" and "C#5" are power
    // chords.
    static std::optional<ChordSymbol> parse(QStringView text, QString* error = nullptr);

    // Whether `text` reads as two chords: a root spelled Cb, Fb, E# or B# whose letter alone
    // also gives a chord ("Cb5": the power chord on Cb, or C with a flat fifth). parse()
    // refuses these.
    static bool isAmbiguous(QStringView text);

    friend bool operator==(const ChordSymbol& a, const ChordSymbol& b) {
        return a.m_root == b.m_root && a.m_formula == b.m_formula && a.m_bass == b.m_bass;
    }

private:
    qint16 m_root;
    const ChordFormula* m_formula;
    qint16 m_bass;
};
