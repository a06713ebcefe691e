#pragma once

#include "chart/ChordDiagram.h"
#include "fretboard/ChordTones.h"
#include "fretboard/Fretboard.h"
#include "fretboard/Voicing.h"

#include <QList>
#include <QString>
#include <QtGlobal>
#include <optional>

// Voicings of the fretboard library as the chart and box drawings take them, and what the tool
// calls them.
//
//   VoicingDiagram::of(ofFrets({-1, 0, 2, 2, 1, 0}, capo 2), capo 2, "Bm", Bm)
//     -> strings x-0-2-2-1-0 fingered x-0-2-3-1-0, intervals x-R-5-R-b3-5, capo 2, "Am shape"
class VoicingDiagram {
public:
    // The diagram of `voicing` on `board`: frets, fingers, note names, the intervals above the
    // voicing's root (as `chord` spells them, else as nameOf() reads the notes), `name`, the
    // capo and under a capo shapeName().
    static ChordDiagram of(const Voicing& voicing, const Fretboard& board, const QString& name,
                           const std::optional<ChordTones>& chord);

    // The voicing of `frets` (one per string, -1 muted) on `board`: its fingering when one
    // hand can play it (no fingers otherwise), its root from nameOf()'s reading (the lowest
    // note's when there is none), its score.
    static Voicing ofFrets(const QList<qint16>& frets, const Fretboard& board);

    // The best reading of `notes` (MIDI, any order) as ChordNamer gives it ("Am7", "C/E");
    // empty when there is none.
    static QString nameOf(const QList<qint16>& notes);

    // What `voicing`'s frets make without the capo: "Am shape" for x-0-2-2-1-0 of Bm with the
    // capo at 2, named as `chord` would be on that root (with the bass when the voicing's name
    // shows one), else as nameOf() reads the notes; empty without a capo or a reading.
    static QString shapeName(const Voicing& voicing, const Fretboard& board,
                             const std::optional<ChordTones>& chord, bool namedWithBass);
};
