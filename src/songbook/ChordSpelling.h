#pragma once

#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// How a song's chords and key are written once they move: the root and bass moved and spelled
// with the accidentals of the key, everything between them as the writer wrote it.
//
//   transposed("Bbmaj7", 2, Sharps) -> "Cmaj7";  transposed("D/F#", 3, Flats) -> "F/A"
//   accidentalsOf(F major) -> Flats (Bb);  accidentalsOf(B major) -> Sharps (A#)
class ChordSpelling {
public:
    // Plain: the program's own note names (C# Eb F# Ab Bb), for C major and A minor.
    enum class Accidentals { Sharps, Flats, Plain };

    struct Key {
        qint16 root = 0; // pitch class 0..11
        bool minor = false;
        bool operator==(const Key&) const = default;
    };

    // A key as songs write it: a note name (ChordTheory::parseNoteName()) alone or followed
    // by "m", "min", "minor", "-", "maj" or "major", in any case and with blanks between:
    // "F", "Bbm", "F# minor", "c major". nullopt for anything else.
    static std::optional<Key> readKey(QStringView text);
    // `key` moved up by `semitones` (any sign).
    static Key moved(Key key, int semitones);
    // "C", "Db", "F#", "Bb"; "Am", "C#m", "Ebm", "Bbm": the spelling with the fewest
    // accidentals (F# major and Eb minor, of six each).
    static QString keyName(Key key);
    // The accidentals a key's chords are spelled with: the flats of F, Bb, Eb, Ab, Db, Gb
    // major and their relative minors, the sharps of G, D, A, E, B, F# major and theirs,
    // Plain for C major and A minor.
    static Accidentals accidentalsOf(Key key);

    // The name of pitch class `pitchClass` (any value, taken modulo 12): 10 is "A#" with
    // Sharps, "Bb" with Flats and Plain.
    static QString noteName(int pitchClass, Accidentals accidentals);

    // A chord symbol's text as written, cut at its root and bass: "Bbmaj7/D" gives root "Bb"
    // (10), suffix "maj7", bass "D" (2). nullopt for a text ChordSymbol::parse() does not
    // read ("Bes", "N.C.").
    struct Parts {
        QString root;
        QString suffix;
        QString bass; // empty when there is none
        qint16 rootClass = 0;
        qint16 bassClass = -1;
    };
    static std::optional<Parts> split(QStringView written);

    // `written` moved by `semitones`: root and bass renamed, the suffix kept. nullopt when it
    // is not a chord symbol.
    static std::optional<QString> transposed(QStringView written, int semitones,
                                             Accidentals accidentals);
};
