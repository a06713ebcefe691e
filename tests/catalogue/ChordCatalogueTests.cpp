#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordTypeTable.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <map>
#include <set>
#include <vector>

// Every catalogue rule, checked over all 611 entries. The expected chord types are written out
// here on their own so that a slip in the data table cannot agree with itself; the tones of
// each type come from the chord-type table that naming and finding use too.

namespace {

QStringList marks(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char('-'));
}

bool sounds(const QString& mark) {
    return mark != QLatin1String("x");
}

int soundingCount(const ChordEntry& e) {
    int count = 0;
    for (const QString& m : marks(e.fretPattern))
        count += sounds(m) ? 1 : 0;
    return count;
}

int firstSounding(const QStringList& frets) {
    for (int i = 0; i < frets.size(); ++i)
        if (sounds(frets[i]))
            return i;
    return -1;
}

bool isSlashType(const char* chordType) {
    return QString::fromLatin1(chordType).contains(QLatin1Char('/'));
}

constexpr int openStrings[6] = {40, 45, 50, 55, 59, 64};

struct TellingEntry {
    int n;
    const char* fretPattern;
    const char* fingering;
    const char* spelling;
    const char* chordType;
};

const TellingEntry tellingEntries[] = {
    {1, "x-1-x-3-x-x", "x-1-x-3-x-x", "x-R-x-R-x-x", " octave"},
    {2, "1-3-x-x-x-x", "1-3-x-x-x-x", "R-5-x-x-x-x", "5"},
    {3, "x-1-3-3-x-x", "x-1-3-4-x-x", "x-R-5-R-x-x", "5"},
    {5, "x-2-1-4-x-x", "x-2-1-4-x-x", "x-R-3-R-x-x", "(no5th)"},
    {6, "1-3-3-2-1-1", "1-3-4-2-1-1", "R-5-R-3-5-R", "maj"},
    {8, "4-3-1-1-1-4", "3-2-1-1-1-4", "R-3-5-R-3-R", "maj"},
    {12, "x-1-3-3-3-1", "x-1-2-3-4-1", "x-R-5-R-3-5", "maj"},
    {19, "3-x-1-3-4-x", "2-x-1-3-4-x", "3-x-R-5-R-x", "/3rd"},
    {27, "1-1-3-3-3-1", "1-1-2-3-4-1", "5-R-5-R-3-5", "/5th"},
    {34, "x-3-1-5-x-x", "x-2-1-4-x-x", "x-R-b3-R-x-x", "m(no5th)"},
    {35, "1-3-3-1-1-1", "1-3-4-1-1-1", "R-5-R-b3-5-R", "m"},
    {36, "1-3-3-1-x-x", "1-3-4-1-x-x", "R-5-R-b3-x-x", "m"},
    {68, "1-x-3-x-1-3", "T-x-3-x-1-4", "R-x-R-x-5-2", "sus2"},
    {91, "1-3-1-2-1-1", "1-3-1-2-1-1", "R-5-b7-3-5-R", "7"},
    {93, "1-3-1-2-x-x", "1-3-1-2-x-x", "R-5-b7-3-x-x", "7"},
    {94, "1-3-1-2-x-x", "1-4-2-3-x-x", "R-5-b7-3-x-x", "7"},
    {97, "1-x-1-2-1-x", "1-x-2-4-3-x", "R-x-b7-3-5-x", "7"},
    {98, "1-x-1-2-1-x", "1-x-2-4-3-x", "R-x-b7-3-5-x", "7"},
    {126, "1-3-2-2-1-1", "1-4-2-3-1-1", "R-5-7-3-5-R", "M7"},
    {133, "x-1-3-2-3-x", "x-1-3-2-4-x", "x-b3-b7-9-5-x", "m9/b3rdNR"},
    {164, "1-3-1-1-1-1", "1-3-1-1-1-1", "R-5-b7-b3-5-R", "m7"},
    {222, "1-2-1-1-x-x", "1-2-1-1-x-x", "R-b5-b7-b3-x-x", "m7b5"},
    {249, "x-x-6-4-4-1", "x-x-4-2-3-1", "x-x-R-b3-5-6", "m6"},
    {261, "x-x-1-3-2-4", "x-x-1-3-2-4", "x-x-6-3-5-9", "6\\9/6thNR"},
    {304, "x-2-3-3-4-1", "x-1-2-3-4-1", "x-R-+11-7-3-+11", "M7(+11)"},
    {353, "3-2-1-x-x-x", "3-2-1-x-x-x", "R-3-#5-x-x-x", "aug"},
    {361, "2-3-1-2-x-x", "2-4-1-3-x-x", "R-b5-6-b3-x-x", "dim7"},
    {387, "1-3-2-1-1-1", "1-3-2-1-1-1", "R-5-7-b3-5-R", "mM7"},
    {507, "x-6-4-3-1-1", "x-4-3-2-1-1", "x-R-b3-5-6-9", "m6\\9"},
    {523, "x-3-1-1-3-3", "x-2-1-1-3-4", "x-5-b7-b3-6-9", "m6\\9(addb7)/5thNR"},
    {602, "2-2-1-3-2-1", "2-2-1-4-3-1", "5-R-3-7-9-#11", "maj9#11/5th"},
    {603, "2-2-1-3-2-1", "T-T-1-4-3-2", "5-R-3-7-9-+11", "M9(+11)/5th"},
    {611, "2-2-1-2-1-1", "2-2-1-3-1-1", "5-R-3-b7-b9-#11", "7b9#11/5th"},
};

struct TypeRun {
    int first;
    int last;
    const char* chordType;
};

// The chord type of every entry, as runs of consecutive entries.
const TypeRun typeRuns[] = {
    {1, 1, " octave"},
    {2, 4, "5"},
    {5, 5, "(no5th)"},
    {6, 18, "maj"},
    {19, 26, "/3rd"},
    {27, 33, "/5th"},
    {34, 34, "m(no5th)"},
    {35, 44, "m"},
    {45, 47, "m/b3rd"},
    {48, 48, "6(no5th)"},
    {49, 49, "m/b3rd"},
    {50, 50, "6(no5th)"},
    {51, 51, "m/b3rd"},
    {52, 52, "6(no5th)"},
    {53, 55, "m/b3rd"},
    {56, 60, "m/5th"},
    {61, 66, "sus4"},
    {67, 74, "sus2"},
    {75, 75, "7sus4(no5th)"},
    {76, 76, "sus4/5th"},
    {77, 77, "7sus4(no5th)"},
    {78, 79, "sus4/5th"},
    {80, 81, "dim"},
    {82, 82, "dim7/b5th(nob3rd)"},
    {83, 83, "dim"},
    {84, 84, "dim/b3rd"},
    {85, 85, "m6(no5th)"},
    {86, 86, "dim7(nob5th)"},
    {87, 87, "dim/b3rd"},
    {88, 89, "dim/b5th"},
    {90, 90, "dim/b3rd"},
    {91, 105, "7"},
    {106, 109, "7/3rd"},
    {110, 115, "7/5th"},
    {116, 119, "7/b7th"},
    {120, 124, "7(no5th)"},
    {125, 125, "7/3rd"},
    {126, 132, "M7"},
    {133, 133, "m9/b3rdNR"},
    {134, 134, "M7"},
    {135, 135, "m9/b3rdNR"},
    {136, 136, "M7"},
    {137, 137, "m9/b3rdNR"},
    {138, 138, "M7"},
    {139, 139, "m9/b3rdNR"},
    {140, 140, "M7"},
    {141, 141, "m9/b3rdNR"},
    {142, 142, "M7"},
    {143, 143, "M7/3rd"},
    {144, 144, "m9/5thNR"},
    {145, 145, "minb6"},
    {146, 146, "M7/3rd"},
    {147, 147, "m9/5thNR"},
    {148, 149, "M7/3rd"},
    {150, 150, "m(b6)"},
    {151, 154, "M7/5th"},
    {155, 155, "M13"},
    {156, 156, "m9/b7thNR"},
    {157, 157, "M7/5th"},
    {158, 158, "m9/b7thNR"},
    {159, 161, "M7/7th"},
    {162, 162, "M7(no5th)"},
    {163, 163, "6/6th"},
    {164, 173, "m7"},
    {174, 174, "M9/3rdNR"},
    {175, 176, "m7"},
    {177, 177, "6/6th"},
    {178, 178, "m7"},
    {179, 179, "M9/3rdNR"},
    {180, 180, "m7"},
    {181, 181, "6"},
    {182, 182, "M9/5thNR"},
    {183, 183, "6"},
    {184, 184, "m7/b3rd"},
    {185, 187, "6"},
    {188, 189, "m7/b3rd"},
    {190, 190, "11/b7thNR"},
    {191, 191, "6"},
    {192, 192, "6/3rd"},
    {193, 193, "m7/5th"},
    {194, 194, "M9/7thNR"},
    {195, 195, "11/9thNR"},
    {196, 196, "6/3rd"},
    {197, 198, "m7/5th"},
    {199, 199, "6/3rd"},
    {200, 200, "m7/5th"},
    {201, 202, "6/3rd"},
    {203, 203, "m7/5th"},
    {204, 204, "M9/7thNR"},
    {205, 205, "11/9thNR"},
    {206, 206, "6/5th"},
    {207, 208, "m7/b7th"},
    {209, 209, "11/11thNR"},
    {210, 211, "6/5th"},
    {212, 212, "m7/b7th"},
    {213, 213, "11/11thNR"},
    {214, 214, "6/5th"},
    {215, 215, "m7/b7th"},
    {216, 220, "m7(no5th)"},
    {221, 221, "sus4sus2"},
    {222, 222, "m7b5"},
    {223, 223, "9/3rdNR"},
    {224, 225, "m7b5"},
    {226, 226, "9/3rdNR"},
    {227, 227, "m7b5"},
    {228, 228, "9/3rdNR"},
    {229, 230, "m7b5"},
    {231, 231, "9/3rdNR"},
    {232, 232, "m6/6th"},
    {233, 234, "m7b5"},
    {235, 235, "9/3rdNR"},
    {236, 236, "m7b5"},
    {237, 237, "m6"},
    {238, 238, "9/5thNR"},
    {239, 241, "m6"},
    {242, 242, "m7b5/b3rd"},
    {243, 243, "m6"},
    {244, 244, "m7b5/b3rd"},
    {245, 246, "m6"},
    {247, 247, "m7b5/b3rd"},
    {248, 249, "m6"},
    {250, 250, "m7b5/b5th"},
    {251, 251, "m6/b3rd"},
    {252, 252, "m7b5/b5th"},
    {253, 253, "m6/b3rd"},
    {254, 254, "9/b7thNR"},
    {255, 255, "m6/5th"},
    {256, 256, "11"},
    {257, 257, "7sus4"},
    {258, 259, "11"},
    {260, 260, "7sus4"},
    {261, 261, "6\\9/6thNR"},
    {262, 262, "11"},
    {263, 264, "7sus4"},
    {265, 265, "sus4sus2"},
    {266, 266, "7sus4/4th"},
    {267, 267, "sus4sus2"},
    {268, 268, "7sus4/4th"},
    {269, 269, "7sus4/5th"},
    {270, 270, "11/5th"},
    {271, 271, "7sus4/5th"},
    {272, 273, "m11"},
    {274, 274, "6\\9/3rdNR"},
    {275, 275, "m11(no5th)"},
    {276, 276, "m11"},
    {277, 277, "6\\9/3rdNR"},
    {278, 278, "6\\9/6th"},
    {279, 279, "9/6/7thNR"},
    {280, 280, "6\\9/3rdNR"},
    {281, 281, "6\\9/5thNR"},
    {282, 282, "7sus4/b7th"},
    {283, 285, "madd9"},
    {286, 286, "M13"},
    {287, 287, "majb5"},
    {288, 291, "(b5)"},
    {292, 293, "(b5)/3rd"},
    {294, 295, "(b5)/b5th"},
    {296, 296, "M7b5"},
    {297, 298, "M7(+11)"},
    {299, 300, "M7b5"},
    {301, 301, "M7(+11)"},
    {302, 303, "M7b5"},
    {304, 304, "M7(+11)"},
    {305, 305, "M7b5"},
    {306, 306, "13/b7thNR"},
    {307, 307, "M7(+11)"},
    {308, 308, "13/b7thNR"},
    {309, 310, "M7b5"},
    {311, 311, "13/b7thNR"},
    {312, 312, "M7b5"},
    {313, 314, "M7b5/3rd"},
    {315, 315, "M7b5/b5th"},
    {316, 316, "13/3rdNR"},
    {317, 317, "sus4b5"},
    {318, 320, "M9(no5th)"},
    {321, 322, "13(no3rd)"},
    {323, 325, "M9(no3rd)"},
    {326, 327, "sus#4sus2"},
    {328, 329, "M11"},
    {330, 331, "6\\9(no5th)"},
    {332, 332, "9/b7th"},
    {333, 333, "6\\9(no5th)"},
    {334, 334, "9(no3rd)"},
    {335, 335, "m/4th"},
    {336, 336, "6\\9/3rd(no5th)"},
    {337, 337, "m11(nob7th)"},
    {338, 341, "m9(no5th)"},
    {342, 342, "7b9(no3rd)"},
    {343, 343, "13/13thNR"},
    {344, 345, "m6\\9(no5th)"},
    {346, 346, "13#9"},
    {347, 347, "m13"},
    {348, 348, "M7(+11)"},
    {349, 352, "7b5b9"},
    {353, 359, "aug"},
    {360, 360, "7b9/5thNR"},
    {361, 362, "dim7"},
    {363, 363, "7b9/3rdNR"},
    {364, 364, "dim7/b3rd"},
    {365, 365, "7b9/b7thNR"},
    {366, 367, "dim7"},
    {368, 368, "7b9/3rdNR"},
    {369, 370, "dim7"},
    {371, 371, "7b9/3rdNR"},
    {372, 372, "dim7/b3rd"},
    {373, 374, "7b9/b7thNR"},
    {375, 375, "dim7"},
    {376, 379, "M7#5"},
    {380, 380, "13(+11)/b7thNR"},
    {381, 383, "M7#5"},
    {384, 385, "M7#5/3rd"},
    {386, 386, "M7#5/#5"},
    {387, 394, "mM7"},
    {395, 396, "mM7/b3rd"},
    {397, 397, "9(+11)/b7NR"},
    {398, 398, "mM7/5th"},
    {399, 399, "9(+11)/9thNR"},
    {400, 400, "mM7/5th"},
    {401, 401, "9(+11)/9thNR"},
    {402, 402, "mM7/7th"},
    {403, 403, "9(+11)/+11thNR"},
    {404, 404, "mM7/7th"},
    {405, 405, "9(+11)/+11thNR"},
    {406, 406, "mM7/7th"},
    {407, 407, "mM7(no5th)"},
    {408, 412, "7#5"},
    {413, 413, "7#5/3rd"},
    {414, 414, "9b5/b7thNR"},
    {415, 416, "7#5/3rd"},
    {417, 419, "7#5/#5th"},
    {420, 420, "7#5/b7th"},
    {421, 422, "9b5(no3rd)"},
    {423, 424, "7#5/b7th"},
    {425, 425, "9b5/3rdNR"},
    {426, 426, "7#5/b7th"},
    {427, 433, "7b9(no5th)"},
    {434, 434, "7b9/b7th"},
    {435, 436, "mM9(no5th)"},
    {437, 438, "13b9/b9thNR"},
    {439, 439, "13b9/3rdNR"},
    {440, 440, "7#9/b7thNR"},
    {441, 441, "13b9/13th"},
    {442, 443, "7#9/3rdNR"},
    {444, 446, "13b9/b7thNR"},
    {447, 447, "7#9/3rdNR"},
    {448, 449, "m7#5"},
    {450, 450, "11/9th(no5th)"},
    {451, 455, "add9"},
    {456, 458, "11(no5th)"},
    {459, 464, "9(no5th)"},
    {465, 465, "9/b7th(no5th)"},
    {466, 469, "13"},
    {470, 470, "13/13th"},
    {471, 472, "M9(+11)"},
    {473, 474, "13/b7th"},
    {475, 475, "7b5/b5th"},
    {476, 476, "7b5"},
    {477, 477, "7b5/b5th"},
    {478, 478, "9#5/b7thNR"},
    {479, 479, "7b5"},
    {480, 480, "7b5/b5th"},
    {481, 481, "7b5"},
    {482, 482, "7b5/b5th"},
    {483, 483, "7b5"},
    {484, 484, "7b5/b5th"},
    {485, 485, "7b5"},
    {486, 486, "7b5/b5th"},
    {487, 487, "7b5"},
    {488, 488, "7b5/3rd"},
    {489, 489, "7b5/b7th"},
    {490, 490, "7b5/3rd"},
    {491, 491, "7b5/b7th"},
    {492, 492, "7b5/3rd"},
    {493, 493, "7b5/b7th"},
    {494, 494, "7b5/3rd"},
    {495, 495, "7b5/b7th"},
    {496, 501, "7#9(no5th)"},
    {502, 503, "13#9/13th"},
    {504, 505, "13#9/b7thNR"},
    {506, 507, "m6\\9"},
    {508, 509, "13/b7thNR"},
    {510, 510, "13/9thNR"},
    {511, 511, "m13"},
    {512, 512, "M11"},
    {513, 513, "13(no3rd)"},
    {514, 514, "m11#5(nob7th)"},
    {515, 519, "m9"},
    {520, 520, "m9/b3rd"},
    {521, 521, "m9/5th"},
    {522, 522, "M7(+11)"},
    {523, 523, "m6\\9(addb7)/5thNR"},
    {524, 524, "m13"},
    {525, 528, "6\\9"},
    {529, 529, "m11/5th"},
    {530, 530, "m11#5"},
    {531, 531, "11/9th"},
    {532, 532, "6\\9/3rd"},
    {533, 533, "m11#5"},
    {534, 534, "6\\9/5th"},
    {535, 535, "m7sus"},
    {536, 537, "m11"},
    {538, 539, "M9/3rd"},
    {540, 540, "M9"},
    {541, 541, "13sus4"},
    {542, 544, "9"},
    {545, 545, "9/3rd"},
    {546, 546, "9/5th"},
    {547, 548, "M13(+11)"},
    {549, 549, "6\\9#11"},
    {550, 551, "13"},
    {552, 553, "13/3rd"},
    {554, 555, "13(no5th)"},
    {556, 556, "13/3rd"},
    {557, 557, "M9(+11)"},
    {558, 558, "m11(no5th)"},
    {559, 559, "m9#5"},
    {560, 561, "mM9"},
    {562, 562, "7#5(add5)"},
    {563, 565, "7#5b9"},
    {566, 567, "7b9"},
    {568, 568, "13b9/13thNR"},
    {569, 569, "7b9/5th"},
    {570, 571, "13b9/3rdNR"},
    {572, 572, "7b9/5th"},
    {573, 573, "7b5b9"},
    {574, 574, "7#11"},
    {575, 575, "7b5#9"},
    {576, 577, "7#5#9"},
    {578, 580, "9b5"},
    {581, 581, "9#5"},
    {582, 582, "9#5/9th"},
    {583, 586, "7#9"},
    {587, 587, "13b5b9/b5thNR"},
    {588, 588, "7#9/5th"},
    {589, 589, "13b5b9/3rdNR"},
    {590, 591, "7b9(+11)"},
    {592, 593, "13#9/3rdNR"},
    {594, 595, "13#9"},
    {596, 597, "13b9(no5th)"},
    {598, 598, "M13"},
    {599, 599, "m11#5"},
    {600, 600, "maj13#11"},
    {601, 601, "13sus4"},
    {602, 602, "maj9#11/5th"},
    {603, 603, "M9(+11)/5th"},
    {604, 604, "maj9#11"},
    {605, 605, "m9sus"},
    {606, 606, "maj9add6"},
    {607, 607, "m11/5th"},
    {608, 608, "6M7#11"},
    {609, 609, "maj7#9#11/5th"},
    {610, 610, "9(+11)/5th"},
    {611, 611, "7b9#11/5th"},
};

QSet<QString> nameSet(const QStringList& names) {
    return QSet<QString>(names.begin(), names.end());
}

class ChordCatalogueTests : public ::testing::Test {
protected:
    static const ChordEntry& entry(int n) { return ChordCatalogue::entry(n); }
    static bool isTelling(int n) {
        for (const TellingEntry& t : tellingEntries)
            if (t.n == n)
                return true;
        return false;
    }
};

TEST_F(ChordCatalogueTests, TellingEntries_MatchAllFourFieldsExactly) {
    for (const TellingEntry& t : tellingEntries) {
        SCOPED_TRACE(t.n);
        const ChordEntry& e = entry(t.n);
        EXPECT_STREQ(e.fretPattern, t.fretPattern);
        EXPECT_STREQ(e.fingering, t.fingering);
        EXPECT_STREQ(e.spelling, t.spelling);
        EXPECT_STREQ(e.chordType, t.chordType);
    }
}

TEST_F(ChordCatalogueTests, ChordTypes_FollowTheListEntryForEntry) {
    int expectedNext = 1;
    for (const TypeRun& run : typeRuns) {
        ASSERT_EQ(run.first, expectedNext) << "runs must be consecutive";
        for (int n = run.first; n <= run.last; ++n)
            EXPECT_STREQ(entry(n).chordType, run.chordType) << "entry " << n;
        expectedNext = run.last + 1;
    }
    EXPECT_EQ(expectedNext, ChordCatalogue::entryCount + 1);
    EXPECT_STREQ(entry(1).chordType, " octave");
    EXPECT_STREQ(entry(507).chordType, "m6\\9");
    EXPECT_STREQ(entry(611).chordType, "7b9#11/5th");
}

TEST_F(ChordCatalogueTests, MarkTexts_HaveSixMarksWithMutedStringsAligned) {
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        SCOPED_TRACE(n);
        const ChordEntry& e = entry(n);
        const QStringList frets = marks(e.fretPattern);
        const QStringList fingers = marks(e.fingering);
        const QStringList spelled = marks(e.spelling);
        ASSERT_EQ(frets.size(), 6);
        ASSERT_EQ(fingers.size(), 6);
        ASSERT_EQ(spelled.size(), 6);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(sounds(frets[i]), sounds(fingers[i])) << "string " << i;
            EXPECT_EQ(sounds(frets[i]), sounds(spelled[i])) << "string " << i;
        }
    }
}

TEST_F(ChordCatalogueTests, SoundingStrings_FollowTheCountDistribution) {
    std::map<int, int> counts;
    for (const ChordEntry& e : ChordCatalogue::entries())
        ++counts[soundingCount(e)];
    const std::map<int, int> expected{{2, 3}, {3, 55}, {4, 374}, {5, 112}, {6, 67}};
    EXPECT_EQ(counts, expected);
}

TEST_F(ChordCatalogueTests, Spelling_AgreesWithTheFretsFromTheFirstSoundingString) {
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        SCOPED_TRACE(n);
        const ChordEntry& e = entry(n);
        const QStringList frets = marks(e.fretPattern);
        const QStringList spelled = marks(e.spelling);
        const int first = firstSounding(frets);
        ASSERT_GE(first, 0);
        const auto firstInterval = ChordTheory::intervalSemitones(spelled[first]);
        ASSERT_TRUE(firstInterval.has_value()) << spelled[first].toStdString();
        const int root = openStrings[first] + frets[first].toInt() - *firstInterval;
        for (int i = first + 1; i < 6; ++i) {
            if (!sounds(frets[i]))
                continue;
            const auto interval = ChordTheory::intervalSemitones(spelled[i]);
            ASSERT_TRUE(interval.has_value()) << spelled[i].toStdString();
            const int above = ((openStrings[i] + frets[i].toInt() - root) % 12 + 12) % 12;
            EXPECT_EQ(above, *interval)
                << "string " << i << " spelled " << spelled[i].toStdString();
        }
    }
}

TEST_F(ChordCatalogueTests, NonSlashTypes_CarryTheRootOnTheFirstSoundingString) {
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const ChordEntry& e = entry(n);
        if (isSlashType(e.chordType))
            continue;
        const QStringList spelled = marks(e.spelling);
        EXPECT_EQ(spelled[firstSounding(marks(e.fretPattern))], QLatin1String("R")) << n;
    }
}

TEST_F(ChordCatalogueTests, RelativeFrets_StartAtOneAndStayWithinReach) {
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        SCOPED_TRACE(n);
        int lowest = 99;
        int highest = 0;
        for (const QString& m : marks(entry(n).fretPattern)) {
            if (!sounds(m))
                continue;
            bool ok = false;
            const int fret = m.toInt(&ok);
            ASSERT_TRUE(ok && fret >= 1 && fret <= 6) << m.toStdString();
            lowest = std::min(lowest, fret);
            highest = std::max(highest, fret);
        }
        EXPECT_EQ(lowest, 1);
        // Only two shapes reach a sixth fret; every other one fits under four fingers.
        if (n == 249 || n == 507)
            EXPECT_EQ(highest, 6);
        else
            EXPECT_LE(highest, 5);
    }
}

TEST_F(ChordCatalogueTests, Marks_ComeOnlyFromTheirAllowedSets) {
    const QSet<QString> fingerMarks{"x", "1", "2", "3", "4", "T"};
    const QSet<QString> intervalMarks{"x", "R",  "2", "b3", "3", "4",  "b5", "5",   "#5",  "b6",
                                      "6", "b7", "7", "b9", "9", "#9", "11", "#11", "+11", "13"};
    const QString typeChars =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 #()+/\\");
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        SCOPED_TRACE(n);
        const ChordEntry& e = entry(n);
        for (const QString& m : marks(e.fingering))
            EXPECT_TRUE(fingerMarks.contains(m)) << m.toStdString();
        for (const QString& m : marks(e.spelling))
            EXPECT_TRUE(intervalMarks.contains(m)) << m.toStdString();
        const QString type = QString::fromLatin1(e.chordType);
        EXPECT_GE(type.size(), 1);
        EXPECT_LE(type.size(), 17);
        for (QChar c : type)
            EXPECT_TRUE(typeChars.contains(c)) << type.toStdString();
    }
}

TEST_F(ChordCatalogueTests, Twins_AreIdenticalInAllFourFields) {
    for (const auto& [a, b] : {std::pair{97, 98}, std::pair{560, 561}}) {
        SCOPED_TRACE(a);
        EXPECT_STREQ(entry(a).fretPattern, entry(b).fretPattern);
        EXPECT_STREQ(entry(a).fingering, entry(b).fingering);
        EXPECT_STREQ(entry(a).spelling, entry(b).spelling);
        EXPECT_STREQ(entry(a).chordType, entry(b).chordType);
    }
}

// Apart from the twins, a voicing appears at most twice within a type, and then only as two
// fingerings of one shape: exactly 23 such pairs, 93/94 among them.
TEST_F(ChordCatalogueTests, RepeatedVoicings_AreTheTwinsAndTwentyThreeFingeringPairs) {
    QHash<QString, QList<int>> byVoicing;
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const ChordEntry& e = entry(n);
        const QString key = QString::fromLatin1(e.fretPattern) + QLatin1Char('|') +
                            QString::fromLatin1(e.spelling) + QLatin1Char('|') +
                            QString::fromLatin1(e.chordType);
        byVoicing[key].append(n);
    }
    std::set<std::pair<int, int>> twins;
    std::set<std::pair<int, int>> fingeringPairs;
    for (auto it = byVoicing.cbegin(); it != byVoicing.cend(); ++it) {
        const QList<int>& ns = it.value();
        ASSERT_LE(ns.size(), 2) << it.key().toStdString();
        if (ns.size() < 2)
            continue;
        const std::pair<int, int> pair{ns[0], ns[1]};
        if (QString::fromLatin1(entry(ns[0]).fingering) ==
            QString::fromLatin1(entry(ns[1]).fingering))
            twins.insert(pair);
        else
            fingeringPairs.insert(pair);
    }
    EXPECT_EQ(twins, (std::set<std::pair<int, int>>{{97, 98}, {560, 561}}));
    EXPECT_EQ(fingeringPairs.size(), 23u);
    EXPECT_TRUE(fingeringPairs.count({93, 94}));
    EXPECT_STREQ(entry(602).fretPattern, entry(603).fretPattern);
}

TEST_F(ChordCatalogueTests, Thumb_OnlyInListedEntriesAndOnTheLowStrings) {
    const std::set<int> thumbEntries{68, 225, 451, 517, 575, 589, 603, 610};
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const QStringList fingers = marks(entry(n).fingering);
        EXPECT_EQ(fingers.contains(QLatin1String("T")), thumbEntries.count(n) == 1) << n;
        for (int i = 2; i < 6; ++i)
            EXPECT_NE(fingers[i], QLatin1String("T")) << n << " string " << i;
    }
}

TEST_F(ChordCatalogueTests, PlusEleven_OnlyInListedEntries) {
    const std::set<int> plusElevenEntries{304, 590, 603, 610};
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n)
        EXPECT_EQ(marks(entry(n).spelling).contains(QLatin1String("+11")),
                  plusElevenEntries.count(n) == 1)
            << n;
}

TEST_F(ChordCatalogueTests, Spelling_FitsTheFormulaOfItsChordType) {
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const ChordEntry& e = entry(n);
        SCOPED_TRACE(testing::Message() << n << " " << e.chordType);
        const QString type = QString::fromLatin1(e.chordType);
        const ChordType* f = ChordTypeTable::find(type);
        ASSERT_NE(f, nullptr) << "no formula";
        const QSet<QString> required = nameSet(f->requiredNames);
        const QSet<QString> allowed = required + nameSet(f->optionalNames);

        QSet<QString> heard;
        const QStringList spelled = marks(e.spelling);
        for (QString m : spelled) {
            if (!sounds(m))
                continue;
            if (m == QLatin1String("+11"))
                m = QStringLiteral("#11");
            EXPECT_TRUE(allowed.contains(m)) << m.toStdString() << " does not belong";
            heard.insert(m);
        }
        for (const QString& m : required)
            EXPECT_TRUE(heard.contains(m)) << m.toStdString() << " is missing";
        EXPECT_EQ(heard.contains(QStringLiteral("R")), !type.contains(QLatin1String("NR")));
        QString bass = spelled[firstSounding(marks(e.fretPattern))];
        if (bass == QLatin1String("+11"))
            bass = QStringLiteral("#11");
        EXPECT_EQ(bass, f->bassName);
    }
}

// A finger stops one fret (a barre is one finger on one fret), and a higher finger never
// stands on a lower fret. Entry 304 keeps its written fingering, which bends this.
TEST_F(ChordCatalogueTests, Fingering_IsPlayable) {
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        if (n == 304)
            continue;
        SCOPED_TRACE(n);
        const QStringList frets = marks(entry(n).fretPattern);
        const QStringList fingers = marks(entry(n).fingering);
        std::map<int, int> fretOfFinger;
        for (int i = 0; i < 6; ++i) {
            if (!sounds(frets[i]) || fingers[i] == QLatin1String("T"))
                continue;
            const int finger = fingers[i].toInt();
            const int fret = frets[i].toInt();
            const auto [it, inserted] = fretOfFinger.emplace(finger, fret);
            EXPECT_TRUE(inserted || it->second == fret) << "finger " << finger << " on two frets";
        }
        int previousFret = 0;
        for (const auto& [finger, fret] : fretOfFinger) {
            EXPECT_GE(fret, previousFret) << "finger " << finger << " below a lower finger";
            previousFret = fret;
        }
    }
    // The exception is real: the written fingering of 304 puts finger 1 on two frets.
    EXPECT_STREQ(entry(304).fingering, "x-1-2-3-4-1");
}

// Every chord type of the catalogue has exactly one formula, and no formula is left over.
TEST_F(ChordCatalogueTests, ChordFormulas_CoverEveryTypeExactlyOnce) {
    std::map<QString, int> seen;
    for (const ChordType& f : ChordTypeTable::types())
        ++seen[f.chordType];
    std::set<QString> used;
    for (const ChordEntry& e : ChordCatalogue::entries())
        used.insert(QString::fromLatin1(e.chordType));
    for (const auto& [type, count] : seen) {
        EXPECT_EQ(count, 1) << type.toStdString();
        EXPECT_TRUE(used.count(type)) << type.toStdString() << " is not in the catalogue";
    }
    EXPECT_EQ(seen.size(), used.size());
}

} // namespace
