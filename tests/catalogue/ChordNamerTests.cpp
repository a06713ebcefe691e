#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordFinder.h"
#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordTypeTable.h"
#include "catalogue/ChordVocabulary.h"
#include "catalogue/PitchClass.h"
#include "catalogue/Playability.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QSet>
#include <QStringList>

// Naming shapes and finding voicings over the chord-type table. Nothing here names a specific
// entry's frets beyond the shapes players know, so re-authored catalogue data keeps passing.

namespace {

QStringList namesOf(const char* frets, bool withRootless) {
    const auto notes = ChordNamer::notesOfFrets(QString::fromUtf8(frets));
    EXPECT_TRUE(notes.has_value()) << frets;
    QStringList names;
    if (notes) {
        for (const ChordNamer::Reading& r : ChordNamer::readings(*notes, withRootless))
            names << r.name;
    }
    return names;
}

std::string text(const QStringList& list) {
    return list.join(QLatin1Char(' ')).toStdString();
}

TEST(ChordNamer, CommonShapes_AreNamedBestFirst) {
    const struct {
        const char* frets;
        const char* first;
    } cases[] = {
        {"x-3-2-0-1-0", "C"},     {"0-2-2-1-0-0", "E"},      {"x-0-2-2-1-0", "Am"},
        {"x-x-0-2-3-2", "D"},     {"3-2-0-0-0-3", "G"},      {"0-2-2-0-0-0", "Em"},
        {"x-0-2-0-2-0", "A7"},    {"x-0-2-0-1-0", "Am7"},    {"x-x-0-2-1-2", "D7"},
        {"1-3-3-2-1-1", "F"},     {"x-1-3-3-3-1", "Bb"},     {"x-3-5-5-4-3", "Cm"},
        {"3-5-3-4-3-3", "G7"},    {"5-7-5-5-5-5", "Am7"},    {"x-3-5-4-5-x", "Cmaj7"},
        {"x-3-2-2-1-3", "C6"},    {"x-3-5-3-6-3", "C7sus4"}, {"x-x-0-2-3-3", "Dsus4"},
        {"x-2-3-2-3-x", "Bm7b5"}, {"x-3-2-1-1-x", "Caug"},   {"3-5-5-x-x-x", "G5"},
        {"x-7-6-7-8-x", "E7#9"},  {"x-0-2-2-2-2", "A6"},     {"x-x-0-2-3-0", "Dsus2"},
        {"x-2-3-1-3-x", "Bdim7"},
    };
    for (const auto& c : cases) {
        const QStringList names = namesOf(c.frets, false);
        ASSERT_FALSE(names.isEmpty()) << c.frets;
        EXPECT_EQ(names.first().toStdString(), c.first) << c.frets << ": " << text(names);
    }
}

TEST(ChordNamer, InversionsAndRootlessReadings_AreAmongTheRest) {
    const struct {
        const char* frets;
        bool all;
        const char* listed;
        const char* absent;
    } cases[] = {
        {"0-3-2-0-1-0", false, "C/E", ""},     // first inversion
        {"3-3-2-0-1-0", false, "C/G", ""},     // second inversion
        {"x-x-3-2-1-1", false, "", "C/E"},     // F in root position has no E
        {"1-x-1-2-1-x", false, "F7", "Am9/C"}, // a dominant seventh
        {"x-3-5-4-5-x", true, "Am9/C", ""},    // CM7 read as rootless Am9
        {"x-3-5-4-5-x", false, "", "Am9/C"},   // ... only with rootless readings
        {"x-3-2-2-1-3", false, "Am7/C", ""},   // C6 read as Am7 over C
        {"1-x-0-0-0-1", false, "G7/F", ""},    // third inversion of G7
        {"x-0-2-2-2-0", false, "A", "Am"},
    };
    for (const auto& c : cases) {
        const QStringList names = namesOf(c.frets, c.all);
        if (*c.listed) {
            EXPECT_TRUE(names.contains(QLatin1String(c.listed))) << c.frets << ": " << text(names);
        }
        if (*c.absent) {
            EXPECT_FALSE(names.contains(QLatin1String(c.absent))) << c.frets << ": " << text(names);
        }
    }
    // The root in the bass wins over a slash reading of the same notes.
    EXPECT_EQ(namesOf("x-3-5-4-5-x", true).first(), QLatin1String("Cmaj7"));
    EXPECT_EQ(namesOf("x-3-2-2-1-3", true).first(), QLatin1String("C6"));
}

// A diminished seventh divides the octave evenly: each of its notes is a root, and each
// 7b9 whose rootless upper four notes it is reads it too.
// Shapes a teacher names at once, best reading first, with a reading that must follow it.
TEST(ChordNamer, TeachersShapes_ReadFirstAsATeacherNamesThem) {
    const struct {
        const char* frets;
        const char* first;
        const char* also;
    } cases[] = {
        {"x-3-2-0-3-3", "Cadd9", ""},         // not Em7#5/C
        {"x-x-10-9-8-10", "Cadd9", ""},       // catalogue entry 452 at C
        {"x-5-5-5-5-x", "D9sus4", "C/D"},     // not Em7#5/D
        {"x-x-0-0-1-1", "Dm11", "G7sus4/D"},  // not Csus4sus2/D
        {"x-3-3-3-5-3", "C11", ""},           // the chord-book eleventh R 3 b7 11
        {"x-3-4-4-4-x", "Cm(maj7)b5", "B/C"}, // no reading before
        {"x-3-1-0-0-1", "Cm(maj11)", ""},
        {"x-3-2-0-0-1", "Cmaj7(add11)", ""},
        {"x-3-2-2-3-3", "C6/9", ""},
        {"3-3-5-5-5-3", "C/G", ""}, // a triad in inversion before G6sus4
        {"x-x-3-2-1-0", "Fmaj7", ""},
        {"x-3-5-4-5-x", "Cmaj7", "Em/C"},
        {"0-1-x-1-x-x", "E(b5)", ""},
        {"0-1-0-1-x-x", "E7b5", ""},
    };
    for (const auto& c : cases) {
        const QStringList names = namesOf(c.frets, false);
        ASSERT_FALSE(names.isEmpty()) << c.frets;
        EXPECT_EQ(names.first().toStdString(), c.first) << c.frets << ": " << text(names);
        if (*c.also) {
            EXPECT_TRUE(names.contains(QLatin1String(c.also))) << c.frets << ": " << text(names);
        }
        // A rare reading (m7#5, sus2sus4, m(b6) ...) never stands before a plain one.
        const auto notes = ChordNamer::notesOfFrets(QString::fromLatin1(c.frets));
        bool rare = false;
        for (const ChordNamer::Reading& r : ChordNamer::readings(*notes, true)) {
            const bool exotic = r.formula->kind == ChordFormula::Kind::Exotic;
            EXPECT_FALSE(rare && !exotic && r.rootSounds) << c.frets << ": " << text(names);
            rare = rare || exotic;
        }
    }
}

// The same notes read once per root, so never twice under two spellings (E(b5) and Emajb5,
// E7b5 and E7#11).
TEST(ChordNamer, Readings_HaveOneNamePerRoot) {
    for (const char* frets : {"0-1-x-1-x-x", "0-1-0-1-x-x", "x-3-5-4-5-x", "x-x-0-1-0-1",
                              "x-3-2-3-1-2", "x-x-0-0-1-1"}) {
        QSet<qint16> roots;
        QSet<QString> names;
        for (const ChordNamer::Reading& r :
             ChordNamer::readings(*ChordNamer::notesOfFrets(QString::fromLatin1(frets)), true)) {
            EXPECT_FALSE(roots.contains(r.root)) << frets << ": " << r.name.toStdString();
            roots << r.root;
            names << r.name;
        }
        EXPECT_EQ(names.size(), roots.size()) << frets;
    }
}

// A triad, sixth, seventh or ninth chord with one tension added, or with its third
// suspended to a 2 or a 4, always reads on its root.
TEST(ChordNamer, ChordsWithOneNoteAddedOrSuspended_AlwaysHaveAReading) {
    const IntervalSet tensions = intervalBit(1) | intervalBit(2) | intervalBit(3) | intervalBit(5) |
                                 intervalBit(6) | intervalBit(8) | intervalBit(9);
    int checked = 0;
    for (const char* symbol : {"", "m", "dim", "aug", "6", "m6", "7", "maj7", "m7", "m7b5", "dim7",
                               "m(maj7)", "9", "maj9", "m9"}) {
        const ChordFormula* base = ChordVocabulary::bySymbol(QString::fromLatin1(symbol));
        ASSERT_NE(base, nullptr) << symbol;
        QList<IntervalSet> variants;
        for (int t = 1; t < PitchClass::count; ++t) {
            if ((tensions & intervalBit(t)) && !(base->tones() & intervalBit(t)))
                variants << IntervalSet(base->tones() | intervalBit(t));
        }
        if (base->tones() & intervalBit(7)) { // a third above a perfect fifth can be suspended
            for (const int third : {3, 4}) {
                if (base->required & intervalBit(third)) {
                    for (const int sus : {2, 5})
                        variants << IntervalSet((base->tones() & ~intervalBit(third)) |
                                                intervalBit(sus));
                }
            }
        }
        for (const IntervalSet v : variants) {
            QList<qint16> notes; // C3 and the tones above it, one octave
            for (int t = 0; t < PitchClass::count; ++t) {
                if (v & intervalBit(t))
                    notes << qint16(48 + t);
            }
            bool onRoot = false;
            for (const ChordNamer::Reading& r : ChordNamer::readings(notes, false))
                onRoot = onRoot || (r.root == 0 && r.bass == 0);
            EXPECT_TRUE(onRoot) << "C" << symbol << " as " << std::hex << v;
            ++checked;
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(ChordNamer, DiminishedSeventh_ReadsOverEveryNote) {
    for (const char* frets : {"x-x-0-1-0-1", "x-2-3-1-3-x"}) {
        const auto notes = ChordNamer::notesOfFrets(QString::fromLatin1(frets));
        ASSERT_TRUE(notes);
        const qint16 bass = ChordNamer::lowestPitchClass(*notes);
        QSet<QString> expectedRooted;
        QSet<QString> expectedAll;
        for (int step = 0; step < 4; ++step) {
            const qint16 root = qint16((bass + 3 * step) % 12);
            const QString over = step == 0 ? QString() : u'/' + ChordTheory::PitchNames[bass];
            expectedRooted << ChordTheory::PitchNames[root] + QStringLiteral("dim7") + over;
            // The 7b9 chords a semitone below each note of the diminished seventh.
            const qint16 dominant = qint16((root + 11) % 12);
            expectedAll << ChordTheory::PitchNames[dominant] + QStringLiteral("7b9/") +
                               ChordTheory::PitchNames[bass];
        }
        expectedAll += expectedRooted;
        const QStringList rooted = namesOf(frets, false);
        const QStringList all = namesOf(frets, true);
        EXPECT_EQ(QSet<QString>(rooted.begin(), rooted.end()), expectedRooted) << text(rooted);
        EXPECT_EQ(QSet<QString>(all.begin(), all.end()), expectedAll) << text(all);
    }
}

TEST(ChordNamer, ReadingsShowNotesAndIntervalsAboveTheRoot) {
    const auto notes = ChordNamer::notesOfFrets(u"x-3-5-4-5-x");
    ASSERT_TRUE(notes);
    const QList<ChordNamer::Reading> readings = ChordNamer::readings(*notes, true);
    EXPECT_EQ(ChordNamer::intervalText(readings.first(), *notes), QLatin1String("R-5-7-3"));
    for (const ChordNamer::Reading& r : readings) {
        if (r.name == QLatin1String("Am9/C")) {
            EXPECT_EQ(ChordNamer::intervalText(r, *notes), QLatin1String("b3-b7-9-5"));
        }
    }
}

TEST(ChordNamer, BadFrets_AreRefusedWithOneLine) {
    for (const char* frets :
         {"x-3-5-4-5", "x-3-5-4-5-x-x", "x-3-5-q-5-x", "x-3-5-4-5-25", "x-x-x-x-x-x", "",
          "x--3-5-4-5", "x-3-5-4-5-+1", "x-3-5-4-5-999999999999", "x-\u0663-5-4-5-x"}) {
        QString error;
        EXPECT_FALSE(ChordNamer::notesOfFrets(QString::fromUtf8(frets), &error)) << frets;
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(error.contains(u'\n'));
    }
    EXPECT_EQ(ChordNamer::notesOfFrets(u"0-0-0-0-0-24"), (QList<qint16>{40, 45, 50, 55, 59, 88}));
}

TEST(ChordFinder, ChordNames_AcceptThePlayersSpellings) {
    const struct {
        const char* typed;
        const char* same; // the catalogue's spelling of the same chord
    } cases[] = {
        {"Cmaj7", "CM7"},
        {"Cma7", "CM7"},
        {"CΔ7", "CM7"},
        {"Amin", "Am"},
        {"Ami", "Am"},
        {"A-", "Am"},
        {"A-7", "Am7"},
        {"Bø", "Bm7b5"},
        {"Bø7", "Bm7b5"},
        {"B°", "Bdim"},
        {"Bo", "Bdim"},
        {"B°7", "Bdim7"},
        {"C+", "Caug"},
        {"Db7", "C#7"},
        {"D#m", "Ebm"},
        {"Gb", "F#maj"},
        {"G#m7", "Abm7"},
        {"A#", "Bbmaj"},
        {"C", "Cmaj"},
        {"CM", "Cmaj"},
        {"Cmaj/E", "C/E"},
        {"C6/9", "C6\\9"},
        {"CM9(+11)", "Cmaj9#11"},
        {"Am7/C", "Am7/C"},
        {"C/C", "Cmaj"},
        {"Cmmaj7", "CmM7"},
        {"E♭m", "Ebm"},
        {"am7", "Am7"},
        {"bbm7/db", "Bbm7/Db"},
        {"EBm/GB", "Ebm/Gb"},
    };
    for (const auto& c : cases) {
        const auto typed = ChordFinder::parseChordName(QString::fromUtf8(c.typed));
        const auto same = ChordFinder::parseChordName(QString::fromUtf8(c.same));
        ASSERT_TRUE(typed && same) << c.typed;
        EXPECT_EQ(typed->root, same->root) << c.typed;
        EXPECT_EQ(typed->key, same->key) << c.typed;
        EXPECT_EQ(typed->bass, same->bass) << c.typed;
    }
    const struct {
        const char* typed;
        const char* named;
    } bad[] = {{"Hm7", "'Hm7'"}, {"Cxyz", "'xyz'"}, {"C/H", "'H'"}, {"", "''"}, {"m7", "'m7'"}};
    for (const auto& b : bad) {
        QString error;
        EXPECT_FALSE(ChordFinder::parseChordName(QString::fromUtf8(b.typed), &error)) << b.typed;
        EXPECT_TRUE(error.contains(QLatin1String(b.named))) << error.toStdString();
    }
}

// Every entry at every Pitch: the shape, named from its notes alone, is read as the chord the
// window names (types with more than one "/" aside, whose name is not a chord of them).
TEST(ChordCatalogueNaming, EveryVoicingIsReadAsTheWindowNamesIt) {
    int checked = 0;
    for (const ChordFinder::Voicing& v : ChordFinder::voicings()) {
        const ChordEntry& entry = ChordCatalogue::entry(v.entry);
        const ChordTheory::PlacedChord placed = ChordTheory::placeChord(
            QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), v.pitch);
        ASSERT_EQ(v.fretNumbers(), placed.fretNumbers) << v.entry;
        if (QString::fromLatin1(entry.chordType).count(u'/') > 1)
            continue;
        // The namer spells as a chart does (Cmaj7 for the window's CM7) and gives one reading
        // per root: the window's chord is the reading on its root.
        const QString name = ChordFinder::windowName(v);
        const auto named = ChordFinder::parseChordName(name);
        ASSERT_TRUE(named) << name.toStdString();
        const bool rootless =
            ChordTypeTable::find(QString::fromLatin1(entry.chordType))->rootless();
        bool listed = false;
        for (const ChordNamer::Reading& r : ChordNamer::readings(v.notes, true))
            listed = listed || (r.root == named->root && r.rootSounds == !rootless);
        EXPECT_TRUE(listed) << v.entry << " at " << v.pitch << ": " << name.toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 7000);
}

// find() against the catalogue's types, checked here on their own: a voicing is found for a
// name exactly when a type of that name sounds it over the asked bass (or, rootless, without
// its root). Asked for every name the window gives at two Pitches.
TEST(ChordCatalogueNaming, FindAgreesWithTheTypesOfEveryVoicing) {
    QSet<QString> asked;
    for (const ChordFinder::Voicing& v : ChordFinder::voicings()) {
        if (v.pitch == 0 || v.pitch == 6)
            asked << ChordFinder::windowName(v);
    }
    QHash<QString, QList<const ChordType*>> typesOfKey;
    for (const ChordType& t : ChordTypeTable::types())
        typesOfKey[ChordNamer::canonicalKey(t.prefix)] << &t;
    for (const QString& name : asked) {
        const auto chord = ChordFinder::parseChordName(name);
        if (!chord)
            continue; // a type with several "/" names no chord of its own
        const QList<const ChordType*> types = typesOfKey.value(chord->key);
        for (const bool rootless : {false, true}) {
            ChordFinder::Query query;
            query.chord = chord;
            query.rootless = rootless;
            QSet<const ChordFinder::Voicing*> found;
            for (const ChordFinder::Found& f : ChordFinder::find(query))
                found << f.voicing;
            for (const ChordFinder::Voicing& v : ChordFinder::voicings()) {
                const IntervalSet relative = rotateDown(v.pitchClasses, chord->root);
                const int bassAbove = (v.lowestPitchClass - chord->root + 12) % 12;
                bool sounds = false;
                for (const ChordType* t : types) {
                    if ((relative & t->required) != t->required || (relative & t->forbidden()))
                        continue;
                    const bool overAskedBass =
                        chord->bass < 0 ? bassAbove == 0 : v.lowestPitchClass == chord->bass;
                    if (t->rootless())
                        sounds = sounds || (rootless && (chord->bass < 0 || overAskedBass));
                    else
                        sounds =
                            sounds || (overAskedBass &&
                                       (chord->bass < 0 ? t->bass == 0
                                                        : t->bass == bassAbove || t->bass == 0));
                }
                EXPECT_EQ(found.contains(&v), sounds)
                    << name.toStdString() << (rootless ? " rootless" : "") << ": entry " << v.entry
                    << " at " << v.pitch;
            }
        }
    }
}

TEST(ChordFinder, FindsOtherTypesThatSoundTheChord) {
    ChordFinder::Query query;
    query.chord = ChordFinder::parseChordName(u"Am7/C");
    QSet<int> found;
    for (const ChordFinder::Found& f : ChordFinder::find(query))
        if (f.voicing->pitch == 0)
            found << f.voicing->entry;
    int sixths = 0;
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        if (QString::fromLatin1(ChordCatalogue::entry(n).chordType) == QLatin1String("6")) {
            ++sixths;
            EXPECT_TRUE(found.contains(n)) << "C6 entry " << n;
        }
    }
    EXPECT_GT(sixths, 0);
}

TEST(ChordFinder, FiltersHoldForEveryRowAndScoresAscend) {
    ChordFinder::Query query;
    query.chord = ChordFinder::parseChordName(u"Am7");
    query.lowFret = 5;
    query.highFret = 8;
    const QList<ChordFinder::Found> inWindow = ChordFinder::find(query);
    ASSERT_FALSE(inWindow.isEmpty());
    for (qsizetype i = 0; i < inWindow.size(); ++i) {
        for (const qint16 fret : inWindow[i].voicing->frets)
            EXPECT_TRUE(fret < 0 || (fret >= 5 && fret <= 8));
        if (i > 0) {
            EXPECT_LE(inWindow[i - 1].voicing->score, inWindow[i].voicing->score);
        }
    }

    ChordFinder::Query notes;
    notes.notes = intervalBit(0) | intervalBit(4) | intervalBit(7);
    notes.strings = 4;
    notes.top = 4;
    const QList<ChordFinder::Found> triads = ChordFinder::find(notes);
    ASSERT_FALSE(triads.isEmpty());
    for (const ChordFinder::Found& f : triads) {
        EXPECT_EQ(f.voicing->pitchClasses, *notes.notes);
        EXPECT_EQ(f.voicing->soundingStrings(), 4);
        EXPECT_EQ(f.voicing->notes.last() % 12, 4);
    }
}

TEST(ChordFinder, NearSortsByVoiceLeadingDistance) {
    ChordFinder::Query am7;
    am7.chord = ChordFinder::parseChordName(u"Am7");
    const ChordFinder::Voicing& from = *ChordFinder::find(am7).first().voicing;
    EXPECT_EQ(ChordFinder::voiceLeadingDistance(from, from), 0);

    ChordFinder::Query d7;
    d7.chord = ChordFinder::parseChordName(u"D7");
    d7.near = &from;
    const QList<ChordFinder::Found> found = ChordFinder::find(d7);
    ASSERT_GT(found.size(), 1);
    for (qsizetype i = 1; i < found.size(); ++i)
        EXPECT_LE(found[i - 1].distance, found[i].distance);
    for (const ChordFinder::Found& f : found)
        EXPECT_EQ(f.distance, ChordFinder::voiceLeadingDistance(from, *f.voicing));
}

TEST(ChordFinder, VoiceLeadingDistance_AddsHandAndVoiceMoves) {
    auto voicing = [](std::array<qint16, 6> frets) {
        ChordFinder::Voicing v;
        v.frets = frets;
        for (int s = 0; s < 6; ++s)
            if (frets[s] >= 0)
                v.notes << qint16(ChordTheory::standardOpenStringNotes[s] + frets[s]);
        return v;
    };
    const auto a = voicing({5, 7, 5, 5, 5, 5});
    // Same strings, hand two frets up, every voice two semitones up: 2 + 6 * 2.
    EXPECT_EQ(ChordFinder::voiceLeadingDistance(a, voicing({7, 9, 7, 7, 7, 7})), 14);
    // The low string falls silent: its A (45) goes to the nearest note left, the D at 50.
    EXPECT_EQ(ChordFinder::voiceLeadingDistance(a, voicing({-1, 5, 5, 5, 5, 5})),
              2 + 5 + 0 + 0 + 0 + 0 + 0);
}

TEST(Playability, ScoreAddsTheDocumentedParts) {
    const struct {
        const char* frets;
        const char* fingering;
        int span, fingers, barres, stretches, mutedInner, thumb;
    } cases[] = {
        {"1-3-3-2-1-1", "1-3-4-2-1-1", 2, 4, 1, 0, 0, 0}, // full barre
        {"x-1-3-3-x-x", "x-1-3-4-x-x", 2, 3, 0, 0, 0, 0},
        {"1-x-1-2-1-x", "1-x-2-4-3-x", 1, 4, 0, 0, 1, 0}, // muted A string inside
        {"1-x-3-x-1-3", "T-x-3-x-1-4", 2, 3, 0, 0, 2, 1}, // thumb; two strings damped inside
        {"x-1-4-x-x-x", "x-1-2-x-x-x", 3, 2, 0, 2, 0, 0}, // a stretch of two frets
        {"x-3-2-0-1-0", "x-3-2-x-1-x", 2, 3, 0, 0, 0, 0}, // open strings need no finger
    };
    for (const auto& c : cases) {
        const Playability p =
            Playability::of(QString::fromLatin1(c.frets), QString::fromLatin1(c.fingering));
        EXPECT_EQ(p.span, c.span) << c.frets;
        EXPECT_EQ(p.fingers, c.fingers) << c.frets;
        EXPECT_EQ(p.barres, c.barres) << c.frets;
        EXPECT_EQ(p.stretches, c.stretches) << c.frets;
        EXPECT_EQ(p.mutedInner, c.mutedInner) << c.frets;
        EXPECT_EQ(p.thumb, c.thumb) << c.frets;
        EXPECT_EQ(p.score(), c.span + c.fingers + 2 * c.barres + 2 * c.stretches +
                                 2 * c.mutedInner + 3 * c.thumb);
    }
}

} // namespace
