#pragma once

#include "catalogue/ChordType.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// What a chord symbol asks a voicing to sound: the root, the intervals above it that must
// sound and those that may, and for a slash chord the bass note. "Am7/G": root 9, required
// R b3 b7 (0x409), optional 5 (0x080), bass 7. The bass may lie outside the chord.
struct ChordTones {
    qint16 root = 0;          // pitch class 0..11
    IntervalSet required = 0; // above the root
    IntervalSet optional = 0; // above the root
    qint16 bass = noBass;     // pitch class of a slash chord's bass, or noBass
    QString typeText;         // the symbol between root and "/": "m7" in "Am7/G", "" in "C"

    static constexpr qint16 noBass = -1;

    IntervalSet chordTones() const { return required | optional; }

    // Reads a chord symbol as ChordSymbol::parse() reads it ("Am7", "Cmaj7", "F#ø", "C6/9",
    // "Cm(maj7)", "Am/G"); nullopt with a one-line `error` for a symbol that is not understood.
    // typeText is the chart spelling ("maj7" for "CΔ7"); a bass from outside the chord is
    // kept out of `required` (it sounds as the bass only).
    static std::optional<ChordTones> parse(QStringView symbol, QString* error = nullptr);

    // Every chord of ChordVocabulary on `root`, each once, with its root in the bass.
    static QList<ChordTones> vocabulary(qint16 root);

    // The symbol for another root and bass: the same type text. name(9) of "Cm7" is "Am7",
    // name(0, 4) of "C" is "C/E".
    QString name(qint16 newRoot, qint16 newBass = noBass) const;

    // How an interval of the chord is written: "R", "b3", "3", "5", "b7", "9", "11", "13"
    // and the altered ones, by the tones around it (3 semitones is "#9" beside a major
    // third, "b3" otherwise; 2 is "2" without a third, else "9").
    QString intervalName(int semitones) const;
};
