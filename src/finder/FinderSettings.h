#pragma once

#include "chart/ChordBox.h"
#include "finder/FindForm.h"
#include "finder/SheetList.h"

#include <QString>

class SettingsStore;

// The chord finder's choices in its own group of the settings file, through the store the
// main window uses (its hardened writes and reads): instrument, tuning, capo, the filters,
// the labels in the boxes, handedness, the strum, the sheet list and the folder last saved
// to. Each is written when it changes. Reading never fails: a value that is absent or
// damaged (edited by hand, from another version) gives that value's default, and the others
// are read as usual.
//
//   [Finder]
//   Instrument=ukulele
//   Tuning=
//   Capo=2
//   Frets=5-8            ("any": no fret window)
//   Strings=any
//   Top Note=any         (or a note name: "E", "Bb")
//   Inversions=false
//   Open Strings=true
//   Labels=intervals     (fingers, intervals or notes)
//   Left Handed=false
//   Strum=0              (milliseconds between strings, 0 to maxStrumMs)
//   Sheet Title=Lesson 3
//   Sheet=Am7|guitar||0|x-0-2-0-1-0|x-0-2-0-1-0;...  (SheetList::text())
//   LastFolder=/home/ann/Lessons
class FinderSettings {
public:
    // The group of the settings file the finder keeps its choices in.
    static constexpr const char group[] = "Finder";
    static constexpr int maxStrumMs = 200;

    struct Choices {
        FindForm form; // every field but the chord, which is not kept
        ChordBox::Labels labels = ChordBox::Labels::Fingers;
        bool leftHanded = false;
        int strumMs = 0;
        SheetList sheet;
        QString lastFolder;
    };

    explicit FinderSettings(SettingsStore& store) : m_store(store) {}

    Choices load() const;

    // Each writes its values at once and throws the store's Failure when it cannot.
    // Instrument, tuning and capo.
    void saveFretboard(const FindForm& form);
    // Frets, strings, top note, inversions and open strings.
    void saveFilters(const FindForm& form);
    void saveLabels(ChordBox::Labels labels);
    void saveLeftHanded(bool leftHanded);
    void saveStrum(int ms);
    // Title and chords.
    void saveSheet(const SheetList& sheet);
    void saveLastFolder(const QString& folder);

    // How the labels are written in the file: "fingers", "intervals", "notes".
    static QString labelsText(ChordBox::Labels labels);

private:
    SettingsStore& m_store;
};
