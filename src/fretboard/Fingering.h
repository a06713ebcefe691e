#pragma once

#include <QList>
#include <QtGlobal>
#include <optional>

// How one hand frets a shape, if it can: a finger for every fretted string such that
//   - at most four fingers stop strings; each finger stands on one fret, and a higher finger
//     never on a lower fret than a lower finger;
//   - the index (1) may lie across several strings, as a barre at the lowest fretted fret
//     over neighbouring strings that all sound at or above that fret (no open or muted
//     string under it); another finger only across neighbouring strings all stopped at the
//     shape's highest fret (the ring finger of x-1-3-3-3-1);
//   - the hand covers at most `span` frets, lowest to highest fretted fret;
//   - two fingers lie at most their distance in fingers plus the hand's extra reach apart
//     (one fret with the default span of four, so the index and middle finger reach two
//     frets apart, index and little finger four);
//   - the thumb, where the instrument allows it, frets only the lowest string, within a fret
//     of the index.
// Of the fingerings that do, the one with the lowest Playability score (fewest fingers and
// stretches; without the thumb or a barre when that ties).
//
// x-3-2-0-1-0 gives x-3-2-0-1-0; 1-3-3-2-1-1 gives 1-3-4-2-1-1 (the index barres all six);
// 3-2-0-0-0-3 gives 2-1-0-0-0-3.
class Fingering {
public:
    static constexpr int fingerCount = 4;
    static constexpr int defaultSpan = 4;

    // `frets`: one per string, lowest string first; -1 muted, 0 open, else the fret.
    // Gives one finger per string: 0 for an open or muted string, 1 to 4, or
    // Playability::thumbFinger; nullopt when one hand cannot fret the shape.
    static std::optional<QList<qint8>> of(const QList<qint16>& frets, int span = defaultSpan,
                                          bool thumbOverLowest = false);

    // The extra frets two fingers may lie apart beyond one a finger, for a hand of `span`.
    static int extraReach(int span);

    // "x-3-2-0-1-0" for frets {-1, 3, 2, 0, 1, 0} and fingers {0, 3, 2, 0, 1, 0}: "x" for a
    // muted string, "0" for an open one, "T" for the thumb.
    static QString text(const QList<qint16>& frets, const QList<qint8>& fingers);
};
