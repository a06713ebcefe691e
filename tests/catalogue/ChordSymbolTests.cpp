#include "catalogue/ChordFinder.h"
#include "catalogue/ChordSymbol.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordTypeTable.h"
#include "catalogue/ChordVocabulary.h"

#include <gtest/gtest.h>

#include <QSet>
#include <QStringList>

// Chord symbols as players write them, the vocabulary behind them, and the catalogue's find
// reached through them.

namespace {

// Intervals written as names ("R b3 b7") as a set above the root.
IntervalSet intervals(const char* names) {
    IntervalSet set = 0;
    for (const QString& name : QString::fromLatin1(names).split(u' ', Qt::SkipEmptyParts)) {
        const auto semitones = ChordTheory::intervalSemitones(name);
        EXPECT_TRUE(semitones) << name.toStdString();
        set |= intervalBit(semitones.value_or(0));
    }
    return set;
}

TEST(ChordSymbol, PlayersSpellings_ReadAsTheirChord) {
    const struct {
        const char* typed;
        const char* chart; // how a chart prints it
        const char* required;
        const char* optional;
    } cases[] = {
        {"Cm(maj7)", "Cm(maj7)", "R b3 7", "5"},
        {"C+7", "C7#5", "R 3 #5 b7", ""},
        {"C7+5", "C7#5", "R 3 #5 b7", ""},
        {"C9sus4", "C9sus4", "R 4 b7 9", "5"},
        {"C7sus2", "C7sus2", "R 2 b7", "5"},
        {"Cmaj7(#11)", "Cmaj7#11", "R 3 7 #11", "5"},
        {"C7(#11)", "C7#11", "R 3 b7 #11", "5"},
        {"C7(b9)", "C7b9", "R 3 b7 b9", "5"},
        {"Cm7(b5)", "Cm7b5", "R b3 b5 b7", ""},
        {"Cm(add9)", "Cm(add9)", "R b3 9", "5"},
        {"Cadd11", "Cadd11", "R 3 11", "5"},
        {"C2", "Cadd9", "R 3 9", "5"},
        {"C6add9", "C6/9", "R 3 6 9", "5"},
        {"Cdim(maj7)", "Cm(maj7)b5", "R b3 b5 7", ""},
        {"C11b9", "C11b9", "R 3 b7 b9 11", "5"},
        {"Cm11b5", "Cm11b5", "R b3 b5 b7 11", "9"},
        {"C11", "C11", "R 3 b7 11", "5 9"}, // the chord-book eleventh keeps its third
        {"Cm(maj11)", "Cm(maj11)", "R b3 7 11", "5 9"},
        {"C7alt", "C7#5#9", "R 3 #5 b7 #9", ""},
        {"C13sus4", "C13sus4", "R 4 b7 13", "5 9"},
        {"Am7", "Am7", "R b3 b7", "5"},
        {"Cmaj7", "Cmaj7", "R 3 7", "5"},
        {"C\u03947", "Cmaj7", "R 3 7", "5"},
        {"Bbmi7", "Bbm7", "R b3 b7", "5"},
        {"F#\u00f8", "F#m7b5", "R b3 b5 b7", ""},
        {"Eb\u00b07", "Ebdim7", "R b3 b5 6", ""},
        {"G+", "Gaug", "R 3 #5", ""},
        {"C6/9", "C6/9", "R 3 6 9", "5"},
        {"Cm6\\9", "Cm6/9", "R b3 6 9", "5"},
        {"am7", "Am7", "R b3 b7", "5"},
        {"Bb5", "Bb5", "R 5", ""}, // the power chord, not B with a flat fifth
        {"CM9(+11)", "Cmaj9#11", "R 3 7 9 #11", "5"},
    };
    for (const auto& c : cases) {
        QString error;
        const auto symbol = ChordSymbol::parse(QString::fromUtf8(c.typed), &error);
        ASSERT_TRUE(symbol) << c.typed << ": " << error.toStdString();
        EXPECT_EQ(symbol->text().toStdString(), c.chart) << c.typed;
        EXPECT_EQ(symbol->formula().required, intervals(c.required)) << c.typed;
        EXPECT_EQ(symbol->formula().optional, intervals(c.optional)) << c.typed;
        EXPECT_EQ(symbol->bass(), ChordSymbol::rootInBass) << c.typed;
    }
}

// A bass outside the chord is added below it: the voicing sounds the chord and the bass.
TEST(ChordSymbol, SlashChords_AddTheirBass) {
    const struct {
        const char* typed;
        qint16 bass;
        const char* required; // above the root
    } cases[] = {
        {"C/E", 4, "R 3 5"},    {"Dm7/C", 0, "R b3 b7"}, {"Am/G", 7, "R b3 5 b7"},
        {"D/C", 0, "R 3 5 b7"}, {"C/D", 2, "R 9 3 5"},   {"F/G", 7, "R 9 3 5"},
        {"G/F", 5, "R 3 5 b7"}, {"C/B", 11, "R 3 5 7"},
    };
    for (const auto& c : cases) {
        const auto symbol = ChordSymbol::parse(QString::fromLatin1(c.typed));
        ASSERT_TRUE(symbol) << c.typed;
        EXPECT_EQ(symbol->bass(), c.bass) << c.typed;
        EXPECT_EQ(symbol->required(), intervals(c.required)) << c.typed;
        EXPECT_EQ(symbol->required() & symbol->optional(), 0) << c.typed;
        EXPECT_EQ(symbol->text().toStdString(), c.typed);
    }
}

TEST(ChordSymbol, DoubtfulAndUnknownSymbols_AreRefusedWithOneLine) {
    const struct {
        const char* typed;
        const char* named;
    } cases[] = {
        {"Cb5", "C(b5) or B5"}, // C with a flat fifth, or the power chord on Cb?
        {"E#5", "E(#5) or F5"}, {"Cxyz", "'xyz'"}, {"H7", "'H7'"},
        {"C/H", "'H'"},         {"Cm5", "'m5'"},   {"", "''"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(ChordSymbol::parse(QString::fromUtf8(c.typed), &error)) << c.typed;
        EXPECT_TRUE(error.contains(QLatin1String(c.named))) << error.toStdString();
        EXPECT_FALSE(error.contains(u'\n'));
        // The catalogue's find reads names the same way: Cb5 is no C-flat power chord there.
        QString findError;
        EXPECT_FALSE(ChordFinder::parseChordName(QString::fromUtf8(c.typed), &findError));
        EXPECT_EQ(findError, error);
    }
}

// Each chord once, each chart spelling reads back as its own chord on any root, and every
// catalogue type voices one of them.
TEST(ChordVocabulary, EveryChartSpelling_ReadsBackAsItsChord) {
    for (const ChordType& type : ChordTypeTable::types())
        EXPECT_NE(type.formula, nullptr) << type.chordType.toStdString();
    QSet<IntervalSet> tones;
    for (const ChordFormula& f : ChordVocabulary::formulas()) {
        EXPECT_FALSE(tones.contains(f.tones())) << f.symbol.toStdString() << " twice";
        tones << f.tones();
        EXPECT_TRUE(f.required & 1) << f.symbol.toStdString() << " has no root";
        for (const qint16 root : {0, 3, 10}) {
            const ChordSymbol symbol(root, f);
            QString error;
            const auto read = ChordSymbol::parse(symbol.text(), &error);
            ASSERT_TRUE(read) << error.toStdString();
            EXPECT_TRUE(*read == symbol) << symbol.text().toStdString();
        }
    }
}

// The catalogue's find takes the new spellings for the same voicings as the catalogue's own,
// and a bass outside the chord for the chord's voicings over it.
TEST(ChordFinder, PlayersSpellings_FindTheCatalogueVoicingsOfTheirChord) {
    const auto entriesOf = [](const char* name) {
        ChordFinder::Query query;
        query.chord = ChordFinder::parseChordName(QString::fromUtf8(name));
        EXPECT_TRUE(query.chord) << name;
        QList<const ChordFinder::Voicing*> found;
        if (query.chord) {
            for (const ChordFinder::Found& f : ChordFinder::find(query))
                found << f.voicing;
        }
        return found;
    };
    const struct {
        const char* typed;
        const char* catalogue;
    } same[] = {{"Cm(maj7)", "CmM7"},
                {"C+7", "C7#5"},
                {"Cm7(b5)", "Cm7b5"},
                {"C9sus4", "C11"}, // the catalogue's 11 sounds R b7 9 11
                {"Cmaj7(#11)", "CM7(+11)"}};
    for (const auto& s : same) {
        const auto found = entriesOf(s.typed);
        EXPECT_FALSE(found.isEmpty()) << s.typed;
        EXPECT_EQ(found, entriesOf(s.catalogue)) << s.typed;
    }
    const IntervalSet aMinorOverG =
        intervalBit(9) | intervalBit(0) | intervalBit(4) | intervalBit(7);
    const auto overG = entriesOf("Am/G");
    EXPECT_FALSE(overG.isEmpty());
    for (const ChordFinder::Voicing* v : overG) {
        EXPECT_EQ(v->pitchClasses, aMinorOverG) << v->entry;
        EXPECT_EQ(v->lowestPitchClass, 7) << v->entry;
    }
}

} // namespace
