#pragma once

#include "fretboard/ChordTones.h"
#include "fretboard/Fretboard.h"
#include "fretboard/Voicing.h"
#include "fretboard/VoicingGenerator.h"

#include <QList>
#include <QSet>
#include <optional>

// Scores voicings of one chord on one fretboard: the terms of Voicing that need the chord
// (missedOpen, lowTension, newShape) and the score of all terms. Without a chord (a set of notes)
// only Voicing::of()'s terms count.
//
// For C7 on the guitar, x-3-2-3-1-0 is C x-3-2-0-1-0 with the G string's G moved to B-flat:
// newShape 0. x-3-5-3-5-3 changes two strings of every C shape: newShape 1.
class VoicingRanker {
public:
    // The triad shapes behind newShape are generated with `options` (any bass).
    VoicingRanker(const Fretboard& board, const std::optional<ChordTones>& chord,
                  const VoicingGenerator::Options& options = VoicingGenerator::Options());

    // Fills the chord's terms of `voicing` (one of this board, of this chord's root) and its
    // score.
    void rank(Voicing& voicing) const;

    // The triad under a chord's tones (intervals above the root): the root, its third (the
    // major one when it has none, as sus chords resolve) and its fifth (the perfect one
    // unless it has a flat or sharp fifth and no perfect one). R b3 b5 6 (dim7) gives R b3 b5.
    static IntervalSet triadOf(IntervalSet tones);
    // The intervals that colour the chord as tensions: 9, 11 and 13 and their alterations,
    // an interval the chord holds otherwise counting as what it is (b3 without a major third
    // is the third, 6 without a seventh the sixth).
    static IntervalSet tensionsOf(IntervalSet tones);

private:
    // The frets of every voicing of the triad on `root` (any bass), kept for the process.
    static QSet<QList<qint16>> triadShapes(const Fretboard& board, qint16 root, IntervalSet triad,
                                           const VoicingGenerator::Options& options);

    int missedOpen(const Voicing& voicing) const;
    int lowTension(const Voicing& voicing) const;
    int newShape(const Voicing& voicing) const;

    Fretboard m_board;
    std::optional<ChordTones> m_chord;
    IntervalSet m_triad = 0;
    IntervalSet m_tensions = 0;
    IntervalSet m_thirds = 0;
    QSet<QList<qint16>> m_triadShapes;
    int m_highFret = 0;
    int m_span = 0;
    bool m_anyBass = false;
};
