#pragma once

#include "catalogue/ChordFormula.h"
#include "catalogue/ChordSymbol.h"
#include "catalogue/ChordType.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// Names a set of sounding notes as a teacher would, with the chords of the vocabulary.
//
// A reading is a root and a chord whose formula the notes fit (every required interval,
// nothing outside the chord), over the lowest note as bass: "Cmaj7", "Am7/C". When the
// lowest note is a tension of that chord and sounds only in the bass, the notes above it
// are read as a chord over a foreign bass instead ("C/D", not "Cadd9/D"). With rootless
// readings, a sixth or seventh chord of at least four tones may also leave its root out.
// Each root gives at most one reading, in the spelling a chord chart prints, so the same
// notes never read twice under two spellings.
class ChordNamer {
public:
    struct Reading {
        qint16 root = 0;                       // pitch class 0..11
        qint16 bass = 0;                       // pitch class of the lowest note
        const ChordFormula* formula = nullptr; // the chord read
        QString name;                          // "Cmaj7", "Am7/C", "C/D"
        bool rootSounds = true;
        bool bassAdded = false; // the bass is no tone of the chord (C/D)

        // The reading as a chord symbol: root, chord, and the bass when it is not the root.
        ChordSymbol symbol() const { return ChordSymbol(root, *formula, bass); }
    };

    // Every reading of `notes` (MIDI note numbers in any order, any number), best first:
    // readings whose root sounds before rootless ones (those only with `withRootless`);
    // then, apart from the rare chords, which come last, the root in the bass before a
    // slash reading; then the everyday chords, the other chord-book chords, the chords with
    // an added tension; then fewest optional tones left out; then the fewest required tones.
    // C-G-B-E (48 55 59 64) gives Cmaj7 first, then Em/C; with rootless readings Am9/C too.
    static QList<Reading> readings(const QList<qint16>& notes, bool withRootless);

    // Whether `notes` reads as `root` + a catalogue type of canonical key `key`: over the
    // given `bass` pitch class, or (bass < 0) with the root in the bass; with `withRootless`
    // also without the root, over any bass. A bass outside the type is added below its tones
    // (Am/G: A C E over G). The test behind the catalogue's find.
    static bool fits(IntervalSet pitchClasses, qint16 lowestPitchClass, qint16 root,
                     const QString& key, qint16 bass, bool withRootless);

    // The spelling-independent key of a type text, so that the spellings players type meet
    // the catalogue's: "maj7", "ma7", "Δ7", "M7" give "M7"; "min", "mi", "-" give "m"; "ø"
    // gives "m7b5"; "°", "o" give "dim"; "+" gives "aug"; "(+11)" and "+11" give "#11";
    // "", "M", "maj" give "maj" (the major triad); "sus" alone gives "sus4".
    static QString canonicalKey(QStringView typeText);

    // Whether some row of the table has this canonical key.
    static bool isKnownKey(const QString& key);

    // The text of a reading's intervals, one per note in the given order, joined by "-":
    // "R-5-7-3" for Cmaj7 from C-G-B-E.
    static QString intervalText(const Reading& reading, const QList<qint16>& notes);

    // Frets as a player writes them, six marks low E first joined by "-": a fret 0 (open) to
    // 24, or "x" for a string left out: "x-3-2-0-1-0". Gives the MIDI notes of the sounding
    // strings in standard tuning, low string first; nullopt with a one-line `error` for
    // anything else (not six marks, a mark that is no fret, a fret over 24, nothing sounding).
    static std::optional<QList<qint16>> notesOfFrets(QStringView frets, QString* error = nullptr);

    static constexpr int highestFret = 24;

    // The set of pitch classes of `notes`, and the pitch class of the lowest one.
    static IntervalSet pitchClassSet(const QList<qint16>& notes);
    static qint16 lowestPitchClass(const QList<qint16>& notes);
};
