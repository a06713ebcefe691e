#pragma once

#include "catalogue/ChordFormula.h"

#include <QStringView>
#include <span>

// Every chord a guitarist writes, each once, with its formula: the plain chords (C, Cm, C7,
// Cmaj7 ... Caug, C5), the rest of the chord books (6/9, m(maj7), 7sus2, 9sus4, 13sus4, the
// chord-book 11 with its third, maj7#11, 7#9, 7#5#9, 7b5b9, m11b5, 11b9 ...), the rare
// chords that only explain odd shapes (m7#5, sus2sus4, m(b6)), and, built from these, each
// triad, sixth, seventh and ninth chord with one more tension added that has no name of its
// own ("m7(b9)", "sus4(addb9)"). Naming shapes, reading chord symbols and generating
// voicings all use this one table; the catalogue's chord types map onto it.
class ChordVocabulary {
public:
    // The named chords first, common ones first, then the chords with an added tension.
    static std::span<const ChordFormula> formulas();

    // The formula a chart writes with `symbol` after the root ("maj7", "6/9"); nullptr for
    // a text that is not exactly one of the chart spellings.
    static const ChordFormula* bySymbol(QStringView symbol);

    // The formula whose tones (required and optional together) are exactly `tones`, as a
    // chord symbol names them all: C9 names R 3 5 b7 9, which is the formula "9" (R 3 b7 9,
    // 5 optional). nullptr when no formula has these tones.
    static const ChordFormula* byTones(IntervalSet tones);
};
