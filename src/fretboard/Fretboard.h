#pragma once

#include "fretboard/Tuning.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// A tuning with a capo: where a player's fingers are and what the strings then sound. Frets
// are counted from the capo, as a player with a capo reads them: with the capo at 2, fret 0
// is the string stopped by the capo and sounds two semitones above the open string.
//
// Guitar, capo 2: string 1 (A2, 45) at fret 0 sounds 47 (B2); "x-0-2-2-1-0" sounds
// B2 F#3 B3 D4 F#4 (47 54 59 62 66), the A-minor shape making B minor.
class Fretboard {
public:
    static constexpr int maxCapo = 12;
    // A string left out: "x" in a fret text.
    static constexpr int muted = -1;

    explicit Fretboard(Tuning tuning = Tuning(), int capo = 0);

    const Tuning& tuning() const { return m_tuning; }
    int capo() const { return m_capo; }
    int stringCount() const { return m_tuning.stringCount(); }
    // The highest fret above the capo: the neck's frets less the capo's.
    int highestFret() const { return m_tuning.fretCount() - m_capo; }

    // What string `string` sounds at `fret` above the capo (0 open), MIDI.
    qint16 note(int string, int fret) const {
        return qint16(m_tuning.openNote(string) + m_capo + fret);
    }
    // Whether the string can be stopped there: fret 0, or a fret up to highestFret() that
    // lies on the string (the banjo's short string has none below its fifth fret).
    bool playable(int string, int fret) const;

    // The MIDI notes of the sounding strings of `frets` (one per string, muted -1), in string
    // order: lowest string first, which on a re-entrant tuning is not the lowest note.
    QList<qint16> notes(const QList<qint16>& frets) const;

    // FRETS as a user writes them: one mark a string, lowest string first, joined by "-",
    // each a fret 0 (open, or at the capo) to highestFret() or "x" ("x-3-2-0-1-0" on the
    // guitar, "0-0-0-3" on the ukulele). nullopt with a one-line `error` for another number
    // of marks than strings, a mark that is no fret, a fret off the neck or the string, or
    // no string sounding.
    std::optional<QList<qint16>> parseFrets(QStringView text, QString* error = nullptr) const;
    // "x-3-2-0-1-0" for {-1, 3, 2, 0, 1, 0}.
    static QString fretText(const QList<qint16>& frets);

    // "guitar", "dadgad, capo 2", "D2 A2 D3 G3 A3 D4": how messages name the fretboard.
    QString description() const;

private:
    Tuning m_tuning;
    int m_capo = 0;
};
