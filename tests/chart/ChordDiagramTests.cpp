#include "catalogue/ChordCatalogue.h"
#include "chart/ChordBox.h"
#include "chart/ChordDiagram.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

// A diagram from players' notation: frets "x-3-2-0-1-0" and fingers "0-3-2-0-1-0" ("T" thumb,
// none given: no fingers).
ChordDiagram diagram(const char* frets, const char* fingers = "", int capo = 0) {
    ChordDiagram d;
    d.capo = capo;
    const QStringList f = QString::fromLatin1(frets).split(u'-');
    const QStringList g = QString::fromLatin1(fingers).split(u'-');
    for (qsizetype i = 0; i < f.size(); ++i) {
        ChordDiagram::String s;
        s.fret = f[i] == QLatin1String("x") ? ChordDiagram::muted : f[i].toInt();
        const QString finger = g.value(i);
        s.finger = finger == QLatin1String("T") ? ChordDiagram::thumb : finger.toInt();
        d.strings << s;
    }
    return d;
}

using Barre = ChordDiagram::Barre;

} // namespace

TEST(ChordDiagram, BarresAreOneFingerFlatAcrossExactlyTheStringsItHolds) {
    const struct {
        const char* frets;
        const char* fingers;
        QList<Barre> barres;
    } cases[] = {
        {"1-3-3-2-1-1", "1-3-4-2-1-1", {{1, 1, 0, 5}}},               // F at the nut
        {"x-3-5-5-5-3", "0-1-3-3-3-1", {{3, 1, 1, 5}, {5, 3, 2, 4}}}, // two barres
        {"x-0-2-2-2-0", "0-0-1-1-1-0", {{2, 1, 2, 4}}},               // A: ends before the open e
        {"x-3-x-3-4-x", "0-1-0-1-2-0", {{3, 1, 1, 3}}},               // a muted string under it
        {"3-0-0-0-3-3", "1-0-0-0-1-1", {{3, 1, 4, 5}}},               // open strings break it
        {"x-3-2-0-1-0", "0-3-2-0-1-0", {}},
        {"5-x-7-8-9-x", "1-0-2-3-4-0", {}},
        {"2-2-x-x", "T-T-0-0", {}}, // the thumb lies over no string flat
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frets);
        EXPECT_EQ(diagram(c.frets, c.fingers).barres(), c.barres);
    }
}

TEST(ChordDiagram, ProblemsNameWhatCannotBeDrawn) {
    const struct {
        ChordDiagram d;
        const char* problem; // empty: drawable
    } cases[] = {
        {diagram("0-0-0-3", "0-0-0-3"), ""},
        {diagram("x-x-0-2-2-1-0-3", "0-0-0-2-3-1-0-4"), ""},
        {diagram("0-24-x", "0-4-0", 12), ""},
        {diagram("0-3", "0-3"), "2 strings (3 to 8)"},
        {diagram("0-0-0-0-0-0-0-0-0", "0-0-0-0-0-0-0-0-0"), "9 strings (3 to 8)"},
        {diagram("x-25-2", "0-1-2"), "fret 25 on string 2 (0 to 24)"},
        {diagram("x-3-2", "0-6-2"), "finger 6 on string 2"},
        {diagram("x-3-2", "0-3-2", 13), "capo at fret 13 (0 to 12)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        EXPECT_EQ(c.d.problem().value_or(QString()), QLatin1String(c.problem));
    }
}

TEST(ChordDiagram, BaseFretAndRowsFollowTheShape) {
    const struct {
        const char* frets;
        int rows; // ChordBox::Options::fretRows
        int baseFret;
        int drawnRows;
    } cases[] = {
        {"x-3-2-0-1-0", 5, 1, 5}, {"1-3-3-2-1-1", 5, 1, 5}, {"7-x-7-7-6-x", 5, 6, 5},
        {"x-2-3-2-3-x", 5, 1, 5}, {"5-x-7-8-9-x", 5, 5, 5}, {"3-x-5-6-8-x", 5, 3, 6},
        {"x-x-0-0-0-0", 5, 1, 5}, {"0-0-0-5", 4, 5, 4},     {"0-0-0-5", 3, 5, 4},
        {"1-x-x-6", 5, 1, 6},     {"x-3-5-5-5-3", 5, 3, 5}, {"3-2-0-0-0-3", 5, 1, 5},
        {"x-0-2-2-5-0", 5, 1, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frets);
        ChordBox::Options options;
        options.fretRows = c.rows;
        const ChordDiagram d = diagram(c.frets);
        EXPECT_EQ(ChordBox::baseFret(d, options), c.baseFret);
        EXPECT_EQ(ChordBox::fretRows(d, options), c.drawnRows);
    }
}

TEST(ChordDiagram, AFirstFretAskedFor_StartsTheBoxThereUnlessAFretLiesLower) {
    const struct {
        const char* frets;
        int firstFret;
        int baseFret;
        int drawnRows;
    } cases[] = {
        {"x-x-x-x-x-x", 7, 7, 5},  {"x-3-2-0-1-0", 5, 1, 5}, {"x-7-9-x-x-x", 5, 5, 5},
        {"x-7-12-x-x-x", 5, 5, 8}, {"x-3-2-0-1-0", 1, 1, 5}, {"0-0-0-0-0-0", 20, 20, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.frets);
        ChordBox::Options options;
        options.firstFret = c.firstFret;
        const ChordDiagram d = diagram(c.frets);
        EXPECT_EQ(ChordBox::baseFret(d, options), c.baseFret);
        EXPECT_EQ(ChordBox::fretRows(d, options), c.drawnRows);
    }
}

TEST(ChordDiagram, FromCatalogue_PlacesTheEntryAsTheWindowDoes) {
    const ChordDiagram cmaj = ChordDiagram::fromCatalogue(ChordCatalogue::entry(6), 0);
    EXPECT_EQ(cmaj.name, QStringLiteral("Cmaj"));
    EXPECT_EQ(cmaj.fretText(), QStringLiteral("8-10-10-9-8-8"));
    EXPECT_EQ(cmaj.capo, 0);
    QStringList fingers, intervals, notes;
    for (const ChordDiagram::String& s : cmaj.strings) {
        fingers << ChordBox::label(s, ChordBox::Labels::Fingers);
        intervals << ChordBox::label(s, ChordBox::Labels::Intervals);
        notes << ChordBox::label(s, ChordBox::Labels::Notes);
        EXPECT_TRUE(ChordBox::label(s, ChordBox::Labels::None).isEmpty());
    }
    EXPECT_EQ(fingers.join(u'-'), QStringLiteral("1-3-4-2-1-1"));
    EXPECT_EQ(intervals.join(u'-'), QStringLiteral("R-5-R-3-5-R"));
    EXPECT_EQ(notes.join(u'-'), QStringLiteral("C-G-C-E-G-C"));
    EXPECT_EQ(cmaj.barres(), (QList<Barre>{{8, 1, 0, 5}}));

    // A slash chord with muted strings, and the thumb over the bass of entry 8 ("3-2-1-1-1-4"
    // fingers) keeps its mark; muted strings carry nothing.
    const ChordDiagram slash = ChordDiagram::fromCatalogue(ChordCatalogue::entry(19), 0);
    EXPECT_EQ(slash.name, QStringLiteral("Ab/C"));
    EXPECT_EQ(slash.fretText(), QStringLiteral("8-x-6-8-9-x"));
    EXPECT_EQ(slash.strings[1].finger, ChordDiagram::noFinger);
    EXPECT_TRUE(slash.strings[1].note.isEmpty());
    EXPECT_EQ(slash.strings[2].note, QStringLiteral("Ab"));
    for (int entry = 1; entry <= ChordCatalogue::entryCount; ++entry) {
        const QString fingering = QString::fromLatin1(ChordCatalogue::entry(entry).fingering);
        if (!fingering.contains(u'T'))
            continue;
        const ChordDiagram thumb = ChordDiagram::fromCatalogue(ChordCatalogue::entry(entry), 4);
        const qsizetype string = fingering.split(u'-').indexOf(QStringLiteral("T"));
        EXPECT_EQ(thumb.strings[string].finger, ChordDiagram::thumb) << entry;
        EXPECT_EQ(ChordBox::label(thumb.strings[string], ChordBox::Labels::Fingers),
                  QStringLiteral("T"));
        EXPECT_FALSE(thumb.problem()) << entry;
    }
}
