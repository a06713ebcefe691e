#pragma once

#include "catalogue/PitchClass.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// Pitch classes, intervals and the rules that move a catalogue shape to a Pitch and name it.
// Everything here is a pure function of its arguments.
namespace ChordTheory {

// Note names by pitch class 0..11 counted from C (MIDI note 60 is a C). They mix sharps and
// flats as the Pitch buttons do: "C", "C#", "D", "Eb", "E", "F", "F#", "G", "Ab", "A", "Bb", "B".
extern const std::array<QString, PitchClass::count> PitchNames;

// MIDI notes of the open strings in standard tuning, low E first: 40 45 50 55 59 64.
inline constexpr std::array<qint16, 6> standardOpenStringNotes{40, 45, 50, 55, 59, 64};

// Semitones of an interval name above the root, 0..11 ("R" 0, "b3" and "#9" 3, "+11" 6,
// "13" 9, ...); nullopt for a name outside the table. Names compare exactly ("B3" is unknown).
std::optional<qint16> intervalSemitones(QStringView name);

// The plain name of the interval `semitones` above the root (taken modulo 12), as a chord
// with no spelling of its own names it: "R", "b9", "9", "b3", "3", "11", "b5", "5", "#5",
// "6", "b7", "7".
QString plainIntervalName(int semitones);

// Root shift of an interval name: semitones from a note with that interval up to the next
// root, (12 - semitones) mod 12 ("3" gives 8, "b3" gives 9, "R" gives 0); nullopt if unknown.
std::optional<qint16> intervalRootShift(QStringView name);

// A mark that names a sounding string: a fret number in ASCII digits such as "1" or "17"
// (not "x", not "٣").
bool isFretMark(QStringView mark);

// A shape placed on the neck: what the chord display shows for one entry at one Pitch.
struct PlacedChord {
    qint16 shift = 0;     // frets the shape moved up, 0..11
    qint16 rootShift = 0; // root shift of the first sounding string's interval
    QString fretNumbers;  // fret numbers low E first, "x" for muted: "8-10-10-9-8-8"
    QList<qint16> notes;  // MIDI notes of the sounding strings, low string first
    QString noteNames;    // names of those notes joined by "-": "C-G-C-E-G-C"
};

// Moves a shape so that its first sounding string sounds `pitch` (0..11): the smallest
// upward shift of 0..11 frets. `fretPattern` and `spelling` are six-mark texts such as
// "1-3-3-2-1-1" and "R-5-R-3-5-R". `previousRootShift` is kept when the first sounding
// string's interval is not in the table (the catalogue has no such mark).
// Entry 6 at Pitch 0 gives shift 7, "8-10-10-9-8-8", notes 48 55 60 64 67 72, "C-G-C-E-G-C".
PlacedChord placeChord(const QString& fretPattern, const QString& spelling, qint16 pitch,
                       const std::array<qint16, 6>& openStringNotes = standardOpenStringNotes,
                       qint16 previousRootShift = 0);

// The chord's display name. Without "/" in `chordType`: PitchNames[pitch] + chordType
// ("C" + "maj" = "Cmaj", "C" + " octave" = "C octave"). With "/" (a slash chord, `pitch`
// being the bass): root = (pitch + rootShift) mod 12, and the name is PitchNames[root], the
// text before the first "/", "/" and PitchNames[pitch]: "/3rd" at C with root shift 8 gives
// "Ab/C", "m9/b3rdNR" at C with root shift 9 gives "Am9/C".
QString chordDisplayName(const QString& chordType, qint16 pitch, qint16 rootShift);

// A note name as a user writes it: a letter A to G in either case, alone or followed by one
// sharp ("#" or "♯") or one flat ("b" or "♭", also "B"). Gives its pitch class: "C", "c" -> 0;
// "Bb", "bb", "BB", "B♭", "A#", "a♯" -> 10; "Cb" -> 11; "E#" -> 5. nullopt for anything else
// ("H", "C##", "Cx", "C♮"). The root and bass of a chord name are read by this rule too.
std::optional<qint16> parseNoteName(QStringView text);

// Pitch from a user's text: a note name as parseNoteName() reads it, or a number 0..11 in
// ASCII digits ("11", "0"). nullopt for anything else ("12", " 3", "-1").
std::optional<qint16> parsePitch(QStringView text);

} // namespace ChordTheory
