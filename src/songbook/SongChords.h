#pragma once

#include "fretboard/Tuning.h"
#include "songbook/Song.h"
#include "songbook/SongWarning.h"

#include <QList>
#include <optional>

// Names and voices the chords of a song for a player: every mark gets the name printed above
// the words, and every chord the song uses (Song::chords, in order of first use) a shape on the
// player's instrument.
//
// The player's capo is the one asked for, else the file's {capo}. What sounds is the file's
// chords moved by its {transpose} directives, its {capo} and the transposition asked for; the
// chords printed are what the player plays for that under the player's capo. A song in D
// printed with capo 2 shows C shapes; {key: C}{capo: 2} printed with capo 0 shows D. A chord
// that moves is spelled by the key in force ({key}, else the song's first chord): Bb in F major,
// A# in B major; what follows its root is kept as written ("Bbmaj7" up 2 is "Cmaj7"). A chord
// that does not move is printed as written.
//
// The shape of a chord is the file's {define} of that name, else its {chord} shape, when it has
// as many strings as the instrument and lies on its neck; else the easiest voicing the
// VoicingFinder gives, or with `voiceLead` the one of the easiest voiceLeadCandidates nearest
// the shape of the chord before it. A name that is no chord symbol, or a chord without any
// voicing on the instrument, is printed as text, with one warning at its first use.
class SongChords {
public:
    struct Options {
        Tuning tuning;
        std::optional<int> capo; // 0..Fretboard::maxCapo; nullopt: the file's {capo}
        int transpose = 0;       // semitones, any sign
        bool voiceLead = false;
    };

    static constexpr int voiceLeadCandidates = 24;

    static void resolve(Song& song, const Options& options, QList<SongWarning>& warnings);
};
