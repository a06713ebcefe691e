#pragma once

#include "catalogue/ChordSymbol.h"
#include "fretboard/ChordTones.h"
#include "fretboard/Fretboard.h"
#include "fretboard/Voicing.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

// One song of a ChordPro file as ChordProReader reads it, and once SongChords has resolved it,
// with every chord it uses named as printed and voiced on the player's fretboard.
//
//   {title: Swing Low}                    title "Swing Low"
//   {soc}                                 a Chorus block holding one Lyrics line:
//   Swing [D]low, sweet [G]chari[D]ot      text "Swing low, sweet chariot",
//   {eoc}                                  marks D at 6, G at 17, D at 22
class Song {
public:
    // How the chords a transposition moves are spelled: as the key asks (the default), or
    // with sharps or flats throughout ({transpose: 2s}, {transpose: -1f}).
    enum class Accidentals { ByKey, Sharps, Flats };

    // A chord written into a line: "[G]", or an annotation "[*Rit.]".
    struct Mark {
        qsizetype at = 0;        // index into the line's text (UTF-16) that it stands before
        QString written;         // between the brackets, trimmed; without the "*" of annotations
        bool annotation = false; // printed as written, never a chord: [*Coda], [N.C.]
        int transpose = 0;       // semitones of the file's {transpose} in force, nested
        Accidentals accidentals = Accidentals::ByKey;
        QString key; // the {key} in force, as written ("F", "Bbm"); empty when none

        // Filled by SongChords::resolve().
        QString shown;  // as printed: transposed and spelled, or as written
        int chord = -1; // index into Song::chords; -1 for text only
    };

    struct Line {
        enum class Kind {
            Lyrics,        // text with marks above it; marks alone make a chord line
            Comment,       // {comment}, {c}
            CommentItalic, // {comment_italic}, {ci}
            CommentBox,    // {comment_box}, {cb}
            Highlight,     // {highlight}
            Tab,           // verbatim, monospace
            Grid,          // a chord grid row: "| Am . . . | D7 . . . |", a mark per chord
            Text,          // printed as written: an unknown directive, a malformed line
            Space,         // an empty line between paragraphs
            ChordBoxes,    // {chord: Am}: a diagram in place, one mark per chord
            NewPage,       // {new_page}
        };
        Kind kind = Kind::Lyrics;
        QString text;
        QList<Mark> marks;
        int line = 0; // 1-based line of the file
    };

    // A run of lines: plain lines between environments, or one environment.
    struct Block {
        enum class Kind { Plain, Verse, Chorus, Bridge, Tab, Grid, Other };
        Kind kind = Kind::Plain;
        QString label;         // {soc: Chorus 2}; empty when none was given
        bool recalled = false; // a chorus printed again by {chorus}
        QList<Line> lines;
    };

    // A shape given by {define} or {chord} with frets: frets count from the capo (as the
    // player frets them), -1 for a muted string.
    struct Shape {
        QString name;
        QList<qint16> frets;
        QList<qint8> fingers;       // one per string, 0 for none; empty when not given
        bool forInstrument = false; // given with a selector ({define-ukulele}) that matched
        bool inPlace = false;       // from {chord}, which a {define} of the name outranks
        int line = 0;
    };

    // A chord the song uses, as printed, with what plays it.
    struct Chord {
        QString name;                      // as printed above the words: "Bb", "A#m7"
        std::optional<ChordSymbol> symbol; // its reading; nullopt for a name like "Bes"
        // What sounds: the symbol moved up by the capo, as the voicing's notes and intervals
        // are counted; nullopt with the symbol.
        std::optional<ChordTones> sounding;
        // Frets counted from the capo of Song::board, notes as they sound; nullopt: no shape
        // is known, and the name is printed as text only.
        std::optional<Voicing> voicing;
        bool defined = false; // the shape comes from the file's {define}
        bool inStrip = true;  // used in the lyrics or a grid, not only {chord}
        int line = 0;         // where it is first used
    };

    QString file;  // the file it came from, as named on the command line
    int line = 0;  // where it starts
    QString title; // empty when the file gives none
    QStringList subtitles;
    QStringList artists;
    QStringList composers;
    QStringList lyricists;
    QString album;
    QString year;
    QString copyright;
    QString key;      // the first {key}, as written
    QString capo;     // as written; SongChords reads it
    int capoLine = 0; // where it was given
    QString tempo;
    QString time;
    QString duration;
    std::optional<bool> diagrams; // {diagrams: off}; nullopt when the file does not say

    QList<Block> blocks;
    QList<Shape> shapes; // {define} and {chord} shapes that apply, in file order

    // Filled by SongChords::resolve().
    QList<Chord> chords; // in order of first use
    Fretboard board;     // the player's: instrument, tuning and the capo in force
    QString printedKey;  // the key as the player reads the chords, after any transposition
    QString soundingKey; // as it sounds with the capo; empty without a capo or a key

    // Every mark of the song in reading order, for code that walks them all.
    QList<Mark*> marks();
    QList<const Mark*> marks() const;
};
