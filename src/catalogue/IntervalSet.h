#pragma once

#include "catalogue/PitchClass.h"

#include <QtGlobal>

// A set of intervals above a root, as pitch classes: bit n set means the note n semitones
// above the root (modulo 12) belongs to the set. Root, major third and fifth: 0x091.
using IntervalSet = quint16;

inline constexpr IntervalSet allIntervals = 0x0fff;

// The set holding only the interval of `semitones` above the root (taken modulo 12).
constexpr IntervalSet intervalBit(int semitones) {
    return IntervalSet(1u << PitchClass::mod12(semitones));
}

// `set` seen from a root `semitones` higher: the same notes, counted from the new root.
// rotateDown(0x091, 9) (C E G seen from A) = 0x488 (b3, 5 and b7 above A).
constexpr IntervalSet rotateDown(IntervalSet set, int semitones) {
    const int s = PitchClass::mod12(semitones);
    const unsigned wide = unsigned(set) | (unsigned(set) << PitchClass::count);
    return IntervalSet((wide >> s) & allIntervals);
}
