#pragma once

#include "catalogue/ChordFinder.h"
#include "fretboard/ChordTones.h"
#include "fretboard/Fretboard.h"
#include "fretboard/Voicing.h"
#include "fretboard/VoicingGenerator.h"

#include <QList>
#include <QString>
#include <optional>

// The voicings of a chord or of a set of notes from both places they come from: the
// catalogue's (only for the guitar in standard tuning without a capo) and the generator's,
// each set of frets once (the catalogue's row when both have it), scored alike (Voicing,
// VoicingRanker) and easiest first.
//
//   find({.chord = C, .catalogueChord = C}) -> x-3-2-0-1-0 (generated), ..., 8-10-10-9-8-8
//   (#6@C), ...
class VoicingFinder {
public:
    enum class Source { Catalogue, Generated, All };

    struct Query {
        // A chord (its tones for the generator, its catalogue name for the catalogue), or
        std::optional<ChordTones> chord;
        std::optional<ChordFinder::ChordName> catalogueChord;
        // exactly these pitch classes.
        std::optional<IntervalSet> notes;
        Fretboard board;
        // Inversions, the root left out, open strings and the span; the catalogue's rows keep
        // to the same span. The window comes from lowFret and highFret below.
        VoicingGenerator::Options options;
        // Every sounding string within lowFret..highFret, an open string counting as fret 0;
        // without them, the catalogue's rows lie anywhere and the generator's within its
        // window (frets 0 to 15).
        std::optional<int> lowFret, highFret;
        std::optional<int> strings;                 // exactly this many strings sound
        std::optional<qint16> top;                  // the highest note's pitch class
        const ChordFinder::Voicing* near = nullptr; // nearest first, by voice-leading distance
        Source source = Source::All;
    };

    struct Row {
        Voicing voicing;
        int entry = 0;    // the catalogue entry, 1..611; 0 for a generated voicing
        qint16 pitch = 0; // the catalogue voicing's Pitch
        QString name;     // the window's name of a catalogue voicing, the chord's name else
        int distance = 0; // from Query::near, else 0
        bool namedAsAsked = false; // a catalogue voicing the window names as asked

        bool fromCatalogue() const { return entry > 0; }
        // "#165@A" or "generated".
        QString source() const;
    };

    // Whether the catalogue's voicings belong on `board`: the guitar in standard tuning
    // without a capo.
    static bool catalogueApplies(const Fretboard& board);

    // The rows that meet `query`: nearest first when `near` is set, then by score, those the
    // window names as asked first, catalogue rows before generated ones, then the
    // generator's own order.
    static QList<Row> find(const Query& query);

    // The fingers of a catalogue fingering text, one per string: "1-3-4-2-1-1", "T" for the
    // thumb (Playability::thumbFinger), "x" or anything else 0.
    static QList<qint8> fingersOf(QStringView fingering);
};
