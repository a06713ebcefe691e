#include "finder/ShapeEditor.h"

#include <gtest/gtest.h>

// The Name page's editable box: what a click does to the shape, where a click lands on the
// drawn box, and what the shape reads as.

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

TEST(ShapeEditor, ClickingXC_ReadsCFirst) {
    ShapeEditor editor;
    EXPECT_EQ(text(Fretboard::fretText(editor.frets())), "x-x-x-x-x-x");
    EXPECT_TRUE(editor.readings().isEmpty());
    for (const auto& [string, fret] : {std::pair{1, 3}, {2, 2}, {3, 0}, {4, 1}, {5, 0}})
        EXPECT_TRUE(editor.click(string, fret));
    EXPECT_EQ(text(Fretboard::fretText(editor.frets())), "x-3-2-0-1-0");
    EXPECT_EQ(editor.notes(), (QList<qint16>{48, 52, 55, 60, 64}));
    ASSERT_FALSE(editor.readings().isEmpty());
    EXPECT_EQ(text(editor.readings().first().name), "C");
    EXPECT_EQ(text(editor.voicing().fingerText()), "x-3-2-0-1-0");
    EXPECT_EQ(text(editor.diagram(QStringLiteral("C")).name), "C");
}

TEST(ShapeEditor, AClick_PlacesRemovesOrSwitchesTheString) {
    const Fretboard banjo(*Tuning::preset(u"banjo"));
    const struct {
        const char* before;
        int string, fret;
        const char* after; // nullptr: nothing changes, click() is false
        const Fretboard* board;
    } cases[] = {
        {"x-3-2-0-1-0", 1, 5, "x-5-2-0-1-0", nullptr}, // a fret elsewhere moves the note
        {"x-3-2-0-1-0", 1, 3, "x-x-2-0-1-0", nullptr}, // the note itself: gone, muted
        {"x-3-2-0-1-0", 0, 0, "0-3-2-0-1-0", nullptr}, // above the nut: muted becomes open
        {"x-3-2-0-1-0", 3, 0, "x-3-2-x-1-0", nullptr}, // open becomes muted
        {"x-3-2-0-1-0", 2, 0, "x-3-0-0-1-0", nullptr}, // a stopped string is let ring
        {"x-3-2-0-1-0", 6, 1, nullptr, nullptr},       // no seventh string
        {"x-3-2-0-1-0", -1, 1, nullptr, nullptr},
        {"x-3-2-0-1-0", 1, 25, nullptr, nullptr}, // past the 24th fret
        {"x-3-2-0-1-0", 1, -2, nullptr, nullptr},
        {"x-0-0-0-0", 0, 3, nullptr, &banjo}, // the short string starts at fret 5
        {"x-0-0-0-0", 0, 7, "7-0-0-0-0", &banjo},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " click " + std::to_string(c.string) + "@" +
                     std::to_string(c.fret));
        const Fretboard board = c.board ? *c.board : Fretboard();
        ShapeEditor editor(board);
        ASSERT_TRUE(editor.setFrets(*board.parseFrets(QString::fromUtf8(c.before))));
        EXPECT_EQ(editor.click(c.string, c.fret), c.after != nullptr);
        EXPECT_EQ(text(Fretboard::fretText(editor.frets())), c.after ? c.after : c.before);
    }
}

TEST(ShapeEditor, ANewFretboard_KeepsAShapeThatFitsIt) {
    ShapeEditor editor;
    editor.setFrets({-1, 3, 2, 0, 1, 0});
    editor.setFirstFret(20); // the guitar's box can start at fret 20 (20 to 24)
    EXPECT_EQ(editor.firstFret(), 20);
    editor.setBoard(Fretboard(*Tuning::preset(u"dadgad"), 2));
    EXPECT_EQ(text(Fretboard::fretText(editor.frets())), "x-3-2-0-1-0");
    EXPECT_EQ(editor.firstFret(), 18); // 22 frets above the capo
    editor.setBoard(Fretboard(*Tuning::preset(u"ukulele")));
    EXPECT_EQ(text(Fretboard::fretText(editor.frets())), "x-x-x-x");
    EXPECT_EQ(editor.firstFret(), 11);
    EXPECT_FALSE(editor.setFrets({0, 0, 0}));
    EXPECT_FALSE(editor.setFrets({0, 0, 0, 16}));
}

TEST(ShapeEditor, SpotAt_FindsTheStringAndFretUnderAPoint) {
    ShapeEditor editor;
    editor.setFrets({-1, 3, 2, 0, 1, 0});
    editor.setFirstFret(5);
    ChordBox::Options options = editor.boxOptions({});
    // The box starts lower than asked to show the stopped frets: at fret 1.
    const ChordDiagram diagram = editor.diagram({});
    const qreal s = 20;
    for (const bool leftHanded : {false, true}) {
        SCOPED_TRACE(leftHanded ? "left-handed" : "right-handed");
        options.leftHanded = leftHanded;
        const ChordBox::Layout l = ChordBox::layout(diagram, options, s, QPointF(10, 30));
        EXPECT_EQ(l.baseFret, 1);
        const auto at = [&](int string, qreal y, qreal dx = 0) {
            return ShapeEditor::spotAt(l, QPointF(l.stringX(string) + dx, y));
        };
        using Spot = ShapeEditor::Spot;
        EXPECT_EQ(at(1, l.fretY(3)), (Spot{1, 3}));
        EXPECT_EQ(at(5, l.fretY(1), 0.45 * s), (Spot{5, 1}));
        EXPECT_EQ(at(2, l.wireY(5) - 1), (Spot{2, 5}));
        EXPECT_EQ(at(0, l.markY()), (Spot{0, ShapeEditor::aboveTheNut}));
        EXPECT_EQ(at(4, l.wireY(0) - 1), (Spot{4, ShapeEditor::aboveTheNut}));
        EXPECT_FALSE(at(0, l.wireY(l.rows) + 1));      // below the last row
        EXPECT_FALSE(at(3, l.markY() - s));            // in the name
        const int outer = leftHanded ? 5 : 0;          // the leftmost string
        EXPECT_FALSE(at(outer, l.fretY(2), -0.6 * s)); // beside the strings
    }
    // Up the neck, the rows count from the first fret shown.
    editor.setFrets({-1, 7, 9, 9, 8, 7});
    const ChordBox::Layout l =
        ChordBox::layout(editor.diagram({}), editor.boxOptions({}), s, QPointF());
    EXPECT_EQ(l.baseFret, 5);
    EXPECT_EQ(ShapeEditor::spotAt(l, QPointF(l.stringX(2), l.fretY(9))), (ShapeEditor::Spot{2, 9}));
}

} // namespace
