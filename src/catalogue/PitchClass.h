#pragma once

#include <QtGlobal>

// Pitch classes: the twelve notes of the octave, 0..11 counted from C, whatever the octave.
namespace PitchClass {

// Semitones in an octave, and so the number of pitch classes.
inline constexpr int count = 12;

// `value` (any sign) reduced into 0..11: mod12(14) = 2, mod12(-1) = 11, mod12(-12) = 0.
constexpr qint16 mod12(int value) {
    return qint16(((value % count) + count) % count);
}

// The pitch class of a MIDI note 0..127 (note 60, middle C, is 0; note 64 is 4).
constexpr qint16 ofNote(int midiNote) {
    return mod12(midiNote);
}

} // namespace PitchClass
