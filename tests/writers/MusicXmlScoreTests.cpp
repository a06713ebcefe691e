#include "catalogue/ChordSymbol.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordVocabulary.h"
#include "catalogue/PitchClass.h"
#include "chart/ChordDiagram.h"
#include "fretboard/Fretboard.h"
#include "support/FileTestSupport.h"
#include "support/Printers.h"
#include "support/XmlTree.h"
#include "writers/MusicXmlScore.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

Fretboard board(const char* tuning, int capo = 0) {
    return Fretboard(*Tuning::preset(QString::fromLatin1(tuning)), capo);
}

// A diagram of FRETS on `board` with a finger per string ("x-3-2-0-1-0", "T" the thumb) and
// the notes the strings sound.
ChordDiagram diagram(const Fretboard& board, const char* frets, const char* fingers) {
    const QStringList stops = QString::fromLatin1(frets).split(u'-');
    const QStringList marks = QString::fromLatin1(fingers).split(u'-');
    ChordDiagram d;
    d.capo = board.capo();
    for (int s = 0; s < stops.size(); ++s) {
        ChordDiagram::String string;
        string.fret = stops[s] == u"x" ? ChordDiagram::muted : stops[s].toInt();
        string.finger = marks[s] == u"T" ? ChordDiagram::thumb : marks[s].toInt();
        if (string.fret >= 0)
            string.note = ChordTheory::PitchNames[PitchClass::ofNote(board.note(s, string.fret))];
        d.strings << string;
    }
    return d;
}

MusicXmlScore::Chord chord(const QString& name, const ChordDiagram& diagram) {
    return {name, ChordSymbol::parse(name), diagram};
}

MusicXmlScore::Score scoreOf(const Fretboard& on, const QList<MusicXmlScore::Chord>& chords) {
    return {QStringLiteral("Lesson"), QStringLiteral("Guitar"), on, chords};
}

QList<XmlTree> measures(const MusicXmlScore::Score& score) {
    return XmlTree::parse(MusicXmlScore::encode(score))
        .child(QStringLiteral("part"))
        .all(QStringLiteral("measure"));
}

// MusicXML's chord kinds as it defines them: degree and semitones above the root of each
// tone. "other" is a root that degrees are added to.
const QMap<QString, QString>& kindTones() {
    static const QMap<QString, QString> kinds{
        {"major", "1:0 3:4 5:7"},
        {"minor", "1:0 3:3 5:7"},
        {"augmented", "1:0 3:4 5:8"},
        {"diminished", "1:0 3:3 5:6"},
        {"dominant", "1:0 3:4 5:7 7:10"},
        {"major-seventh", "1:0 3:4 5:7 7:11"},
        {"minor-seventh", "1:0 3:3 5:7 7:10"},
        {"diminished-seventh", "1:0 3:3 5:6 7:9"},
        {"augmented-seventh", "1:0 3:4 5:8 7:10"},
        {"half-diminished", "1:0 3:3 5:6 7:10"},
        {"major-minor", "1:0 3:3 5:7 7:11"},
        {"major-sixth", "1:0 3:4 5:7 6:9"},
        {"minor-sixth", "1:0 3:3 5:7 6:9"},
        {"dominant-ninth", "1:0 3:4 5:7 7:10 9:2"},
        {"major-ninth", "1:0 3:4 5:7 7:11 9:2"},
        {"minor-ninth", "1:0 3:3 5:7 7:10 9:2"},
        {"dominant-11th", "1:0 3:4 5:7 7:10 9:2 11:5"},
        {"major-11th", "1:0 3:4 5:7 7:11 9:2 11:5"},
        {"minor-11th", "1:0 3:3 5:7 7:10 9:2 11:5"},
        {"dominant-13th", "1:0 3:4 5:7 7:10 9:2 11:5 13:9"},
        {"major-13th", "1:0 3:4 5:7 7:11 9:2 11:5 13:9"},
        {"minor-13th", "1:0 3:3 5:7 7:10 9:2 11:5 13:9"},
        {"suspended-second", "1:0 2:2 5:7"},
        {"suspended-fourth", "1:0 4:5 5:7"},
        {"power", "1:0 5:7"},
        {"pedal", "1:0"},
        {"other", "1:0"},
    };
    return kinds;
}

// What a reader of MusicXML builds from a <harmony>: the kind's tones, each degree added
// (its alteration counted from a dominant chord's degree), altered or taken out (counted
// from the kind's own degree on that step); pitch classes above the root. -1 for a kind or
// degree that does not read.
int pitchClassesOf(const XmlTree& harmony) {
    const auto step = [](int degree) { return (degree - 1) % 7; };
    QMap<int, int> tones; // step -> semitones
    const QString kind = harmony.textAt(QStringLiteral("kind"));
    if (!kindTones().contains(kind))
        return -1;
    for (const QString& tone : kindTones()[kind].split(u' '))
        tones.insert(step(tone.section(u':', 0, 0).toInt()), tone.section(u':', 1).toInt());
    QList<int> added;
    for (const XmlTree& degree : harmony.all(QStringLiteral("degree"))) {
        const int value = degree.textAt(QStringLiteral("degree-value")).toInt();
        const int alter = degree.textAt(QStringLiteral("degree-alter")).toInt();
        const QString type = degree.textAt(QStringLiteral("degree-type"));
        if (type == u"add") {
            static constexpr int dominant[] = {0, 2, 4, 5, 7, 9, 10};
            added << dominant[step(value)] + alter;
        } else if (tones.contains(step(value)) && type == u"alter") {
            tones[step(value)] += alter;
        } else if (tones.contains(step(value)) && type == u"subtract") {
            tones.remove(step(value));
        } else {
            return -1;
        }
    }
    int set = 0;
    for (const int semitones : tones.values() + added)
        set |= 1 << PitchClass::mod12(semitones);
    return set;
}

// "B-1", "A+1", "C": a root-step or bass-step with its alteration.
QString spelled(const XmlTree& parent, const QString& prefix) {
    const QString step = parent.textAt(prefix + QStringLiteral("-step"));
    const int alter = parent.textAt(prefix + QStringLiteral("-alter")).toInt();
    return alter == 0 ? step : step + (alter > 0 ? u'+' : u'-') + QString::number(std::abs(alter));
}

// "6/5@1 5:3/3 4:2/2 3:0 2:1/1 1:0": frame strings, frets and first fret, then each frame-note
// as string:fret, "/finger", "<" starting and ">" ending a barre.
QString frameText(const XmlTree& frame) {
    QString text = frame.textAt(QStringLiteral("frame-strings")) + u'/' +
                   frame.textAt(QStringLiteral("frame-frets")) + u'@' +
                   frame.textAt(QStringLiteral("first-fret"));
    for (const XmlTree& note : frame.all(QStringLiteral("frame-note"))) {
        text += u' ' + note.textAt(QStringLiteral("string")) + u':' +
                note.textAt(QStringLiteral("fret"));
        if (note.has(QStringLiteral("fingering")))
            text += u'/' + note.textAt(QStringLiteral("fingering"));
        const QString barre = note.child(QStringLiteral("barre")).attributes.value("type");
        text += barre == u"start"  ? QStringLiteral("<")
                : barre == u"stop" ? QStringLiteral(">")
                                   : "";
    }
    return text;
}

} // namespace

TEST(MusicXmlScoreTests, EveryChordOfTheVocabularyMapsToAKindWhoseTonesAreItsOwn) {
    const Fretboard guitar = board("guitar");
    const ChordDiagram shape = diagram(guitar, "x-3-2-0-1-0", "0-3-2-0-1-0");
    QList<MusicXmlScore::Chord> chords;
    for (const ChordFormula& f : ChordVocabulary::formulas())
        chords << MusicXmlScore::Chord{QStringLiteral("C") + f.symbol, ChordSymbol(0, f), shape};
    const QList<XmlTree> written = measures(scoreOf(guitar, chords));
    ASSERT_EQ(written.size(), chords.size());
    for (qsizetype i = 0; i < chords.size(); ++i) {
        const ChordFormula& f = chords[i].symbol->formula();
        const XmlTree harmony = written[i].child(QStringLiteral("harmony"));
        EXPECT_EQ(pitchClassesOf(harmony), int(f.tones()))
            << f.symbol.toStdString() << " as " << harmony.textAt("kind").toStdString();
        EXPECT_EQ(harmony.child(QStringLiteral("kind")).attributes.value("text"), f.symbol)
            << f.symbol.toStdString();
    }

    // The chords MusicXML names itself take their own kind; the others the nearest, few
    // degrees added, altered or taken out.
    const struct {
        const char* symbol;
        const char* kindAndDegrees;
    } named[] = {
        {"", "major"},
        {"m", "minor"},
        {"aug", "augmented"},
        {"dim", "diminished"},
        {"7", "dominant"},
        {"maj7", "major-seventh"},
        {"m7", "minor-seventh"},
        {"dim7", "diminished-seventh"},
        {"7#5", "augmented-seventh"},
        {"m7b5", "half-diminished"},
        {"m(maj7)", "major-minor"},
        {"6", "major-sixth"},
        {"m6", "minor-sixth"},
        {"9", "dominant-ninth"},
        {"maj9", "major-ninth"},
        {"m9", "minor-ninth"},
        {"11", "dominant-11th"},
        {"m13", "minor-13th"},
        {"sus2", "suspended-second"},
        {"sus4", "suspended-fourth"},
        {"5", "power"},
        {"7sus4", "suspended-fourth add 7/0"},
        {"add9", "major add 9/0"},
        {"m(add9)", "minor add 9/0"},
        {"6/9", "major-sixth add 9/0"},
        {"7b9", "dominant add 9/-1"},
        {"13", "dominant-ninth add 13/0"},
        {"9sus4", "dominant-11th subtract 3/0"},
        {"m11b5", "minor-11th alter 5/-1"},
        {"(no5)", "major subtract 5/0"},
    };
    for (const auto& n : named) {
        const auto at = std::find_if(chords.cbegin(), chords.cend(), [&](const auto& c) {
            return c.symbol->formula().symbol == QLatin1String(n.symbol);
        });
        ASSERT_NE(at, chords.cend()) << n.symbol;
        const XmlTree harmony = written[at - chords.cbegin()].child(QStringLiteral("harmony"));
        QString text = harmony.textAt(QStringLiteral("kind"));
        for (const XmlTree& d : harmony.all(QStringLiteral("degree")))
            text += u' ' + d.textAt(QStringLiteral("degree-type")) + u' ' +
                    d.textAt(QStringLiteral("degree-value")) + u'/' +
                    d.textAt(QStringLiteral("degree-alter"));
        EXPECT_EQ(text, QLatin1String(n.kindAndDegrees)) << n.symbol;
    }
}

TEST(MusicXmlScoreTests, RootAndBassAreSpelledAsTheNameWritesThem) {
    const Fretboard guitar = board("guitar");
    const ChordDiagram bFlat = diagram(guitar, "x-1-3-3-3-1", "0-1-3-3-3-1");
    const struct {
        MusicXmlScore::Chord chord;
        const char* root; // as spelled(); "(C)" a root that is not shown
        const char* kind;
        const char* kindText;
        const char* bass; // empty: none
    } cases[] = {
        {chord("Bb", bFlat), "B-1", "major", "", ""},
        {chord("A#m7", bFlat), "A+1", "minor-seventh", "m7", ""},
        {chord("Bbm7/Ab", bFlat), "B-1", "minor-seventh", "m7", "A-1"},
        {chord("Am/G#", bFlat), "A", "minor", "m", "G+1"},
        {chord("Cb", bFlat), "C-1", "major", "", ""},
        {chord("E#m", bFlat), "E+1", "minor", "m", ""},
        {chord("CΔ7/E", bFlat), "C", "major-seventh", "maj7", "E"},
        // A name that does not spell the chord: the program's own note names.
        {{QString(), ChordSymbol(1, *ChordVocabulary::bySymbol(u"m"), 3), bFlat},
         "C+1",
         "minor",
         "m",
         "E-1"},
        // A name that is no chord: as written after the root it begins with, the notes as
        // degrees above that root; without a root, above the lowest note, the root unshown.
        {{QStringLiteral("Bes"), std::nullopt, bFlat}, "B", "other", "es", ""},
        {{QStringLiteral("Riff"), std::nullopt, bFlat}, "(B-1)", "other", "Riff", ""},
        {{QStringLiteral("ending"), std::nullopt, bFlat}, "(B-1)", "other", "ending", ""},
        // Nothing sounds: no chord, and no frame.
        {{QStringLiteral("N.C."), std::nullopt, diagram(guitar, "x-x-x-x-x-x", "0-0-0-0-0-0")},
         "(C)",
         "none",
         "N.C.",
         ""},
        {chord("G7", diagram(guitar, "x-x-x-x-x-x", "0-0-0-0-0-0")), "G", "dominant", "7", ""},
    };
    QList<MusicXmlScore::Chord> chords;
    for (const auto& c : cases)
        chords << c.chord;
    const QList<XmlTree> written = measures(scoreOf(guitar, chords));
    ASSERT_EQ(written.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const XmlTree harmony = written[i].child(QStringLiteral("harmony"));
        const XmlTree root = harmony.child(QStringLiteral("root"));
        const bool shown = !root.child(QStringLiteral("root-step")).attributes.contains("text");
        const QString rootText = spelled(root, QStringLiteral("root"));
        EXPECT_EQ(shown ? rootText : u'(' + rootText + u')', QLatin1String(cases[i].root)) << i;
        EXPECT_EQ(harmony.textAt(QStringLiteral("kind")), QLatin1String(cases[i].kind)) << i;
        EXPECT_EQ(harmony.child(QStringLiteral("kind")).attributes.value("text"),
                  QString::fromUtf8(cases[i].kindText))
            << i;
        EXPECT_EQ(spelled(harmony.child(QStringLiteral("bass")), QStringLiteral("bass")),
                  QLatin1String(cases[i].bass))
            << i;
    }
    for (const size_t silent : {11, 12})
        EXPECT_FALSE(written[silent].child(QStringLiteral("harmony")).has(QStringLiteral("frame")));
    // Bb D F above B, and above Bb.
    EXPECT_EQ(pitchClassesOf(written[8].child(QStringLiteral("harmony"))), 0x849); // R b3 b5 7
    EXPECT_EQ(pitchClassesOf(written[9].child(QStringLiteral("harmony"))), 0x091); // R 3 5
}

TEST(MusicXmlScoreTests, FramesShowEverySoundingStringAsTheBoxDoes) {
    const struct {
        Fretboard on;
        const char* frets;
        const char* fingers;
        const char* frame;
        const char* clef; // sign, line, octave change
        const char* words;
    } cases[] = {
        // Open and muted strings: a muted string has no frame-note.
        {board("guitar"), "x-3-2-0-1-0", "0-3-2-0-1-0", "6/5@1 5:3/3 4:2/2 3:0 2:1/1 1:0", "G2-1",
         ""},
        // The first finger's barre from the lowest string to the highest.
        {board("guitar"), "1-3-3-2-1-1", "1-3-4-2-1-1",
         "6/5@1 6:1/1< 5:3/3 4:3/4 3:2/2 2:1/1 1:1/1>", "G2-1", ""},
        // Up the neck: the frame starts at the shape's fret; frets stay the neck's.
        {board("guitar"), "x-x-6-6-6-6", "0-0-1-1-1-1", "6/5@6 4:6/1< 3:6/1 2:6/1 1:6/1>", "G2-1",
         ""},
        // The thumb over the neck.
        {board("guitar"), "2-x-0-2-3-2", "T-0-0-1-3-2", "6/5@1 6:2/T 4:0 3:2/1 2:3/3 1:2/2", "G2-1",
         ""},
        // Under a capo the frets count from it; the first measure says where it sits.
        {board("guitar", 2), "x-0-2-2-1-0", "0-0-2-3-1-0", "6/5@1 5:0 4:2/2 3:2/3 2:1/1 1:0",
         "G2-1", "Capo 2"},
        {board("drop-d", 12), "0-0-0-2-3-2", "0-0-0-1-3-2", "6/5@1 6:0 5:0 4:0 3:2/1 2:3/3 1:2/2",
         "G2-1", "Tuning D2 A2 D3 G3 B3 E4, Capo 12"},
        // Four strings, the re-entrant G on string 4.
        {board("ukulele"), "0-0-0-3", "0-0-0-3", "4/5@1 4:0 3:0 2:0 1:3/3", "G2", ""},
        {board("bass"), "x-3-2-0", "0-3-2-0", "4/5@1 3:3/3 2:2/2 1:0", "F4-1", ""},
    };
    for (const auto& c : cases) {
        const QList<XmlTree> written = measures(
            scoreOf(c.on, {chord(QStringLiteral("C"), diagram(c.on, c.frets, c.fingers))}));
        ASSERT_EQ(written.size(), 1);
        const XmlTree frame =
            written[0].child(QStringLiteral("harmony")).child(QStringLiteral("frame"));
        EXPECT_EQ(frameText(frame), QLatin1String(c.frame)) << c.frets;
        EXPECT_EQ(frame.attributes.value("unplayed"), QStringLiteral("x"));
        const XmlTree clef =
            written[0].child(QStringLiteral("attributes")).child(QStringLiteral("clef"));
        EXPECT_EQ(clef.textAt(QStringLiteral("sign")) + clef.textAt(QStringLiteral("line")) +
                      clef.textAt(QStringLiteral("clef-octave-change")),
                  QLatin1String(c.clef))
            << c.frets;
        EXPECT_EQ(written[0].textAt(QStringLiteral("direction/direction-type/words")),
                  QLatin1String(c.words));
    }
}

TEST(MusicXmlScoreTests, WritesTheWholeFileOrNothing) {
    QTemporaryDir dir;
    const Fretboard guitar = board("guitar");
    const MusicXmlScore::Score score = scoreOf(
        guitar, {chord(QStringLiteral("C"), diagram(guitar, "x-3-2-0-1-0", "0-3-2-0-1-0")),
                 chord(QStringLiteral("Am"), diagram(guitar, "x-0-2-2-1-0", "0-0-2-3-1-0"))});
    const QString file = dir.filePath(QStringLiteral("song.musicxml"));
    QString reason;
    ASSERT_EQ(MusicXmlScore::write(file, score, &reason), WriteResult::Written)
        << reason.toStdString();
    const XmlTree tree = XmlTree::parse(FileTestSupport::readAll(file));
    EXPECT_EQ(tree.name, QStringLiteral("score-partwise"));
    EXPECT_EQ(tree.attributes.value("version"), QStringLiteral("4.0"));
    EXPECT_EQ(tree.textAt(QStringLiteral("work/work-title")), QStringLiteral("Lesson"));
    EXPECT_EQ(tree.textAt(QStringLiteral("part-list/score-part/part-name")),
              QStringLiteral("Guitar"));
    EXPECT_EQ(tree.child(QStringLiteral("part")).all(QStringLiteral("measure")).size(), 2);

    const QString missing = dir.filePath(QStringLiteral("missing/song.musicxml"));
    EXPECT_EQ(MusicXmlScore::write(missing, score, &reason), WriteResult::FolderMissing);
    EXPECT_EQ(reason, QStringLiteral("No such file or directory"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              QStringList{QStringLiteral("song.musicxml")});

    // Nothing to write, a diagram that cannot be drawn or one of another instrument.
    MusicXmlScore::Score empty = score;
    empty.chords.clear();
    MusicXmlScore::Score undrawable = score;
    undrawable.chords[1].diagram.strings[2].fret = ChordDiagram::maxFret + 1;
    MusicXmlScore::Score ukulele = score;
    ukulele.board = board("ukulele");
    for (const MusicXmlScore::Score& bad : {empty, undrawable, ukulele})
        FileTestSupport::expectFailure([&] { MusicXmlScore::write(file, bad); }, 5,
                                       QStringLiteral("Invalid procedure call or argument"));
}

TEST(MusicXmlScoreTests, ValidatesAgainstTheMusicXmlSchema) {
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        GTEST_SKIP() << "xmllint (libxml2-utils) is not installed";
    const QString schema = QStringLiteral(MUSICXML_SCHEMA);
    if (!QFile::exists(schema))
        GTEST_SKIP() << "the MusicXML schema is missing: " << schema.toStdString();
    QTemporaryDir dir;
    // Every chord of the vocabulary, names that are no chord, a capo, the thumb, a barre.
    const Fretboard capo = board("guitar", 3);
    QList<MusicXmlScore::Chord> chords;
    for (const ChordFormula& f : ChordVocabulary::formulas())
        chords << MusicXmlScore::Chord{QStringLiteral("Eb") + f.symbol + QStringLiteral("/G"),
                                       ChordSymbol(3, f, 7),
                                       diagram(capo, "2-x-0-2-3-2", "T-0-0-1-3-2")};
    chords << MusicXmlScore::Chord{QStringLiteral("Bes"), std::nullopt,
                                   diagram(capo, "1-3-3-2-1-1", "1-3-4-2-1-1")}
           << MusicXmlScore::Chord{QStringLiteral("Riff & <more>"), std::nullopt,
                                   diagram(capo, "x-x-6-6-6-6", "0-0-1-1-1-1")}
           << MusicXmlScore::Chord{QStringLiteral("N.C."), std::nullopt,
                                   diagram(capo, "x-x-x-x-x-x", "0-0-0-0-0-0")};
    MusicXmlScore::Score score = scoreOf(capo, chords);
    score.title = QStringLiteral("A title with \u0001 a control character");
    const QString file = dir.filePath(QStringLiteral("all.musicxml"));
    ASSERT_EQ(MusicXmlScore::write(file, score), WriteResult::Written);
    QProcess xmllintRun;
    xmllintRun.start(xmllint, {QStringLiteral("--noout"), QStringLiteral("--nonet"),
                               QStringLiteral("--schema"), schema, file});
    ASSERT_TRUE(xmllintRun.waitForFinished(60000));
    EXPECT_EQ(xmllintRun.exitCode(), 0) << xmllintRun.readAllStandardError().toStdString();
}

TEST(MusicXmlScoreTests, MuseScoreImportsTheChordsAndTheirDiagrams) {
    const QString mscore = QStandardPaths::findExecutable(QStringLiteral("mscore3"));
    if (mscore.isEmpty())
        GTEST_SKIP() << "MuseScore 3 (mscore3, Debian's musescore3) is not installed";
    QTemporaryDir dir;
    const Fretboard guitar = board("guitar");
    const QList<MusicXmlScore::Chord> chords{
        chord(QStringLiteral("C"), diagram(guitar, "x-3-2-0-1-0", "0-3-2-0-1-0")),
        chord(QStringLiteral("Am7"), diagram(guitar, "x-0-2-0-1-0", "0-0-2-0-1-0")),
        chord(QStringLiteral("F"), diagram(guitar, "1-3-3-2-1-1", "1-3-4-2-1-1")),
        chord(QStringLiteral("Bb/D"), diagram(guitar, "x-x-0-3-3-1", "0-0-0-3-4-1")),
    };
    const QString file = dir.filePath(QStringLiteral("song.musicxml"));
    ASSERT_EQ(MusicXmlScore::write(file, scoreOf(guitar, chords)), WriteResult::Written);
    const auto convert = [&](const QString& out) {
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(mscore, {QStringLiteral("-o"), out, file});
        EXPECT_TRUE(run.waitForFinished(120000));
        // MuseScore reports what it could not import as "Error at line L col C: ...".
        const QString log = QString::fromUtf8(run.readAll());
        EXPECT_EQ(run.exitCode(), 0) << log.toStdString();
        EXPECT_FALSE(log.contains(QStringLiteral("Error at"))) << log.toStdString();
        return FileTestSupport::readAll(out);
    };
    EXPECT_TRUE(convert(dir.filePath(QStringLiteral("song.pdf"))).startsWith("%PDF"));

    // MuseScore's own file of the import: per measure a harmony (roots as MuseScore's tonal
    // pitch classes: C 14, each fifth up one more, so A 17 and Bb 12) and a fret diagram
    // (strings from the lowest, 0).
    const XmlTree saved = XmlTree::parse(convert(dir.filePath(QStringLiteral("song.mscx"))));
    const QList<XmlTree> measuresRead = saved.child(QStringLiteral("Score"))
                                            .child(QStringLiteral("Staff"))
                                            .all(QStringLiteral("Measure"));
    ASSERT_EQ(measuresRead.size(), chords.size());
    const struct {
        const char* harmony; // root, name, bass
        const char* diagram; // string: marker or dot fret, then a barre
    } expected[] = {
        {"14", "0:cross 1:3 2:2 3:circle 4:1 5:circle"},
        {"17 m7", "0:cross 1:circle 2:2 3:circle 4:1 5:circle"},
        {"13", "0:1 1:3 2:3 3:2 4:1 5:1 barre 1 0-5"},
        {"12 base 16", "0:cross 1:cross 2:circle 3:3 4:3 5:1"},
    };
    for (qsizetype m = 0; m < measuresRead.size(); ++m) {
        const XmlTree voice = measuresRead[m].child(QStringLiteral("voice"));
        const XmlTree harmony = voice.child(QStringLiteral("Harmony"));
        QString harmonyText = harmony.textAt(QStringLiteral("root"));
        if (harmony.has(QStringLiteral("name")))
            harmonyText += u' ' + harmony.textAt(QStringLiteral("name"));
        if (harmony.has(QStringLiteral("base")))
            harmonyText += QStringLiteral(" base ") + harmony.textAt(QStringLiteral("base"));
        EXPECT_EQ(harmonyText, QLatin1String(expected[m].harmony)) << m;
        const XmlTree fret =
            voice.child(QStringLiteral("FretDiagram")).child(QStringLiteral("fretDiagram"));
        QStringList strings;
        for (const XmlTree& s : fret.all(QStringLiteral("string"))) {
            const XmlTree dot = s.child(QStringLiteral("dot"));
            strings << s.attributes.value("no") + u':' +
                           (dot.name.isEmpty() ? s.textAt(QStringLiteral("marker"))
                                               : dot.attributes.value("fret"));
        }
        const XmlTree barre = fret.child(QStringLiteral("barre"));
        if (!barre.name.isEmpty())
            strings << QStringLiteral("barre") << barre.text
                    << barre.attributes.value("start") + u'-' + barre.attributes.value("end");
        EXPECT_EQ(strings.join(u' '), QLatin1String(expected[m].diagram)) << m;
    }
}
