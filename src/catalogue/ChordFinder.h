#pragma once

#include "catalogue/ChordType.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <array>
#include <optional>
#include <span>

// Finds the catalogue's voicings (every entry at every Pitch, placed as the window places
// them) that sound a chord or a set of notes, and measures how far apart two voicings lie.
class ChordFinder {
public:
    // A chord name as players type it: root, type, and an optional "/" and bass note.
    struct ChordName {
        qint16 root = 0;  // pitch class
        QString key;      // ChordNamer::canonicalKey() of the type
        qint16 bass = -1; // pitch class of a slash name's bass; -1 for a plain name
    };

    // Reads "Am7", "Cmaj7", "CΔ7", "Bbmi7", "F#ø", "Eb°7", "G+", "C/E", "Dm7/C", "C6/9",
    // "Cm6\9", "am7": a root and, after the last "/", a bass as ChordTheory::parseNoteName()
    // reads note names, and between them a type the table knows in any spelling of
    // ChordNamer::canonicalKey(). Any other chord symbol that ChordSymbol::parse() reads
    // gets the key of the catalogue type that voices its chord ("Cm(maj7)" is CmM7, "C9sus4"
    // the catalogue's C11), or an empty key, which no voicing fits, when the catalogue has
    // no voicing of it ("C7sus2"... has: "C9(no3rd)"; "Cm(maj11)" has none). nullopt
    // otherwise, with `error` saying what was not understood ("unknown chord type 'xyz' in
    // 'Cxyz'", "'Cb5' is ambiguous: write C(b5) or B5").
    static std::optional<ChordName> parseChordName(QStringView text, QString* error = nullptr);

    // One catalogue entry at one Pitch, placed on the neck.
    struct Voicing {
        int entry = 0;                 // 1..611
        qint16 pitch = 0;              // 0..11
        std::array<qint16, 6> frets{}; // fret numbers low E first; -1 muted
        QList<qint16> notes;           // MIDI notes of the sounding strings, low string first
        IntervalSet pitchClasses = 0;
        qint16 lowestPitchClass = 0; // of the lowest note
        qint16 topPitchClass = 0;    // of the highest note
        int score = 0;               // Playability score of the entry

        QString fretNumbers() const; // "8-10-10-9-8-8"
        int soundingStrings() const { return int(notes.size()); }
    };

    // All 7,332 voicings, entry order then Pitch order; built once.
    static const QList<Voicing>& voicings();
    static const Voicing& voicing(int entry, qint16 pitch);
    // The name the window gives a voicing: "Cmaj" for entry 6 at C, "Am9/C" for 133 at C.
    static QString windowName(const Voicing& voicing);

    struct Query {
        std::optional<ChordName> chord;       // a chord, or
        std::optional<IntervalSet> notes;     // exactly this set of pitch classes
        std::optional<int> lowFret, highFret; // every fretted string within LOW..HIGH
        std::optional<int> strings;           // this many sounding strings
        std::optional<qint16> top;            // the highest note's pitch class
        bool rootless = false;                // also voicings without the chord's root
        const Voicing* near = nullptr;        // sort by distance from this voicing
    };

    struct Found {
        const Voicing* voicing = nullptr;
        int distance = 0;          // voiceLeadingDistance() from Query::near, else 0
        bool namedAsAsked = false; // the window's name of it reads as Query::chord
    };

    // The voicings that meet every part of `query`, easiest (lowest score) first, or nearest
    // first when `near` is set (then easiest first); among equals, those the window names as
    // asked (Am7 before C6/A for "Am7"), then entry and Pitch order.
    static QList<Found> find(const Query& query);

    // How far the hand and the voices move from one voicing to another: the hand's position
    // (its lowest fretted fret) moved, plus, string by string, the semitones between the two
    // notes where the string sounds in both, and, where it sounds in one only, the semitones
    // from that note to the nearest note of the other voicing (a voice that enters or leaves
    // moves from or to its neighbour). 0 for the same voicing.
    static int voiceLeadingDistance(const Voicing& from, const Voicing& to);
    // The same for voicings on any strings, given as the MIDI note of each string (-1 for a
    // muted one, lowest string first; the shorter list's missing strings are muted) and the
    // hand's position (the lowest fretted fret, 0 for none). On one tuning the semitones
    // between two notes of a string are the frets between them.
    static int voiceLeadingDistance(std::span<const int> fromNotes, int fromPosition,
                                    std::span<const int> toNotes, int toPosition);
};
