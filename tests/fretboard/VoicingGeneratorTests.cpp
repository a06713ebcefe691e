#include "fretboard/VoicingGenerator.h"

#include <gtest/gtest.h>

#include <QSet>
#include <algorithm>
#include <map>
#include <set>

// The voicings of chords on fretted instruments: the shapes players learn first come first,
// and every voicing sounds its chord and fits one hand, checked here by rules of the tests'
// own.

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

Fretboard board(const char* tuning, int capo = 0) {
    const auto t = Tuning::parse(QString::fromLatin1(tuning));
    EXPECT_TRUE(t) << tuning;
    return Fretboard(t ? *t : Tuning(), capo);
}

QList<Voicing> voicingsOf(const char* symbol, const Fretboard& on,
                          const VoicingGenerator::Options& options = {}) {
    QString error;
    const auto chord = ChordTones::parse(QString::fromUtf8(symbol), &error);
    EXPECT_TRUE(chord) << symbol << ": " << text(error);
    return chord ? VoicingGenerator::generate(*chord, on, options) : QList<Voicing>();
}

QStringList fretTexts(const QList<Voicing>& voicings, qsizetype count = 5) {
    QStringList texts;
    for (qsizetype i = 0; i < voicings.size() && i < count; ++i)
        texts << voicings[i].fretText();
    return texts;
}

TEST(VoicingGenerator, TheShapesPlayersLearnFirst_ComeFirst) {
    const struct {
        const char* tuning;
        int capo;
        const char* chord;
        const char* frets;
        const char* fingers;
    } cases[] = {
        {"guitar", 0, "C", "x-3-2-0-1-0", "x-3-2-0-1-0"},
        {"guitar", 0, "A", "x-0-2-2-2-0", "x-0-1-2-3-0"},
        {"guitar", 0, "G", "3-2-0-0-0-3", "2-1-0-0-0-3"},
        {"guitar", 0, "E", "0-2-2-1-0-0", "0-2-3-1-0-0"},
        {"guitar", 0, "D", "x-x-0-2-3-2", "x-x-0-1-3-2"},
        {"guitar", 0, "Am", "x-0-2-2-1-0", "x-0-2-3-1-0"},
        {"guitar", 0, "Em", "0-2-2-0-0-0", "0-1-2-0-0-0"},
        {"guitar", 0, "Dm", "x-x-0-2-3-1", "x-x-0-2-3-1"},
        {"guitar", 0, "E7", "0-2-0-1-0-0", "0-2-0-1-0-0"},
        {"guitar", 0, "A7", "x-0-2-0-2-0", "x-0-1-0-2-0"},
        {"guitar", 0, "D7", "x-x-0-2-1-2", "x-x-0-2-1-3"},
        {"guitar", 0, "G7", "3-2-0-0-0-1", "3-2-0-0-0-1"},
        {"guitar", 0, "C7", "x-3-2-3-1-0", "x-3-2-4-1-0"},
        {"guitar", 0, "B7", "x-2-1-2-0-2", "x-2-1-3-0-4"},
        {"guitar", 0, "Cadd9", "x-3-2-0-3-3", "x-2-1-0-3-4"},
        {"guitar", 0, "Dsus2", "x-x-0-2-3-0", "x-x-0-1-2-0"},
        {"guitar", 0, "Asus4", "x-0-2-2-3-0", "x-0-1-2-3-0"},
        {"guitar", 0, "Fmaj7", "x-x-3-2-1-0", "x-x-3-2-1-0"},
        {"ukulele", 0, "C", "0-0-0-3", "0-0-0-1"},
        {"ukulele", 0, "Am", "2-0-0-0", "1-0-0-0"},
        {"ukulele", 0, "F", "2-0-1-0", "2-0-1-0"},
        {"ukulele", 0, "G", "0-2-3-2", "0-1-3-2"},
        // With a capo the open shapes make other chords.
        {"guitar", 2, "Bm", "x-0-2-2-1-0", "x-0-2-3-1-0"},
        {"guitar", 3, "C", "x-0-2-2-2-0", "x-0-1-2-3-0"},
        {"guitar", 5, "C", "3-2-0-0-0-3", "2-1-0-0-0-3"},
        // Other instruments.
        {"mandolin", 0, "G", "0-0-2-3", "0-0-1-2"},
        {"banjo", 0, "G", "0-0-0-0-0", "0-0-0-0-0"},
        {"banjo", 0, "C", "0-2-0-1-2", "0-2-0-1-3"},
        {"bass", 0, "E", "0-2-2-1", "0-2-3-1"},
        {"dadgad", 0, "D5", "0-0-0-2-0-0", "0-0-0-1-0-0"},
    };
    for (const auto& c : cases) {
        const QList<Voicing> found = voicingsOf(c.chord, board(c.tuning, c.capo));
        ASSERT_FALSE(found.isEmpty()) << c.chord;
        EXPECT_EQ(text(found.first().fretText()), c.frets)
            << c.tuning << " capo " << c.capo << " " << c.chord << ": "
            << text(fretTexts(found).join(u' '));
        EXPECT_EQ(text(found.first().fingerText()), c.fingers) << c.chord;
    }
}

TEST(VoicingGenerator, SlashChords_StandOnTheirBass) {
    const struct {
        const char* chord;
        const char* listed;
    } cases[] = {
        {"Am/G", "3-0-2-2-1-0"}, {"D/C", "x-3-0-2-3-2"}, {"C/D", "x-x-0-0-1-0"},
        {"F/G", "3-x-3-2-1-1"},  {"G/F", "1-x-0-0-0-3"}, {"C/B", "x-2-2-0-1-0"},
        {"C/E", "0-3-2-0-1-0"},
    };
    const Fretboard guitar;
    for (const auto& c : cases) {
        const QString symbol = QString::fromLatin1(c.chord);
        const ChordTones chord = *ChordTones::parse(symbol);
        const QList<Voicing> found = voicingsOf(c.chord, guitar);
        QStringList frets;
        for (const Voicing& v : found) {
            frets << v.fretText();
            EXPECT_EQ(v.bass, chord.bass) << c.chord << " " << text(v.fretText());
            // A bass from outside the chord sounds once, as the bass.
            const bool foreign = !(chord.chordTones() & intervalBit(chord.bass - chord.root));
            const qsizetype bassNotes =
                std::count_if(v.notes.begin(), v.notes.end(),
                              [&](qint16 n) { return PitchClass::ofNote(n) == chord.bass; });
            if (foreign) {
                EXPECT_EQ(bassNotes, std::count(v.notes.begin(), v.notes.end(), v.lowestNote()))
                    << c.chord << " " << text(v.fretText());
            }
        }
        EXPECT_TRUE(frets.contains(QLatin1String(c.listed)))
            << c.chord << ": " << text(frets.mid(0, 8).join(u' '));
    }
}

TEST(VoicingGenerator, Options_ChangeWhatIsGenerated) {
    const Fretboard guitar;
    VoicingGenerator::Options inversions;
    inversions.inversions = true;
    const QStringList withInversions = fretTexts(voicingsOf("C", guitar, inversions), 1000);
    EXPECT_TRUE(withInversions.contains(QLatin1String("0-3-2-0-1-0")));
    EXPECT_FALSE(fretTexts(voicingsOf("C", guitar), 1000).contains(QLatin1String("0-3-2-0-1-0")));

    VoicingGenerator::Options closed;
    closed.openStrings = false;
    closed.span = 3;
    closed.lowFret = 5;
    closed.highFret = 9;
    const QList<Voicing> found = voicingsOf("Am7", guitar, closed);
    ASSERT_FALSE(found.isEmpty());
    for (const Voicing& v : found) {
        int low = 99;
        int high = 0;
        for (const qint16 fret : v.frets) {
            EXPECT_NE(fret, 0) << text(v.fretText());
            if (fret > 0) {
                low = std::min(low, int(fret));
                high = std::max(high, int(fret));
            }
        }
        EXPECT_GE(low, 5) << text(v.fretText());
        EXPECT_LE(high, 9) << text(v.fretText());
        EXPECT_LE(high - low + 1, 3) << text(v.fretText());
    }
    // A capo leaves fewer frets above it.
    for (const Voicing& v : voicingsOf("E", Fretboard(Tuning(), 12)))
        EXPECT_LE(*std::max_element(v.frets.begin(), v.frets.end()), Tuning().fretCount() - 12);
}

// What the tests hold a voicing to, written apart from the generator.
QStringList faultsOf(const Voicing& v, const ChordTones& chord, const Fretboard& on) {
    QStringList faults;
    const Tuning& tuning = on.tuning();
    const int strings = tuning.stringCount();
    if (v.frets.size() != strings || v.fingers.size() != strings)
        return {QStringLiteral("not one fret and finger a string")};

    // The notes: every required tone, nothing else, the root in the bass where the lowest
    // string is the lowest.
    std::set<int> classes;
    int lowest = 999;
    int sounding = 0;
    for (int s = 0; s < strings; ++s) {
        const int fret = v.frets[s];
        if (fret < 0)
            continue;
        ++sounding;
        if (fret > VoicingGenerator::defaultHighFret)
            faults << QStringLiteral("fret %1 past the window").arg(fret);
        if (fret > 0 && on.capo() + fret <= tuning.startFret(s))
            faults << QStringLiteral("string %1 has no fret %2").arg(s).arg(fret);
        const int note = tuning.openNote(s) + on.capo() + fret;
        classes.insert((note - chord.root + 120) % 12);
        lowest = std::min(lowest, note);
    }
    if (sounding < std::min(3, strings))
        faults << QStringLiteral("%1 strings sound").arg(sounding);
    const auto in = [](IntervalSet set, int interval) { return (set >> interval) & 1; };
    const bool third = in(chord.chordTones(), 3) || in(chord.chordTones(), 4);
    const bool sixthOrSeventh =
        in(chord.chordTones(), 9) || in(chord.chordTones(), 10) || in(chord.chordTones(), 11);
    for (int interval = 0; interval < 12; ++interval) {
        const bool mayGo = interval == 7 && third && sixthOrSeventh;
        if (in(chord.required, interval) && !classes.count(interval) && !mayGo)
            faults << QStringLiteral("interval %1 missing").arg(interval);
        if (classes.count(interval) && !in(chord.chordTones() | 1, interval))
            faults << QStringLiteral("interval %1 not in the chord").arg(interval);
    }
    if (!tuning.reentrant() && (lowest - chord.root + 120) % 12 != 0)
        faults << QStringLiteral("the bass is not the root");

    // The hand: four fingers, each on one fret, rising with the fret; a finger across
    // strings lies at the lowest fret (the index) or the highest; the thumb only on the
    // lowest string; four frets at most.
    std::map<int, std::set<int>> fretsOf;
    std::map<int, std::vector<int>> stringsOf;
    int low = 99;
    int high = 0;
    for (int s = 0; s < strings; ++s) {
        const int fret = v.frets[s];
        const int finger = v.fingers[s];
        if (fret <= 0) {
            if (finger != 0)
                faults << QStringLiteral("a finger on open or muted string %1").arg(s);
            continue;
        }
        low = std::min(low, fret);
        high = std::max(high, fret);
        if (finger == Playability::thumbFinger) {
            if (s != 0 || !tuning.thumbOverLowest())
                faults << QStringLiteral("the thumb on string %1").arg(s);
            continue;
        }
        if (finger < 1 || finger > 4)
            faults << QStringLiteral("no finger on string %1").arg(s);
        fretsOf[finger].insert(fret);
        stringsOf[finger].push_back(s);
    }
    if (high > 0 && high - low + 1 > Fingering::defaultSpan)
        faults << QStringLiteral("the hand covers %1 frets").arg(high - low + 1);
    int previousFret = 0;
    for (const auto& [finger, frets] : fretsOf) {
        if (frets.size() > 1)
            faults << QStringLiteral("finger %1 on two frets").arg(finger);
        if (*frets.begin() < previousFret)
            faults << QStringLiteral("finger %1 below a lower finger").arg(finger);
        previousFret = *frets.begin();
        const auto& on = stringsOf[finger];
        if (on.size() < 2)
            continue;
        // The index barres over strings at or above its fret; another finger lies flat
        // only over strings all at the highest fret.
        const bool index = finger == 1;
        if (!index && *frets.begin() != high)
            faults << QStringLiteral("finger %1 across strings below the top").arg(finger);
        for (int s = on.front(); s <= on.back(); ++s) {
            if (index ? v.frets[s] < *frets.begin() : v.frets[s] != *frets.begin())
                faults << QStringLiteral("the barre over string %1").arg(s);
        }
    }
    return faults;
}

TEST(VoicingGenerator, EveryVoicingOfEveryType_SoundsItsChordAndFitsOneHand) {
    int checked = 0;
    for (const char* tuning : {"guitar", "dadgad", "banjo"}) {
        const Fretboard on = board(tuning);
        for (const ChordTones& chord : ChordTones::vocabulary(9)) {
            const QList<Voicing> found = VoicingGenerator::generate(chord, on);
            QSet<QList<qint16>> seen;
            for (const Voicing& v : found) {
                const QStringList faults = faultsOf(v, chord, on);
                EXPECT_TRUE(faults.isEmpty())
                    << tuning << " A" << text(chord.typeText) << " " << text(v.fretText())
                    << " fingered " << text(v.fingerText()) << ": " << text(faults.join(", "));
                EXPECT_FALSE(seen.contains(v.frets)) << text(v.fretText()) << " twice";
                seen.insert(v.frets);
                ++checked;
            }
        }
    }
    EXPECT_GT(checked, 10000);
}

} // namespace
