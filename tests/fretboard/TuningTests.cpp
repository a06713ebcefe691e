#include "fretboard/Fretboard.h"
#include "fretboard/Tuning.h"

#include <gtest/gtest.h>

// Tunings as a user writes them, and what a capo does to the strings.

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

TEST(Tuning, PresetsAndWrittenTunings_GiveTheirOpenNotes) {
    const struct {
        const char* written;
        const char* notes;
        int shortStringStart; // of the lowest string
        bool reentrant;
    } cases[] = {
        {"guitar", "E2 A2 D3 G3 B3 E4", 0, false},
        {"DROP-D", "D2 A2 D3 G3 B3 E4", 0, false},
        {"open-e", "E2 B2 E3 Ab3 B3 E4", 0, false},
        {"half-step-down", "Eb2 Ab2 C#3 F#3 Bb3 Eb4", 0, false},
        {"7-string", "B1 E2 A2 D3 G3 B3 E4", 0, false},
        {"bass", "E1 A1 D2 G2", 0, false},
        {"ukulele", "G4 C4 E4 A4", 0, true},
        {"mandolin", "G3 D4 A4 E5", 0, false},
        {"banjo", "G4 D3 G3 B3 D4", 5, true},
        // Compact names take the octaves of the nearest instrument of as many strings.
        {"DADGAD", "D2 A2 D3 G3 A3 D4", 0, false},
        {"EbAbDbGbBbEb", "Eb2 Ab2 C#3 F#3 Bb3 Eb4", 0, false},
        {"EADGBe", "E2 A2 D3 G3 B3 E4", 0, false},
        {"GCEA", "G4 C4 E4 A4", 0, true},
        {"DGBE", "D3 G3 B3 E4", 0, false},
        {"gDGBD", "G4 D3 G3 B3 D4", 5, true},
        {"aDF#AD", "A4 D3 F#3 A3 D4", 5, true},
        {"BEADGBE", "B1 E2 A2 D3 G3 B3 E4", 0, false},
        // Scientific pitch, blanks or commas between.
        {"D2 A2 D3 G3 A3 D4", "D2 A2 D3 G3 A3 D4", 0, false},
        {"c2,g2,d3,a3,e4", "C2 G2 D3 A3 E4", 0, false},
        {"B\u266D1 E2 A2", "Bb1 E2 A2", 0, false},
    };
    for (const auto& c : cases) {
        QString error;
        const auto tuning = Tuning::parse(QString::fromUtf8(c.written), &error);
        ASSERT_TRUE(tuning) << c.written << ": " << text(error);
        EXPECT_EQ(text(tuning->notesText()), c.notes) << c.written;
        EXPECT_EQ(tuning->startFret(0), c.shortStringStart) << c.written;
        EXPECT_EQ(tuning->reentrant(), c.reentrant) << c.written;
    }
}

TEST(Tuning, NotesAndInstruments_ReadAsWritten) {
    const struct {
        const char* note;
        int midi; // -1: not a note
    } notes[] = {{"E2", 40},  {"g4", 67}, {"Bb1", 34}, {"C#5", 73}, {"Cb4", 59},
                 {"B#3", 60}, {"C0", 12}, {"H2", -1},  {"E", -1},   {"E10", -1},
                 {"", -1},    {"2", -1},  {"Ebb2", -1}};
    for (const auto& n : notes) {
        const auto midi = Tuning::parseNote(QString::fromUtf8(n.note));
        EXPECT_EQ(midi ? *midi : -1, n.midi) << n.note;
    }
    EXPECT_TRUE(Tuning::isInstrument(u"banjo"));
    EXPECT_FALSE(Tuning::isInstrument(u"dadgad"));
    EXPECT_TRUE(Tuning::preset(u"guitar")->thumbOverLowest());
    EXPECT_FALSE(Tuning::preset(u"ukulele")->thumbOverLowest());
    // A four-string tuning read by the ukulele takes its octaves, whatever lies nearest.
    const Tuning ukulele = *Tuning::preset(u"ukulele");
    EXPECT_EQ(text(Tuning::parse(u"ADF#B", nullptr, &ukulele)->notesText()), "A4 D4 F#4 B4");
}

TEST(Tuning, BadTunings_AreRefusedInOneLine) {
    const struct {
        const char* written;
        const char* named;
    } cases[] = {
        {"EA", "2 strings"},
        {"E2 A2", "2 strings"},
        {"EADGBEADG", "9 strings"},
        {"E1 A1 D2 G2 C3 F3 B3 E4 A4", "9 strings"},
        {"EADGBH", "'H'"},
        {"E2 A2 D3 G3 B3 H4", "'H4'"},
        {"E2 A2 D3 G3 B3 E", "'E'"},
        {"frobnicate", "unknown tuning"},
        {"dadgda", "unknown tuning"}, // a misspelt preset, not D A D G D A
        {"Frobnicate", "'r'"},
        {"", "0 strings"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(Tuning::parse(QString::fromUtf8(c.written), &error)) << c.written;
        EXPECT_TRUE(error.contains(QLatin1String(c.named))) << c.written << ": " << text(error);
        EXPECT_FALSE(error.contains(u'\n')) << c.written;
    }
}

TEST(Fretboard, Capo_RaisesEveryStringAndCountsFretsFromIt) {
    const Fretboard guitar(Tuning(), 2);
    // The A-minor shape with the capo at 2 sounds B minor.
    EXPECT_EQ(guitar.notes({-1, 0, 2, 2, 1, 0}), (QList<qint16>{47, 54, 59, 62, 66}));
    EXPECT_EQ(guitar.highestFret(), Tuning().fretCount() - 2);

    // The banjo's short string has no frets below its fifth; a capo at 5 or more makes its
    // first fret above the capo real (a player spikes the short string with the capo).
    const Tuning banjo = *Tuning::preset(u"banjo");
    EXPECT_FALSE(Fretboard(banjo).playable(0, 5));
    EXPECT_TRUE(Fretboard(banjo).playable(0, 6));
    EXPECT_TRUE(Fretboard(banjo).playable(0, 0));
    EXPECT_TRUE(Fretboard(banjo, 5).playable(0, 1));
    EXPECT_EQ(Fretboard(banjo, 2).note(0, 0), 69);
}

TEST(Fretboard, Frets_ReadOneMarkAString) {
    const Fretboard ukulele(*Tuning::preset(u"ukulele"));
    EXPECT_EQ(ukulele.parseFrets(u"0-0-0-3"), (QList<qint16>{0, 0, 0, 3}));
    EXPECT_EQ(Fretboard().parseFrets(u"x-3-2-0-1-0"), (QList<qint16>{-1, 3, 2, 0, 1, 0}));
    const struct {
        const Fretboard board;
        const char* frets;
        const char* named;
    } bad[] = {
        {ukulele, "x-3-2-0-1-0", "6 marks"},
        {Fretboard(), "0-0-0-3", "4 marks"},
        {Fretboard(), "x-3-2-y-1-0", "'y'"},
        {Fretboard(), "x-x-x-x-x-x", "no string sounds"},
        {Fretboard(Tuning(), 12), "x-13-2-0-1-0", "fret 13"},
        {Fretboard(*Tuning::preset(u"banjo")), "3-0-0-0-0", "starts at fret 5"},
    };
    for (const auto& c : bad) {
        QString error;
        EXPECT_FALSE(c.board.parseFrets(QString::fromUtf8(c.frets), &error)) << c.frets;
        EXPECT_TRUE(error.contains(QLatin1String(c.named))) << c.frets << ": " << text(error);
    }
}

} // namespace
