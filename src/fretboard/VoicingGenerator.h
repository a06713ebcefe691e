#pragma once

#include "fretboard/ChordTones.h"
#include "fretboard/Fingering.h"
#include "fretboard/Fretboard.h"
#include "fretboard/Voicing.h"

#include <QList>

// Every voicing of a chord on a fretboard that one hand can play: each sounds every
// required tone and nothing but the chord's tones (and a slash chord's bass, as its lowest
// note only), sounds at least
// three strings, has the root in the bass (a slash chord's bass note; any chord tone with
// `inversions`, or on a re-entrant tuning, whose lowest string carries no bass), lies within
// the fret window and has a fingering (Fingering). Each set of frets comes once, with its
// fingering and its score (VoicingRanker). Easiest first: by score, then more strings
// sounding, root position first, lower position, then the frets from the lowest string.
//
// C on the guitar gives x-3-2-0-1-0 first; Am on the ukulele 2-0-0-0; Bm with capo 2
// x-0-2-2-1-0.
class VoicingGenerator {
public:
    struct Options {
        bool inversions = false; // any chord tone in the bass
        bool rootless = false;   // the root may be left out (then any chord tone in the bass)
        bool openStrings = true; // open strings (at the capo) may sound
        int span = Fingering::defaultSpan; // frets the hand covers, 1 to 12
        int lowFret = 1;                   // every fretted string within lowFret..highFret
        int highFret = defaultHighFret;
    };
    static constexpr int defaultHighFret = 15;
    // Strings a voicing sounds at least (all of them on a three-string instrument).
    static constexpr int minSounding = 3;

    static QList<Voicing> generate(const ChordTones& chord, const Fretboard& board,
                                   const Options& options);
    static QList<Voicing> generate(const ChordTones& chord, const Fretboard& board) {
        return generate(chord, board, Options());
    }

    // The order of generate(): whether `a` comes before `b`.
    static bool easierFirst(const Voicing& a, const Voicing& b);
};
