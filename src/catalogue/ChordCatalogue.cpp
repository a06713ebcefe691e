#include "catalogue/ChordCatalogue.h"

#include "base/Failure.h"

// The rows themselves live in ChordCatalogueData.cpp.
extern const ChordEntry chordCatalogueRows[ChordCatalogue::entryCount];

const ChordEntry& ChordCatalogue::entry(int n) {
    if (n < 1 || n > entryCount)
        throw Failure::subscriptOutOfRange();
    return chordCatalogueRows[n - 1];
}

std::span<const ChordEntry> ChordCatalogue::entries() {
    return {chordCatalogueRows, static_cast<size_t>(entryCount)};
}
