#pragma once

// One voicing of the catalogue. Each mark text has six marks joined by "-", the first for the
// low E string and the last for the high e string; "x" marks a string that is not played.
struct ChordEntry {
    const char* fretPattern; // relative frets "1".."6" or "x", e.g. "1-3-3-2-1-1"
    const char* fingering;   // fingers "1".."4", thumb "T" or "x", e.g. "1-3-4-2-1-1"
    const char* spelling;    // interval above the root or "x", e.g. "R-5-R-3-5-R"
    const char* chordType;   // chord-name suffix shown in the chord list, e.g. "maj", "/3rd"
};
