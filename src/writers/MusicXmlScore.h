#pragma once

#include "catalogue/ChordSymbol.h"
#include "chart/ChordDiagram.h"
#include "fretboard/Fretboard.h"
#include "writers/WriteResult.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// Chord diagrams as a MusicXML 4.0 score that notation programs import: partwise, one part
// named after the instrument, one 4/4 measure per chord in order, each holding a whole-measure
// rest and the chord as a <harmony> with its <frame>.
//
// The harmony spells the root and the bass as the chord's name writes them (Bb: step B, alter
// -1; A#: step A, alter +1), its chord as a MusicXML kind with degrees (MusicXmlHarmony), the
// kind's text giving the chart's spelling ("m7b5"; the degrees are not printed again). The
// frame has the diagram's strings and the fret rows a chord box shows, its first fret where the
// box starts, and a frame-note for every sounding string: MusicXML's string number (1 the
// highest string, as the player holds it), the fret (0 open), the finger ("1" to "4", "T" the
// thumb; none on an open string) and barre start (lowest string) and stop (highest); a muted
// string has no frame-note and shows "x"; a diagram with no sounding string has no frame. Frets are
// counted from the capo, as the diagram gives them; the first measure says where the capo sits and
// how the strings are tuned unless the instrument has its standard tuning ("Tuning D2 A2 D3 G3 A3
// D4, Capo 2"). The clef is the instrument's: treble, treble an octave down (guitars), bass an
// octave down (the bass).
//
//   { "Cmaj7", Cmaj7, x-3-2-0-0-0 } -> <root-step>C</root-step>,
//       <kind text="maj7">major-seventh</kind>, frame of 6 strings and 5 frets from fret 1
class MusicXmlScore {
public:
    struct Chord {
        // As the chart writes the chord: "Bbm7/Ab". Spells root and bass.
        QString name;
        // What the name means; nullopt for a name that is no chord of the vocabulary, which
        // the harmony then writes as the kind "other" with the text of the name after its root
        // and the diagram's notes as added degrees.
        std::optional<ChordSymbol> symbol;
        // With no ChordDiagram::problem(); frets counted from the capo.
        ChordDiagram diagram;
    };

    struct Score {
        QString title;      // empty: none
        QString instrument; // the part's name: "Guitar"
        Fretboard board;    // the tuning and capo the diagrams are played with
        QList<Chord> chords;
    };

    // The file content, UTF-8. Throws Failure::invalidProcedureCall() for a score without
    // chords or with a diagram that has a problem() or another number of strings than the
    // board.
    static QByteArray encode(const Score& score);

    // Writes the score as the whole of `fileName` (ImageFile::writeFile(): a temporary file
    // that takes the name once complete, or nothing), with the system's words for a failure
    // in `reason`. Throws as encode() does, before anything is written.
    static WriteResult write(const QString& fileName, const Score& score,
                             QString* reason = nullptr);
};
