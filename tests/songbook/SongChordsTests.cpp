// A song's chords named and voiced for a player: transposition and its spelling by key, capo
// shapes, the file's shapes, chords that cannot be voiced, voice leading.
#include "catalogue/ChordFinder.h"
#include "songbook/ChordProReader.h"
#include "songbook/ChordSpelling.h"
#include "songbook/SongChords.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

namespace {

struct Resolved {
    Song song;
    QList<SongWarning> warnings;

    // The names printed over the words, in reading order.
    QString shown() const {
        QStringList names;
        for (const Song::Mark* mark : song.marks())
            names << mark->shown;
        return names.join(u' ');
    }
    // The chords with a box in the strip, in order of first use.
    QString strip() const {
        QStringList names;
        for (const Song::Chord& chord : song.chords) {
            if (chord.inStrip && chord.voicing)
                names << chord.name;
        }
        return names.join(u' ');
    }
    const Song::Chord& chord(const char* name) const {
        for (const Song::Chord& chord : song.chords) {
            if (chord.name == QLatin1String(name))
                return chord;
        }
        ADD_FAILURE() << "no chord " << name;
        return song.chords.first();
    }
};

Resolved resolve(const char* text, SongChords::Options options = {},
                 const QString& instrument = QStringLiteral("guitar")) {
    Resolved r;
    ChordProReader::Options reading;
    reading.instrument = instrument;
    const QList<Song> songs =
        ChordProReader::read(QString::fromUtf8(text), QStringLiteral("s.cho"), reading, r.warnings);
    EXPECT_EQ(songs.size(), 1);
    r.song = songs.value(0);
    SongChords::resolve(r.song, options, r.warnings);
    return r;
}

SongChords::Options moved(int transpose, std::optional<int> capo = std::nullopt) {
    SongChords::Options o;
    o.transpose = transpose;
    o.capo = capo;
    return o;
}

struct NameCase {
    const char* what;
    const char* text;
    SongChords::Options options;
    const char* shown;
    const char* key = "";      // the key printed in the heading
    const char* sounding = ""; // what it sounds with the capo
    int capo = 0;
};

const NameCase nameCases[] = {
    {"D to E with +2", "{key: D}\n[D]a [G]b [A7]c [Bm]d [F#m]e [D/F#]f", moved(2),
     "E A B7 C#m G#m E/G#", "E"},
    {"flats in F", "{key: C}\n[C]a [Dm]b [G7]c [F]d [A#dim]e", moved(5), "F Gm C7 Bb Ebdim", "F"},
    {"sharps in B", "{key: F}\n[F]a [Bb]b [C7]c [E7]d", moved(6), "B E F#7 A#7", "B"},
    {"back to F, in flats", "{key: B}\n[B]a [E]b [F#7]c [A#7]d", moved(-6), "F Bb C7 E7", "F"},
    {"the writer's type spelling kept",
     "{key: Bb}\n[Bbmaj7]a [Cmi7]b [F7sus4]c [Ebmaj7/G]d [C6/9]e [Bb(add9)]f [Bb\u0394]g", moved(2),
     "Cmaj7 Dmi7 G7sus4 Fmaj7/A D6/9 C(add9) C\u0394", "C"},
    {"minor keys: D minor to Eb minor, in flats", "{key: Dm}\n[Dm]a [A7]b [Gm]c [C]d", moved(1),
     "Ebm Bb7 Abm Db", "Ebm"},
    {"no key: the first chord's", "[Em]a [B7]b [C]c", moved(-1), "Ebm Bb7 B"},
    {"chords that do not move keep their spelling", "{key: F}\n[A#]a [Gb]b [c]c", moved(0),
     "A# Gb c", "F"},
    {"the file's transposition moves the key printed", "{key: C}\n{transpose: 2}\n[C]a [F]b",
     moved(1), "Eb Ab", "Eb"},
    {"an octave moves nothing", "{key: F}\n[A#]a", moved(12), "A#", "F"},
    {"the file's transpose asks for sharps or flats",
     "{key: F}\n{transpose: 1s}\n[F]a [Bb]b\n{transpose}\n{transpose: 1f}\n[C]c\n{transpose}\n"
     "{transpose: 1}\n[C]d [F]e",
     moved(0), "F# B Db C# F#", "F#"},
    {"a key change on the way", "{key: G}\n[G]a [D]b\n{key: F}\n[F]c [Bb]d", moved(1), "Ab Eb F# B",
     "Ab"},
    {"capo 2: C shapes for a song in D", "{key: D}\n[D]a [G]b [A]c [Bm]d", moved(0, 2), "C F G Am",
     "C", "D", 2},
    {"the file's capo: shapes as written", "{key: C}\n{capo: 2}\n[C]a [G]b", moved(0), "C G", "C",
     "D", 2},
    {"capo 0 takes the file's capo off", "{key: C}\n{capo: 2}\n[C]a [G]b", moved(0, 0), "D A", "D"},
    {"transposed and capoed", "{key: C}\n[C]a [F]b", moved(2, 2), "C F", "C", "D", 2},
};

TEST(SongChords, NamesAsPrinted) {
    for (const NameCase& c : nameCases) {
        SCOPED_TRACE(c.what);
        const Resolved r = resolve(c.text, c.options);
        EXPECT_EQ(r.shown().toStdString(), c.shown);
        EXPECT_EQ(r.song.printedKey.toStdString(), c.key);
        EXPECT_EQ(r.song.soundingKey.toStdString(), c.sounding);
        EXPECT_EQ(r.song.board.capo(), c.capo);
        EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.first().text().toStdString();
    }
}

TEST(ChordSpelling, KeysAndTheirAccidentals) {
    using S = ChordSpelling;
    const struct {
        const char* key;
        const char* name;
        S::Accidentals accidentals;
    } keys[] = {
        {"C", "C", S::Accidentals::Plain},         {"am", "Am", S::Accidentals::Plain},
        {"F", "F", S::Accidentals::Flats},         {"Bb", "Bb", S::Accidentals::Flats},
        {"Gb", "F#", S::Accidentals::Sharps},      {"D#m", "Ebm", S::Accidentals::Flats},
        {"B", "B", S::Accidentals::Sharps},        {"G# minor", "G#m", S::Accidentals::Sharps},
        {"C# major", "Db", S::Accidentals::Flats}, {"e min", "Em", S::Accidentals::Sharps},
    };
    for (const auto& k : keys) {
        const auto key = S::readKey(QString::fromUtf8(k.key));
        ASSERT_TRUE(key) << k.key;
        EXPECT_EQ(S::keyName(*key).toStdString(), k.name);
        EXPECT_EQ(S::accidentalsOf(*key), k.accidentals) << k.key;
    }
    for (const char* bad : {"", "H", "Bbx", "C dorian", "major"})
        EXPECT_FALSE(S::readKey(QString::fromUtf8(bad))) << bad;
}

TEST(SongChords, StripInOrderOfFirstUse_FileShapesFirst) {
    const Resolved r =
        resolve("{chord: Am}\n{c: Intro [E7]}\n[G]a [C]b [G]c [D]d [*Coda] [N.C.]", moved(0));
    EXPECT_EQ(r.strip().toStdString(), "G C D");
    EXPECT_FALSE(r.chord("Am").inStrip);
    EXPECT_FALSE(r.chord("E7").inStrip);
    EXPECT_TRUE(r.chord("Am").voicing);

    const struct {
        const char* what;
        const char* text;
        QString instrument;
        const char* chord;
        const char* frets;
        const char* fingers;
        bool defined;
        QStringList warnings = {};
    } cases[] = {
        {"a define with its fingers", "{define: C frets x 3 5 5 5 3 fingers 0 1 2 3 4 1}\n[C]a",
         QStringLiteral("guitar"), "C", "x-3-5-5-5-3", "x-1-2-3-4-1", true},
        {"fingers found for a define without them", "{define: G frets 3 2 0 0 3 3}\n[G]a",
         QStringLiteral("guitar"), "G", "3-2-0-0-3-3", "2-1-0-0-3-4", true},
        {"a name only the file knows", "{define: Bes frets 1 1 3 3 3 1}\n[Bes]a",
         QStringLiteral("guitar"), "Bes", "1-1-3-3-3-1", "1-1-3-3-3-1", true},
        {"a define before a chord shape, an instrument's before a plain one",
         "{chord: C frets x 3 2 0 1 0}\n{define: C frets 8 10 10 9 8 8}\n"
         "{define-ukulele: C frets 0 0 0 3}\n{define: C frets 5 4 3 3}\n[C]a",
         QStringLiteral("ukulele"), "C", "0-0-0-3", "0-0-0-1", true},
        {"a guitar's define on the ukulele",
         "{define: C frets x 3 2 0 1 0}\n[C]a",
         QStringLiteral("ukulele"),
         "C",
         "0-0-0-3",
         "0-0-0-1",
         false,
         {QStringLiteral("s.cho:1: the shape of 'C' has 6 strings, the ukulele 4; another is "
                         "drawn")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SongChords::Options options;
        options.tuning = *Tuning::preset(c.instrument);
        const Resolved r = resolve(c.text, options, c.instrument);
        const Song::Chord& chord = r.chord(c.chord);
        ASSERT_TRUE(chord.voicing);
        EXPECT_EQ(chord.voicing->fretText().toStdString(), c.frets);
        EXPECT_EQ(chord.voicing->fingerText().toStdString(), c.fingers);
        EXPECT_EQ(chord.defined, c.defined);
        QStringList seen;
        for (const SongWarning& w : r.warnings)
            seen << w.text();
        EXPECT_EQ(seen, c.warnings);
    }
}

TEST(SongChords, WhatCannotBeVoicedIsTextWithOneWarning) {
    SongChords::Options cigarBox;
    cigarBox.tuning = *Tuning::preset(u"cigar-box");
    const Resolved r = resolve("[C]a [Hm7]b\n[C13]c [Hm7]d [C13]e\n{define: X frets 1 2 3 4 5 6}\n"
                               "[X]f",
                               cigarBox, QStringLiteral("cigar-box"));
    EXPECT_EQ(r.shown().toStdString(), "C Hm7 C13 Hm7 C13 X");
    EXPECT_EQ(r.strip().toStdString(), "C");
    QStringList seen;
    for (const SongWarning& w : r.warnings)
        seen << w.text();
    ASSERT_EQ(seen.size(), 3) << seen.join(u'\n').toStdString();
    EXPECT_TRUE(seen[0].startsWith(QLatin1String("s.cho:1: 'Hm7' is printed as text")));
    EXPECT_TRUE(seen[1].startsWith(QLatin1String("s.cho:2: no voicing of 'C13' on the cigar-box")));
    EXPECT_TRUE(seen[2].startsWith(QLatin1String("s.cho:3: the shape of 'X' has 6 strings")));

    const Resolved capo = resolve("{capo: 13}\n[C]a");
    ASSERT_EQ(capo.warnings.size(), 1);
    EXPECT_EQ(capo.warnings[0].line, 1);
    EXPECT_EQ(capo.song.board.capo(), 0);
}

// The distance the hand and voices move between two voicings on the guitar.
int distance(const Voicing& from, const Voicing& to, const Fretboard& board) {
    const auto notes = [&](const Voicing& v) {
        std::vector<int> n;
        for (qsizetype s = 0; s < v.frets.size(); ++s)
            n.push_back(v.frets[s] < 0 ? -1 : board.note(int(s), v.frets[s]));
        return n;
    };
    return ChordFinder::voiceLeadingDistance(notes(from), from.position, notes(to), to.position);
}

TEST(SongChords, VoiceLeadingMovesLessThanTheEasiestShapes) {
    const char* song = "[C]a [Am]b [F]c [G]d [Em7]e [Dm7]f [G7]g [Cmaj7]h [A7]i [Dm]j";
    const Resolved easiest = resolve(song);
    SongChords::Options near;
    near.voiceLead = true;
    const Resolved led = resolve(song, near);
    ASSERT_EQ(led.song.chords.size(), easiest.song.chords.size());
    EXPECT_EQ(led.song.chords[0].voicing->frets, easiest.song.chords[0].voicing->frets);
    int differ = 0;
    for (qsizetype i = 1; i < led.song.chords.size(); ++i) {
        const Voicing& previous = *led.song.chords[i - 1].voicing;
        const Voicing& chosen = *led.song.chords[i].voicing;
        const Voicing& plain = *easiest.song.chords[i].voicing;
        EXPECT_LE(distance(previous, chosen, led.song.board),
                  distance(previous, plain, led.song.board))
            << led.song.chords[i].name.toStdString();
        differ += chosen.frets != plain.frets;
    }
    EXPECT_GT(differ, 0);
}

} // namespace
