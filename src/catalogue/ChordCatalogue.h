#pragma once

#include "catalogue/ChordEntry.h"

#include <QtGlobal>
#include <span>

// The built-in catalogue of 611 voicings, numbered 1 to 611. Entry n is line n - 1 of the
// chord list, so entry numbers are visible to the user and never change.
class ChordCatalogue {
public:
    static constexpr qint16 entryCount = 611;

    // Entry n, 1..611. Any other number fails with "Subscript out of range".
    static const ChordEntry& entry(int n);

    // All entries in catalogue order; element 0 is entry 1.
    static std::span<const ChordEntry> entries();
};
