#include "finder/SheetList.h"

#include <QStringList>
#include <gtest/gtest.h>

// The chords gathered for a lesson sheet: their order, and the text they are kept as.

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

SheetList::Entry entry(const char* name, QList<qint16> frets, QList<qint8> fingers,
                       const char* instrument = "guitar", const char* tuning = "", int capo = 0) {
    return {QString::fromUtf8(name),   QString::fromUtf8(instrument),
            QString::fromUtf8(tuning), capo,
            std::move(frets),          std::move(fingers)};
}

const SheetList::Entry am7 = entry("Am7", {-1, 0, 2, 0, 1, 0}, {0, 0, 2, 0, 1, 0});
const SheetList::Entry c = entry("C", {-1, 3, 2, 0, 1, 0}, {0, 3, 2, 0, 1, 0});
// The G shape with a capo at 2 sounds A.
const SheetList::Entry a = entry("A", {0, 2, 3, 2}, {0, 1, 3, 2}, "ukulele", "", 2);

QStringList names(const SheetList& sheet) {
    QStringList out;
    for (const SheetList::Entry& e : sheet.entries())
        out << e.name;
    return out;
}

TEST(SheetList, AddMoveRemove_KeepTheOrderAndRefuseWhatIsNotThere) {
    SheetList sheet;
    sheet.setTitle(QStringLiteral("Lesson 3"));
    for (const SheetList::Entry& e : {am7, c, a})
        ASSERT_TRUE(sheet.add(e));
    EXPECT_TRUE(sheet.move(0, 2));
    EXPECT_EQ(names(sheet), (QStringList{"C", "A", "Am7"}));
    EXPECT_TRUE(sheet.move(2, 1));
    EXPECT_EQ(names(sheet), (QStringList{"C", "Am7", "A"}));
    for (const auto& [from, to] : {std::pair{-1, 0}, {0, 3}, {3, 0}, {0, -1}})
        EXPECT_FALSE(sheet.move(from, to)) << from << "->" << to;
    EXPECT_TRUE(sheet.remove(0));
    EXPECT_FALSE(sheet.remove(2));
    EXPECT_FALSE(sheet.remove(-1));
    EXPECT_EQ(names(sheet), (QStringList{"Am7", "A"}));
    EXPECT_EQ(sheet.title(), "Lesson 3");

    // A chord that makes no chord on its fretboard does not go on.
    EXPECT_FALSE(sheet.add(entry("X", {-1, 3, 2}, {0, 3, 2})));
    EXPECT_FALSE(sheet.add(entry("X", {-1, 3, 2, 0, 1, 0}, {0, 3, 2, 0, 1, 0}, "lute")));
    EXPECT_EQ(sheet.count(), 2);
}

TEST(SheetList, AFullSheet_TakesNoMore) {
    SheetList sheet;
    for (int i = 0; i < SheetList::maxEntries; ++i)
        ASSERT_TRUE(sheet.add(c));
    EXPECT_TRUE(sheet.isFull());
    EXPECT_FALSE(sheet.add(am7));
    EXPECT_EQ(sheet.count(), SheetList::maxEntries);
    // Nor does a longer text read back.
    EXPECT_EQ(SheetList::fromText({}, sheet.text() + u';' + am7.text()).count(),
              SheetList::maxEntries);
}

TEST(SheetList, Text_RoundTripsEveryField) {
    SheetList sheet;
    sheet.setTitle(QStringLiteral("Autumn; song | 100%"));
    const SheetList::Entry odd = entry("C|;%20", {-1, 3, 2, 0, 1, 0}, {0, 3, 2, 0, 1, 0});
    const SheetList::Entry tuned =
        entry("Dsus4", {0, 0, 0, 0, 3, 0}, {0, 0, 0, 0, 3, 0}, "guitar", "D2 A2 D3 G3 A3 D4");
    const SheetList::Entry thumb = entry("F", {1, 3, 3, 2, 1, 1}, {5, 3, 4, 2, 1, 1});
    // A shape one hand cannot play has no fingers.
    const SheetList::Entry stretch = entry("", {1, -1, -1, 9, -1, 1}, {0, 0, 0, 0, 0, 0});
    for (const SheetList::Entry& e : {am7, a, odd, tuned, thumb, stretch})
        ASSERT_TRUE(sheet.add(e)) << text(e.text());
    EXPECT_EQ(text(am7.text()), "Am7|guitar||0|x-0-2-0-1-0|x-0-2-0-1-0");
    EXPECT_EQ(text(odd.text()), "C%7C%3B%2520|guitar||0|x-3-2-0-1-0|x-3-2-0-1-0");

    const SheetList back = SheetList::fromText(sheet.title(), sheet.text());
    EXPECT_EQ(back.title(), sheet.title());
    ASSERT_EQ(back.count(), sheet.count());
    for (int i = 0; i < sheet.count(); ++i)
        EXPECT_EQ(back.entries()[i], sheet.entries()[i]) << text(sheet.entries()[i].text());
}

TEST(SheetList, DamagedEntries_AreLeftOutAndTheOthersKept) {
    const char* damaged[] = {
        "Am7|guitar||0|x-0-2-0-1-0",                    // a field missing
        "Am7|guitar||0|x-0-2-0-1-0|x-0-2-0-1-0|more",   // one too many
        "Am7|lute||0|x-0-2-0-1-0|x-0-2-0-1-0",          // no such instrument
        "Am7|ukulele|dadgad|0|x-0-2-0-1-0|x-0-2-0-1-0", // a tuning of another instrument
        "Am7|guitar||13|x-0-2-0-1-0|x-0-2-0-1-0",       // capo past 12
        "Am7|guitar||-1|x-0-2-0-1-0|x-0-2-0-1-0",       // no capo number
        "Am7|guitar||0|x-0-2-0-1-25|x-0-2-0-1-1",       // a fret off the neck
        "Am7|guitar||0|x-0-2-0-1|x-0-2-0-1",            // five strings on a guitar
        "Am7|guitar||0|x-x-x-x-x-x|x-x-x-x-x-x",        // nothing sounds
        "Am7|guitar||0|x-0-2-0-1-0|x-0-2-0-1",          // fingers for five strings
        "Am7|guitar||0|x-0-2-0-1-0|x-1-2-0-1-0",        // a finger on an open string
        "Am7|guitar||0|x-0-2-0-1-0|0-0-2-0-1-0",        // a muted string not marked x
        "Am7|guitar||0|x-0-2-0-1-0|x-0-7-0-1-0",        // no such finger
    };
    for (const char* line : damaged) {
        SCOPED_TRACE(line);
        const QString kept = am7.text() + u';' + QString::fromUtf8(line) + u';' + c.text();
        EXPECT_EQ(names(SheetList::fromText({}, kept)), (QStringList{"Am7", "C"}));
    }
    EXPECT_TRUE(SheetList::fromText({}, u"").isEmpty());
    EXPECT_TRUE(SheetList::fromText({}, u";;garbage;").isEmpty());
}

TEST(SheetList, ADiagram_IsTheChordsBoxOnItsFretboard) {
    const ChordDiagram box = am7.diagram();
    EXPECT_EQ(box.name, "Am7");
    EXPECT_EQ(box.fretText(), "x-0-2-0-1-0");
    QStringList intervals, fingers;
    for (const ChordDiagram::String& s : box.strings) {
        intervals << (s.fret < 0 ? QStringLiteral("x") : s.interval);
        fingers << QString::number(s.finger);
    }
    EXPECT_EQ(intervals.join(u'-'), "x-R-5-b7-b3-5");
    EXPECT_EQ(fingers.join(u'-'), "0-0-2-0-1-0");
    const ChordDiagram uke = a.diagram();
    EXPECT_EQ(uke.strings.size(), 4);
    EXPECT_EQ(uke.capo, 2);
    EXPECT_EQ(uke.strings[1].note, "E"); // C4 stopped at fret 2 above the capo
    EXPECT_EQ(uke.strings[1].interval, "5");
    // A name that reads as no chord: the intervals are the notes' best reading.
    const ChordDiagram unnamed = entry("", {-1, 3, 2, 0, 1, 0}, {0, 3, 2, 0, 1, 0}).diagram();
    EXPECT_EQ(unnamed.strings[1].interval, "R");
}

} // namespace
