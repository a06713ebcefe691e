#pragma once

#include <QString>
#include <QStringView>
#include <span>

// How hard a voicing is to play, from its frets and fingering alone (a shape scores the same
// anywhere on the neck). Lower is easier. The score adds up:
//   span        highest fretted fret minus the lowest (open strings aside)      x1
//   fingers     fingers 1 to 4 in use                                         x1
//   barres      fingers that stop two or more strings                          x2
//   stretches   frets the hand opens beyond one fret per finger, summed over  x2
//               neighbouring fingers in use (1 on fret 1 and 2 on fret 3: 1)
//   mutedInner  strings left out between the lowest and the highest sounding  x2
//               one (they must be damped)
//   thumb       1 when the thumb frets a string                                x3
// Entry 6 ("1-3-3-2-1-1" fingered "1-3-4-2-1-1"): span 2, fingers 4, barres 1, stretches 0,
// muted inner 0, thumb 0: score 8.
class Playability {
public:
    int span = 0;
    int fingers = 0;
    int barres = 0;
    int stretches = 0;
    int mutedInner = 0;
    int thumb = 0;

    static constexpr int barreWeight = 2;
    static constexpr int stretchWeight = 2;
    static constexpr int mutedInnerWeight = 2;
    static constexpr int thumbWeight = 3;

    // `frets`: one mark a string, lowest string first (six on the guitar), fret numbers ("0"
    // open) or "x"; absolute or relative. `fingering`: as many marks, "1".."4", "T" or "x"
    // (other marks count as no finger).
    static Playability of(QStringView frets, QStringView fingering);

    // The same from numbers, one a string, lowest string first, on any number of strings:
    // `frets` -1 muted, 0 open, else the fret; `fingers` 0 none, 1..4, or thumbFinger.
    // Strings past the shorter list are muted.
    static constexpr int mutedString = -1;
    static constexpr int noFinger = 0;
    static constexpr int thumbFinger = 5;
    static Playability of(std::span<const int> frets, std::span<const int> fingers);

    int score() const {
        return span + fingers + barreWeight * barres + stretchWeight * stretches +
               mutedInnerWeight * mutedInner + thumbWeight * thumb;
    }

    // "8 (span 2, fingers 4, barres 1, stretches 0, muted inner 0, thumb 0)"
    QString description() const;
};
