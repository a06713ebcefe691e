#pragma once

#include "catalogue/ChordType.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// Names a set of sounding notes as the chords of the chord-type table it can be read as.
//
// A reading is a root and a table row whose tones the notes fit (every required interval,
// nothing forbidden). Its name is written as the window writes names: root name, the row's
// text before the first "/", and "/" with the bass note when the bass is not the root. A row
// with its root in the bass may also be read over another of its tones: the major triad then
// reads "C/E", any other type keeps its text ("Am7/C"). Rootless rows ("NR") read over
// whatever tone is lowest.
class ChordNamer {
public:
    struct Reading {
        qint16 root = 0;                 // pitch class 0..11
        qint16 bass = 0;                 // pitch class of the lowest note
        const ChordType* type = nullptr; // the table row read
        QString name;                    // "CM7", "Am9/C", "C/E"
        QString key;                     // canonicalKey() of the name's type text
        bool rootSounds = true;
        int omissions = 0; // optional tones left out, plus "(no..)" and "add" in the type
    };

    // Every reading of `notes` (MIDI note numbers in any order; at least one), best first:
    // readings whose root sounds before rootless ones (those only with `withRootless`);
    // then fewest omissions and additions; then the root in the bass; then the plainest type
    // (fewest required tones, shortest text). Omissions come before the bass so that C/E
    // beats E minor with a flat sixth and no fifth. One reading per name. C-G-B-E
    // (48 55 59 64) gives CM7 first, and with rootless readings Am9/C among the rest.
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
    // "R-5-7-3" for CM7 from C-G-B-E.
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
