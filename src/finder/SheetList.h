#pragma once

#include "chart/ChordDiagram.h"
#include "fretboard/Fretboard.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// The chords a user gathers for a lesson sheet, in the order they print, and the sheet's
// title. Each chord keeps everything its box needs on its own (name, instrument, tuning,
// capo, frets and fingers), so a sheet may mix instruments and outlives the choices on
// screen. At most maxEntries chords, which keeps the settings file small.
//
// Example:
//   SheetList sheet;
//   sheet.add({"Am7", "guitar", "", 0, {-1, 0, 2, 0, 1, 0}, {0, 0, 2, 0, 1, 0}});
//   sheet.move(0, 1);   // false: there is only one chord
//   sheet.text();       // "Am7|guitar||0|x-0-2-0-1-0|x-0-2-0-1-0"
class SheetList {
public:
    static constexpr int maxEntries = 96; // four A4 pages of boxes

    struct Entry {
        QString name;         // "Am7", printed above the box
        QString instrument;   // an instrument preset: "guitar", "ukulele", ...
        QString tuning;       // as FindForm::tuning: empty for the instrument's own
        int capo = 0;         // 0..Fretboard::maxCapo
        QList<qint16> frets;  // one per string, lowest first: -1 muted, 0 open, else the fret
        QList<qint8> fingers; // one per string: 0 none, 1..4, Playability::thumbFinger

        // The fretboard the chord is played on; nullopt when instrument, tuning or capo do
        // not make one.
        std::optional<Fretboard> board() const;
        // The box of the chord: its name, frets, fingers, notes and intervals (as the name
        // spells them when it reads as a chord, else as the notes read) and the capo.
        ChordDiagram diagram() const;

        // One line of text: name|instrument|tuning|capo|frets|fingers, with "%", "|" and ";"
        // in the texts percent-encoded.
        QString text() const;
        // An entry from text(); nullopt for a line that does not make a playable chord on
        // its fretboard (a field missing, an unknown instrument, frets off the neck, fingers
        // for another number of strings ...).
        static std::optional<Entry> fromText(QStringView line);

        bool operator==(const Entry&) const = default;
    };

    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }

    const QList<Entry>& entries() const { return m_entries; }
    int count() const { return int(m_entries.size()); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    bool isFull() const { return count() >= maxEntries; }

    // Appends `entry`; false, leaving the list as it is, when the list is full or the entry
    // makes no chord (Entry::fromText(entry.text()) would refuse it).
    bool add(const Entry& entry);
    // Moves the chord at `from` to `to` (both 0..count()-1); false when either is outside.
    bool move(int from, int to);
    // Removes the chord at `index`; false when there is none.
    bool remove(int index);
    void clear() { m_entries.clear(); }

    // Every entry's text(), joined by ";". fromText() skips an entry it cannot read and
    // keeps the others (up to maxEntries).
    QString text() const;
    static SheetList fromText(const QString& title, QStringView text);

private:
    QString m_title;
    QList<Entry> m_entries;
};
