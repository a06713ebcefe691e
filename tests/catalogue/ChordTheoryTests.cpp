#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace ChordTheory;

namespace {

struct PlacementCase {
    int entry;
    qint16 pitch;
    qint16 shift;
    const char* fretNumbers;
    std::vector<qint16> notes;
    const char* noteNames;
    const char* name;
};

void PrintTo(const PlacementCase& c, std::ostream* out) {
    *out << "entry " << c.entry << " at Pitch " << c.pitch << " (" << c.name << ")";
}

QString placedName(const ChordEntry& e, qint16 pitch, const PlacedChord& chord) {
    return chordDisplayName(QString::fromLatin1(e.chordType), pitch, chord.rootShift);
}

PlacedChord place(const ChordEntry& e, qint16 pitch) {
    return placeChord(QString::fromLatin1(e.fretPattern), QString::fromLatin1(e.spelling), pitch);
}

} // namespace

class ChordTheoryTests : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(ChordTheoryTests, PlaceChord_MovesShapeAndNamesIt) {
    const PlacementCase& c = GetParam();
    const ChordEntry& e = ChordCatalogue::entry(c.entry);
    const PlacedChord chord = place(e, c.pitch);
    if (c.shift >= 0) {
        EXPECT_EQ(chord.shift, c.shift);
    }
    EXPECT_EQ(chord.fretNumbers, QLatin1String(c.fretNumbers));
    if (!c.notes.empty()) {
        EXPECT_EQ(std::vector<qint16>(chord.notes.begin(), chord.notes.end()), c.notes);
    }
    EXPECT_EQ(chord.noteNames, QLatin1String(c.noteNames));
    EXPECT_EQ(placedName(e, c.pitch, chord), QString::fromUtf8(c.name));
}

INSTANTIATE_TEST_SUITE_P(
    WorkedExamples, ChordTheoryTests,
    ::testing::Values(
        PlacementCase{6, 0, 7, "8-10-10-9-8-8", {48, 55, 60, 64, 67, 72}, "C-G-C-E-G-C", "Cmaj"},
        PlacementCase{6, 5, 0, "1-3-3-2-1-1", {41, 48, 53, 57, 60, 65}, "F-C-F-A-C-F", "Fmaj"},
        // Never an open chord: E lands at the twelfth fret, and G sharp is called Ab.
        PlacementCase{
            6, 4, 11, "12-14-14-13-12-12", {52, 59, 64, 68, 71, 76}, "E-B-E-Ab-B-E", "Emaj"},
        PlacementCase{12, 0, -1, "x-3-5-5-5-3", {48, 55, 60, 64, 67}, "C-G-C-E-G", "Cmaj"},
        PlacementCase{1, 0, -1, "x-3-x-5-x-x", {48, 60}, "C-C", "C octave"},
        PlacementCase{3, 0, -1, "x-3-5-5-x-x", {}, "C-G-C", "C5"},
        PlacementCase{19, 0, -1, "8-x-6-8-9-x", {48, 56, 63, 68}, "C-Ab-Eb-Ab", "Ab/C"},
        PlacementCase{133, 0, -1, "x-3-5-4-5-x", {}, "C-G-B-E", "Am9/C"},
        PlacementCase{602, 7, -1, "3-3-2-4-3-2", {}, "G-C-E-B-D-F#", "Cmaj9#11/G"},
        PlacementCase{603, 7, -1, "3-3-2-4-3-2", {}, "G-C-E-B-D-F#", "CM9(+11)/G"},
        PlacementCase{507, 2, -1, "x-17-15-14-12-12", {}, "D-F-A-B-E", "Dm6\\9"},
        PlacementCase{36, 0, -1, "8-10-10-8-x-x", {}, "C-G-C-Eb", "Cm"},
        PlacementCase{36, 4, -1, "12-14-14-12-x-x", {}, "E-B-E-G", "Em"}));

TEST(PitchClassTests, Mod12_AnySignIntoOneOctave) {
    const struct {
        int value;
        qint16 pitchClass;
    } cases[] = {{-25, 11}, {-13, 11}, {-12, 0}, {-1, 11}, {0, 0},
                 {11, 11},  {12, 0},   {13, 1},  {127, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(PitchClass::mod12(c.value), c.pitchClass);
    }
    EXPECT_EQ(PitchNames[PitchClass::ofNote(60)], "C"); // middle C
    EXPECT_EQ(PitchNames[PitchClass::ofNote(40)], "E"); // the low E string
}

TEST(ChordTheoryNamingTests, ChordDisplayName_SlashChordNamesRootFromBass) {
    // Everything after the first "/" is dropped; the bass is the Pitch.
    EXPECT_EQ(chordDisplayName(QStringLiteral("/3rd"), 0, 8), QStringLiteral("Ab/C"));
    EXPECT_EQ(chordDisplayName(QStringLiteral("9/6/7thNR"), 11, 1), QStringLiteral("C9/B"));
    EXPECT_EQ(chordDisplayName(QStringLiteral("m7/b7th"), 10, 2), QStringLiteral("Cm7/Bb"));
    // Without a slash the root shift plays no part.
    EXPECT_EQ(chordDisplayName(QStringLiteral("m7"), 9, 5), QStringLiteral("Am7"));
}

TEST(ChordTheoryNamingTests, IntervalTable_RootShiftsAndExactNames) {
    const struct {
        const char* name;
        int rootShift;
    } table[] = {{"R", 0},  {"b2", 11}, {"b9", 11}, {"2", 10}, {"9", 10},  {"b3", 9},  {"#9", 9},
                 {"3", 8},  {"4", 7},   {"11", 7},  {"b5", 6}, {"#11", 6}, {"+11", 6}, {"5", 5},
                 {"#5", 4}, {"b6", 4},  {"b13", 4}, {"6", 3},  {"13", 3},  {"b7", 2},  {"7", 1}};
    for (const auto& row : table)
        EXPECT_EQ(intervalRootShift(QString::fromLatin1(row.name)), row.rootShift) << row.name;
    EXPECT_FALSE(intervalRootShift(u"B3"));
    EXPECT_FALSE(intervalRootShift(u"x"));
    EXPECT_FALSE(intervalRootShift(u""));
}

TEST(ChordTheoryNamingTests, PlaceChord_UnknownIntervalKeepsPreviousRootShift) {
    const PlacedChord chord =
        placeChord(QStringLiteral("1-3-x-x-x-x"), QStringLiteral("?-5-x-x-x-x"), 0,
                   standardOpenStringNotes, 4);
    EXPECT_EQ(chord.rootShift, 4);
}

TEST(ChordTheoryNamingTests, ParsePitch_NamesInAnyCaseWithEitherAccidentalSignAndNumbers) {
    const struct {
        const char16_t* text;
        std::optional<qint16> pitch;
    } cases[] = {
        {u"C", 0},        {u"c", 0},   {u"Bb", 10},      {u"bb", 10},      {u"BB", 10},
        {u"B\u266D", 10}, {u"A#", 10}, {u"a\u266F", 10}, {u"Db", 1},       {u"d#", 3},
        {u"G#", 8},       {u"b", 11},  {u"Cb", 11},      {u"E#", 5},       {u"Fb", 4},
        {u"B#", 0},       {u"11", 11}, {u"0", 0},        {u"12", {}},      {u"-1", {}},
        {u"H", {}},       {u"h", {}},  {u"", {}},        {u" 3", {}},      {u"C##", {}},
        {u"Cx", {}},      {u"#", {}},  {u"b#", 0},       {u"C\u266E", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(parsePitch(c.text), c.pitch);
    }
}

// Every entry at every Pitch stays on the neck and sounds what its spelling says.
TEST(ChordTheoryCatalogueTests, EveryEntryAtEveryPitch_FretsNotesAndIntervalsAgree) {
    int fret17 = 0;
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const ChordEntry& e = ChordCatalogue::entry(n);
        const QStringList pattern = QString::fromLatin1(e.fretPattern).split(u'-');
        const QStringList spelling = QString::fromLatin1(e.spelling).split(u'-');
        for (qint16 pitch = 0; pitch < 12; ++pitch) {
            const PlacedChord chord = place(e, pitch);
            const QStringList frets = chord.fretNumbers.split(u'-');
            ASSERT_EQ(frets.size(), 6) << "entry " << n;
            ASSERT_GE(chord.notes.size(), 2) << "entry " << n;
            EXPECT_EQ(chord.notes.first() % 12, pitch) << "entry " << n;
            const int root = (pitch + chord.rootShift) % 12;
            qsizetype note = 0;
            for (int s = 0; s < 6; ++s) {
                if (pattern[s] == QLatin1String("x")) {
                    EXPECT_EQ(frets[s], QLatin1String("x"));
                    continue;
                }
                const int fret = frets[s].toInt();
                EXPECT_TRUE(fret >= 1 && fret <= 17) << "entry " << n << " pitch " << pitch;
                fret17 += fret == 17;
                const qint16 midi = chord.notes[note++];
                EXPECT_TRUE(midi >= 41 && midi <= 80) << "entry " << n;
                const auto semitones = intervalSemitones(spelling[s]);
                ASSERT_TRUE(semitones) << "entry " << n;
                EXPECT_EQ((midi - root - *semitones + 120) % 12, 0)
                    << "entry " << n << " pitch " << pitch << " string " << s;
            }
            EXPECT_EQ(note, chord.notes.size());
            EXPECT_EQ(chord.noteNames.split(u'-').size(), chord.notes.size());
        }
    }
    // Only entry 249 at G and entry 507 at D reach one fret beyond the chart.
    EXPECT_EQ(fret17, 2);
}

TEST(ChordTheoryCatalogueTests, EntryOutsideCatalogue_FailsWithSubscriptOutOfRange) {
    for (int n : {0, -1, 612}) {
        try {
            ChordCatalogue::entry(n);
            ADD_FAILURE() << n;
        } catch (const Failure& f) {
            EXPECT_EQ(f.number(), 9);
            EXPECT_EQ(f.description(), QStringLiteral("Subscript out of range"));
        }
    }
}
