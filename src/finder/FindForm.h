#pragma once

#include "fretboard/Fretboard.h"
#include "fretboard/VoicingFinder.h"

#include <QString>
#include <QtGlobal>
#include <optional>

// What the Find page of the chord finder holds, as plain values: the chord as typed, the
// instrument, its tuning and capo, and the filters of `strumvane-charts find`. It makes the
// fretboard and the VoicingFinder query those values ask for, with the tool's rules.
//
// Example: {.chord = "Am7", .lowFret = 5, .highFret = 8} asks for the voicings of Am7 on the
// guitar in standard tuning with every sounding string within frets 5 to 8, as
// `strumvane-charts find Am7 --frets 5-8` does.
struct FindForm {
    QString chord;                          // "Am7", "F#m7b5", "C/G"; empty: nothing asked
    QString instrument = defaultInstrument; // an instrument preset: "guitar", "ukulele", ...
    // The instrument's own tuning when empty; else a preset of that instrument ("dadgad"),
    // notes lowest string first ("D2 A2 D3 G3 A3 D4") or note names ("DADGAD").
    QString tuning;
    int capo = 0; // 0..Fretboard::maxCapo
    // Every sounding string within lowFret..highFret (an open string is fret 0), both set or
    // neither; frets past the neck are taken as its highest.
    std::optional<int> lowFret, highFret;
    std::optional<int> strings; // exactly this many strings sound
    std::optional<qint16> top;  // the highest note's pitch class, 0..11
    bool inversions = false;    // also chords over another chord tone than the root
    bool openStrings = true;    // open strings (at the capo) may sound

    static constexpr const char* defaultInstrument = "guitar";

    // The instrument's standard tuning: nullopt for a name that is no instrument preset.
    std::optional<Tuning> instrumentTuning() const;
    // How an instrument preset is called on screen and in a score's part: "Guitar",
    // "7-string guitar", "Baritone ukulele"; the preset's name for another word.
    static QString instrumentTitle(const QString& preset);

    // The fretboard of instrument, tuning and capo; nullopt with a one-line `error` for an
    // unknown instrument, a tuning Tuning::parseFor() refuses ("tuning 'dadgad' is one of the
    // guitar, not of the ukulele") or a capo off 0..12.
    std::optional<Fretboard> board(QString* error = nullptr) const;

    // The query the form asks for: nullopt when the chord field is empty (`error` emptied)
    // or not understood, or the fretboard cannot be made (`error` says why in one line, as
    // ChordTones::parse() and board() do: "unknown chord type 'xyz' in 'Cxyz'").
    std::optional<VoicingFinder::Query> query(QString* error = nullptr) const;
};
