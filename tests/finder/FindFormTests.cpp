#include "finder/ChordCompletion.h"
#include "finder/FindForm.h"

#include <gtest/gtest.h>

// The query the Find page's form makes: the fretboard, the chord and the filters of
// `strumvane-charts find`, and the one line said beside the field when they do not read.

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

FindForm form(const char* chord) {
    FindForm f;
    f.chord = QString::fromUtf8(chord);
    return f;
}

TEST(FindForm, Query_AsksWhatTheFormSays) {
    FindForm window = form("Am7");
    window.lowFret = 5;
    window.highFret = 8;
    FindForm filters = form(" C/G ");
    filters.strings = 4;
    filters.top = 7;
    filters.inversions = true;
    filters.openStrings = false;
    FindForm pastTheNeck = form("C");
    pastTheNeck.instrument = QStringLiteral("ukulele");
    pastTheNeck.capo = 2;
    pastTheNeck.lowFret = 20; // the ukulele has 15 frets, 13 above a capo at 2
    pastTheNeck.highFret = 10;
    FindForm capo = form("Bm");
    capo.capo = 2;
    FindForm tuned = form("D");
    tuned.tuning = QStringLiteral("DGDGBD");

    const struct {
        const char* what;
        FindForm form;
        const char* board;     // Fretboard::description()
        const char* chord;     // the chord's name as the generator names it
        bool catalogue;        // the catalogue's names reach it
        int lowFret, highFret; // -1: no window
        const char* first;     // the easiest voicing found
    } cases[] = {
        {"plain", form("Am7"), "guitar", "Am7", true, -1, -1, "x-0-2-0-1-0"},
        {"fret window", window, "guitar", "Am7", true, 5, 8, "5-7-5-5-5-5"},
        {"filters", filters, "guitar", "C/G", true, -1, -1, nullptr},
        {"window past the neck", pastTheNeck, "ukulele, capo 2", "C", false, 10, 13, nullptr},
        {"capo", capo, "guitar, capo 2", "Bm", false, -1, -1, "x-0-2-2-1-0"},
        {"written tuning", tuned, "DGDGBD", "D", false, -1, -1, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QString error = QStringLiteral("untouched");
        const std::optional<VoicingFinder::Query> q = c.form.query(&error);
        ASSERT_TRUE(q) << text(error);
        EXPECT_EQ(text(q->board.description()), c.board);
        ASSERT_TRUE(q->chord);
        EXPECT_EQ(text(q->chord->name(q->chord->root, q->chord->bass)), c.chord);
        EXPECT_EQ(bool(q->catalogueChord) && VoicingFinder::catalogueApplies(q->board),
                  c.catalogue);
        EXPECT_EQ(q->lowFret.value_or(-1), c.lowFret);
        EXPECT_EQ(q->highFret.value_or(-1), c.highFret);
        EXPECT_EQ(q->strings, c.form.strings);
        EXPECT_EQ(q->top, c.form.top);
        EXPECT_EQ(q->options.inversions, c.form.inversions);
        EXPECT_EQ(q->options.openStrings, c.form.openStrings);
        if (c.first) {
            const QList<VoicingFinder::Row> rows = VoicingFinder::find(*q);
            ASSERT_FALSE(rows.isEmpty());
            EXPECT_EQ(text(rows.first().voicing.fretText()), c.first);
        }
    }
}

TEST(FindForm, WhatDoesNotRead_IsSaidInOneLine) {
    FindForm lute = form("C");
    lute.instrument = QStringLiteral("lute");
    FindForm otherInstrument = form("C");
    otherInstrument.instrument = QStringLiteral("ukulele");
    otherInstrument.tuning = QStringLiteral("dadgad");
    FindForm strings = otherInstrument;
    strings.tuning = QStringLiteral("DGDGBD");
    FindForm capo = form("C");
    capo.capo = 13;
    const struct {
        FindForm form;
        const char* error; // empty: nothing asked, nothing said
    } cases[] = {
        {form(""), ""},
        {form("   "), ""},
        {form("Cxyz"), "unknown chord type 'xyz' in 'Cxyz'"},
        {form("H7"), "H7"},
        {lute, "unknown instrument 'lute'"},
        {otherInstrument, "tuning 'dadgad' is one of the guitar, not of the ukulele"},
        {strings, "tuning 'DGDGBD' has 6 strings, the ukulele 4"},
        {capo, "no such capo 13 (0 to 12)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(text(c.form.chord + u' ' + c.form.instrument + u' ' + c.form.tuning));
        QString error = QStringLiteral("untouched");
        EXPECT_FALSE(c.form.query(&error));
        EXPECT_FALSE(error.contains(u'\n'));
        if (*c.error == '\0')
            EXPECT_TRUE(error.isEmpty()) << text(error);
        else
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.error))) << text(error);
    }
}

TEST(ChordCompletion, OffersTheTypesAfterTheRootAndNotesAfterASlash) {
    const QStringList am = ChordCompletion::candidates(u"Am");
    ASSERT_GE(am.size(), 19);
    // The root as typed, every chord once, the plain chords first.
    EXPECT_EQ(am.mid(0, 4), (QStringList{"A", "Am", "A5", "A7"}));
    EXPECT_TRUE(am.contains("Am7b5") && am.contains("A6/9") && am.contains("Am(maj7)"));
    QStringList unique = am;
    EXPECT_EQ(unique.removeDuplicates(), 0);
    EXPECT_EQ(ChordCompletion::candidates(u"f#m").first(), "f#");
    EXPECT_EQ(ChordCompletion::candidates(u"Bbmaj").first(), "Bb");
    EXPECT_EQ(ChordCompletion::candidates(u"Am/"),
              (QStringList{"Am/C", "Am/C#", "Am/D", "Am/Eb", "Am/E", "Am/F", "Am/F#", "Am/G",
                           "Am/Ab", "Am/A", "Am/Bb", "Am/B"}));
    for (const char16_t* none : {u"", u"H", u"7", u"/C", u" A"})
        EXPECT_TRUE(ChordCompletion::candidates(none).isEmpty()) << text(QString::fromUtf16(none));
}

} // namespace
