#pragma once

#include "catalogue/Playability.h"

#include <QList>
#include <QString>
#include <QtGlobal>

class Fretboard;

// One way of playing a chord on a fretboard: the fret of every string, the finger on it, what
// sounds, and how easy it is. Frets count from the capo.
//
// The score orders voicings easiest first. It is the hand's Playability score (open strings
// are free, a muted string inside the shape costs two) plus what makes a voicing harder or
// poorer where it lies:
//   innerMuted     the muted strings inside the shape once more: beside the hand's
//                  cost, a generated shape that leaves one out is a shape players
//                  rarely use (F 1-0-x-2-1-1 beside x-x-3-2-1-1)                   x2
//   positionSteps  one for every two frets the hand stands above the first two
//                  (frets 1-2: 0, 3-4: 1, ..., 13-14: 6)                          x1
//   farOpen        open strings sounding while the hand stands above the third
//                  fret, which it must keep clear of (Eb x-6-5-0-4-6)               x1
//   mutedTreble    strings left out above the highest sounding one, which a strum
//                  must miss or a finger damp                                       x2
//   mutedBass      strings left out below the lowest sounding one, on a re-entrant
//                  tuning only, whose lowest string a strum starts on like any
//                  other (elsewhere the strum starts at the bass)                   x2
//   thin           strings short of four sounding, on an instrument of five or more  x3
//   missedOpen     strings left out below the bass that would ring open on a lower
//                  note the chord may stand on: a chord thinner than it needs to be
//                  (E x-x-2-1-0-0 beside 0-2-2-1-0-0)                               x2
//   lowTension     a tension (9, 11, 13 and their alterations) sounding below the
//                  chord's highest third, where it is heard inside the chord rather
//                  than above it                                                    x2
//   newShape       a chord with tones beyond its triad (7, sus, add9, 6, ...) whose
//                  added tones are not on one string of a playable shape of that
//                  triad: players build such chords from triad shapes by moving one
//                  finger (C7 x-3-2-3-1-0 from C x-3-2-0-1-0)                       x3
// The last three need the chord (VoicingRanker); Voicing::of() leaves them 0.
// C on the guitar, x-3-2-0-1-0 fingered x-3-2-0-1-0: Playability 5, nothing else: score 5.
// 8-10-10-9-8-8 fingered 1-3-4-2-1-1: 8 + 3 = 11.
struct Voicing {
    QList<qint16> frets;  // one per string, lowest string first: -1 muted, 0 open, else fret
    QList<qint8> fingers; // one per string: 0 none, 1..4, Playability::thumbFinger
    QList<qint16> notes;  // MIDI notes of the sounding strings, in string order
    qint16 root = 0;      // pitch class of the chord's root
    qint16 bass = 0;      // pitch class of the lowest note
    Playability playability;
    int position = 0; // the lowest fretted fret; 0 when every sounding string is open
    int positionSteps = 0;
    int farOpen = 0;
    int mutedTreble = 0;
    int mutedBass = 0;
    int thin = 0;
    int missedOpen = 0;
    int lowTension = 0;
    int newShape = 0;
    int score = 0;

    static constexpr int positionFrets = 2;
    static constexpr int fullStrings = 4; // what a full chord sounds on five or more strings
    static constexpr int innerMutedWeight = 2;
    static constexpr int farOpenFret = 3; // open strings are free up to this position
    static constexpr int farOpenWeight = 1;
    static constexpr int mutedTrebleWeight = 2;
    static constexpr int reentrantMutedBassWeight = 2;
    static constexpr int thinWeight = 3;
    static constexpr int missedOpenWeight = 2;
    static constexpr int lowTensionWeight = 2;
    static constexpr int newShapeWeight = 3;

    // A voicing of a chord on `root` with these frets and fingers on `board`: its notes, bass,
    // the terms that need no chord, and the score they give.
    static Voicing of(const Fretboard& board, QList<qint16> frets, QList<qint8> fingers,
                      qint16 root);

    // "x-3-2-0-1-0".
    QString fretText() const;
    // "x-3-2-0-1-0": a finger per string, "0" open, "x" muted, "T" the thumb.
    QString fingerText() const;
    int soundingStrings() const { return int(notes.size()); }
    qint16 lowestNote() const;
    qint16 highestNote() const;
    // Semitones above the root (0..11) of each sounding note, in string order.
    QList<qint16> intervals() const;
    // Whether the bass is the root: a chord in root position.
    bool rootPosition() const { return bass == root; }
    // The score from the terms above; `reentrant` as the tuning is.
    int scoreOfTerms(bool reentrant) const;
};
