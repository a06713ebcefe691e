#pragma once

#include "catalogue/ChordType.h"

#include <QStringView>
#include <span>

// The tones of every chord type of the catalogue: one row per distinct `chordType` text,
// roughly in catalogue order. Naming a shape, finding voicings of a
// chord and checking the catalogue's spellings all read this one table.
class ChordTypeTable {
public:
    static std::span<const ChordType> types();

    // The row of a catalogue chord type ("maj", "m9/b3rdNR"); nullptr for any other text.
    static const ChordType* find(QStringView chordType);
};
