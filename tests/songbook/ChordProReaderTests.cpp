// ChordPro files read into songs: every directive and short form, chord lines, environments,
// define, transpose, and the lenient handling of what a file gets wrong.
#include "songbook/ChordProReader.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

QString kindText(Song::Line::Kind kind) {
    switch (kind) {
    case Song::Line::Kind::Lyrics:
        return QStringLiteral("L");
    case Song::Line::Kind::Comment:
        return QStringLiteral("C");
    case Song::Line::Kind::CommentItalic:
        return QStringLiteral("CI");
    case Song::Line::Kind::CommentBox:
        return QStringLiteral("CB");
    case Song::Line::Kind::Highlight:
        return QStringLiteral("H");
    case Song::Line::Kind::Tab:
        return QStringLiteral("T");
    case Song::Line::Kind::Grid:
        return QStringLiteral("G");
    case Song::Line::Kind::Text:
        return QStringLiteral("X");
    case Song::Line::Kind::Space:
        return QStringLiteral("_");
    case Song::Line::Kind::ChordBoxes:
        return QStringLiteral("B");
    case Song::Line::Kind::NewPage:
        return QStringLiteral("NP");
    }
    return {};
}

QString blockText(Song::Block::Kind kind) {
    switch (kind) {
    case Song::Block::Kind::Plain:
        return {};
    case Song::Block::Kind::Verse:
        return QStringLiteral("verse");
    case Song::Block::Kind::Chorus:
        return QStringLiteral("chorus");
    case Song::Block::Kind::Bridge:
        return QStringLiteral("bridge");
    case Song::Block::Kind::Tab:
        return QStringLiteral("tab");
    case Song::Block::Kind::Grid:
        return QStringLiteral("grid");
    case Song::Block::Kind::Other:
        return QStringLiteral("other");
    }
    return {};
}

QString numbers(const auto& values) {
    QStringList marks;
    for (const auto v : values)
        marks << (v < 0 ? QStringLiteral("x") : QString::number(v));
    return marks.join(u'-');
}

// A song in one line: its metadata, blocks ({kind:label}), lines (KIND:text with marks as
// chord@index, +N for a transposition, s/f for the accidentals asked, * for an annotation)
// and shapes.
QString describe(const Song& song) {
    QStringList parts;
    const auto field = [&](const char* name, const QString& value) {
        if (!value.isEmpty())
            parts << QString::fromLatin1(name) + u'=' + value;
    };
    field("title", song.title);
    field("subtitle", song.subtitles.join(u'|'));
    field("artist", song.artists.join(u'|'));
    field("composer", song.composers.join(u'|'));
    field("lyricist", song.lyricists.join(u'|'));
    field("album", song.album);
    field("year", song.year);
    field("copyright", song.copyright);
    field("key", song.key);
    field("capo", song.capo);
    field("tempo", song.tempo);
    field("time", song.time);
    field("duration", song.duration);
    if (song.diagrams)
        parts << (*song.diagrams ? QStringLiteral("diagrams") : QStringLiteral("no diagrams"));
    for (const Song::Block& block : song.blocks) {
        if (block.kind != Song::Block::Kind::Plain || !block.label.isEmpty() || block.recalled)
            parts << QStringLiteral("{%1%2%3}")
                         .arg(blockText(block.kind),
                              block.label.isEmpty() ? QString() : u':' + block.label,
                              block.recalled ? QStringLiteral(" again") : QString());
        for (const Song::Line& line : block.lines) {
            QString text = kindText(line.kind);
            if (!line.text.isEmpty())
                text += u':' + line.text;
            QStringList marks;
            for (const Song::Mark& m : line.marks) {
                QString mark = (m.annotation ? QStringLiteral("*") : QString()) + m.written + u'@' +
                               QString::number(m.at);
                if (m.transpose != 0)
                    mark +=
                        (m.transpose > 0 ? u'+' : u'-') + QString::number(std::abs(m.transpose));
                if (m.accidentals == Song::Accidentals::Sharps)
                    mark += u's';
                if (m.accidentals == Song::Accidentals::Flats)
                    mark += u'f';
                marks << mark;
            }
            if (!marks.isEmpty())
                text += u'[' + marks.join(u',') + u']';
            parts << text;
        }
    }
    for (const Song::Shape& shape : song.shapes)
        parts << QStringLiteral("%1 %2 %3%4%5")
                     .arg(shape.inPlace ? QStringLiteral("chord") : QStringLiteral("define"),
                          shape.name, numbers(shape.frets),
                          shape.fingers.isEmpty() ? QString()
                                                  : QStringLiteral(" f") + numbers(shape.fingers),
                          shape.forInstrument ? QStringLiteral(" (instrument)") : QString());
    return parts.join(QStringLiteral(" / "));
}

struct ReadCase {
    const char* what;
    const char* text;
    const char* song;          // describe() of the first song
    QStringList warnings = {}; // "line: words in the warning", in order
    const char* instrument = "guitar";
};

const ReadCase readCases[] = {
    {"metadata, long forms",
     "{title: Swing Low}\n{subtitle: Spiritual}\n{artist: Ann}\n{composer: Bob}\n"
     "{lyricist: Cy}\n{album: Songs}\n{year: 1909}\n{copyright: Public}\n{key: D}\n{capo: 2}\n"
     "{tempo: 72}\n{time: 4/4}\n{duration: 3:10}",
     "title=Swing Low / subtitle=Spiritual / artist=Ann / composer=Bob / lyricist=Cy / "
     "album=Songs / year=1909 / copyright=Public / key=D / capo=2 / tempo=72 / time=4/4 / "
     "duration=3:10"},
    {"short forms, any case, colon or blank, meta",
     "{T:Low}\n{st Spiritual}\n{ meta : artist Ann }\n{meta: key Bb}\n{meta: mood calm}",
     "title=Low / subtitle=Spiritual / artist=Ann / key=Bb"},
    {"lyrics with chords, annotations and a chord line",
     "Swing [D]low, sweet [G]chari[D]ot\n[*Rit.]slow [N.C.]stop\n[G]  [C] [D7]",
     "L:Swing low, sweet chariot[D@6,G@17,D@22] / L:slow stop[*Rit.@0,*N.C.@5] / "
     "L:   [G@0,C@2,D7@3]"},
    {"comments",
     "{comment: Verse 1}\n{c: Slowly}\n{comment_italic: softly}\n{ci: quiet}\n"
     "{comment_box: Coda}\n{cb: End}\n{highlight: Key change}\n{c: Intro [G] [C]}",
     "C:Verse 1 / C:Slowly / CI:softly / CI:quiet / CB:Coda / CB:End / H:Key change / "
     "C:Intro  [G@6,C@7]"},
    {"chorus, verse and bridge with labels, and the chorus recalled",
     "{start_of_chorus: Chorus 1}\n[D]Swing low\n{end_of_chorus}\n{sov}\nI looked\n{eov}\n"
     "{start_of_verse label=\"Verse 2\"}\nIf you\n{end_of_verse}\n{sob}\nOver\n{eob}\n"
     "{chorus}\n{soc}\nOnce\n{eoc}\n{chorus: Last}",
     "{chorus:Chorus 1} / L:Swing low[D@0] / {verse} / L:I looked / {verse:Verse 2} / L:If you / "
     "{bridge} / L:Over / {chorus:Chorus 1 again} / L:Swing low[D@0] / {chorus} / L:Once / "
     "{chorus:Last again} / L:Once"},
    {"a chorus recalled after a transposition moves with it",
     "{soc}\n[C]Up\n{eoc}\n{transpose: 2}\n{chorus}",
     "{chorus} / L:Up[C@0] / {chorus again} / L:Up[C@0+2]"},
    {"tab verbatim, its directives still read",
     "{start_of_tab}\ne|--0--|\n# not a comment here\n\tB|-1-|   \n{c: tab note}\n{end_of_tab}\n"
     "{sot}\n[C] stays text\n{eot}",
     "{tab} / T:e|--0--| / T:# not a comment here / T:        B|-1-| / C:tab note / {tab} / "
     "T:[C] stays text"},
    {"a grid: chords in the cells, margins and symbols not",
     "{start_of_grid 1+4x2+1 Intro}\nA || Am . | C~G . | % . :| x2\n{eog}\n{sog}\n| D7 |\n{eog}",
     "{grid:Intro} / G:A || Am . | C~G . | % . :| x2[Am@5,C@12,G@14] / {grid} / G:| D7 |[D7@2]"},
    {"custom and delegated sections",
     "{start_of_intro}\n[Am]Hum\n{end_of_intro}\n{start_of_abc}\nX:1\n{end_of_abc}\n"
     "{start_of_svg}\n<svg/>\n{end_of_svg}",
     "{other:Intro} / L:Hum[Am@0] / {other} / T:X:1",
     {"7: SVG"}},
    {"define with muted strings as x, N and -1, fingers, base fret, and the old form",
     "{t: D}\n{define: Bes base-fret 1 frets 1 1 3 3 3 1 fingers 1 1 2 3 4 1}\n"
     "{define: As base-fret 4 frets 1 3 3 2 1 1 fingers 1 3 4 2 1 1}\n"
     "{define: D7 frets x N 0 2 1 -1 fingers - x 0 2 1 X}\n{define: G 1 3 2 0 0 0 3}\n"
     "{define G7: base-fret 1 frets 3 2 0 0 0 1}",
     "title=D / define Bes 1-1-3-3-3-1 f1-1-2-3-4-1 / define As 4-6-6-5-4-4 f1-3-4-2-1-1 / "
     "define D7 x-x-0-2-1-x f0-0-0-2-1-0 / define G 3-2-0-0-0-3 / define G7 3-2-0-0-0-1"},
    {"a define for the ukulele, read on the ukulele",
     "{t: D}\n{define-ukulele: Am frets 2 0 0 0}\n{define-guitar: Am frets x 0 2 2 1 0}\n"
     "{define-mandolin!: C frets 0 0 0 3}",
     "title=D / define Am 2-0-0-0 (instrument) / define C 0-0-0-3 (instrument)",
     {},
     "ukulele"},
    {"a define for the ukulele, read on the guitar",
     "{define-ukulele: Am frets 2 0 0 0}\n{define-guitar: Am frets x 0 2 2 1 0}\n"
     "{start_of_verse-ukulele}\nuke only\n{end_of_verse}\nall",
     "L:all / define Am x-0-2-2-1-0 (instrument)"},
    {"defines that make no shape",
     "{define: Q base-fret 1 frets 1 2 q 3 3 1}\n{define: R base-fret 0 frets 1 1 1 1 1 1}\n"
     "{define: S frets 1 1 3 3 3 1 fingers 1 2}\n{define: K keys 0 4 7}\n{t: D}",
     "title=D / define S 1-1-3-3-3-1",
     {"1: 'q' is not a fret", "2: base-fret", "3: 2 fingers for 6 frets"}},
    {"chord diagrams in place, with and without a shape",
     "{chord: Am}\n{chord: [C] base-fret 1 frets x 3 2 0 1 0}\nthen",
     "B[Am@0,C@0] / L:then / chord C x-3-2-0-1-0"},
    {"diagrams off and on, and the old grid/no_grid", "{t: D}\n{diagrams: off}",
     "title=D / no diagrams"},
    {"diagrams on", "{t: D}\n{ng}\n{diagrams}", "title=D / diagrams"},
    {"nested transpose, its end and its accidentals",
     "[C]a\n{transpose: 2}\n[C]b\n{transpose: -5f}\n[C]c\n{transpose}\n[C]d\n{transpose: +1s}\n"
     "[C]e\n{transpose}\n{transpose}\n[C]f\n{transpose}\n{transpose: two}",
     "L:a[C@0] / L:b[C@0+2] / L:c[C@0-3f] / L:d[C@0+2] / L:e[C@0+3s] / L:f[C@0]",
     {"13: ends no transposition", "14: 'two'"}},
    {"CRLF, trailing blanks, # comments, blank lines and a continued line",
     "{title: Low}\r\n# a note\r\n\r\n\r\n[D]Swing  \r\nlow and \\\r\n   sweet\r\n\r\n",
     "title=Low / L:Swing[D@0] / L:low and sweet"},
    {"new_page and new_physical_page", "one\n{new_page}\ntwo\n{npp}", "L:one / NP / L:two / NP"},
    {"unknown and malformed lines are printed as text, once each",
     "{foo: bar}\n{title: Low\n[G]half [chord\n{}\n{x_app: ignored}\n{textsize: 12}\n"
     "{eoc}\n{chordcolour: red}\n{image: src=a.png}",
     "X:{foo: bar} / X:{title: Low / L:half [chord[G@0] / X:{}",
     {"1: unknown directive 'foo'", "2: closing '}'", "3: '['", "4: without a name",
      "7: end_of_chorus without its start", "9: images"}},
    {"a section left open, and one opened inside another",
     "{soc}\nla\n{sov}\nlo",
     "{chorus} / L:la / {verse} / L:lo",
     {"3: start_of_verse inside start_of_chorus", "3: start_of_verse is never ended"}},
};

TEST(ChordProReader, ReadsEveryDirectiveAndLine) {
    for (const ReadCase& c : readCases) {
        SCOPED_TRACE(c.what);
        QList<SongWarning> warnings;
        ChordProReader::Options options;
        options.instrument = QString::fromLatin1(c.instrument);
        const QList<Song> songs = ChordProReader::read(QString::fromUtf8(c.text),
                                                       QStringLiteral("s.cho"), options, warnings);
        ASSERT_FALSE(songs.isEmpty());
        EXPECT_EQ(describe(songs.first()).toStdString(), c.song);
        QStringList seen;
        for (const SongWarning& w : warnings) {
            seen << w.text();
            EXPECT_EQ(w.file.toStdString(), "s.cho");
        }
        ASSERT_EQ(seen.size(), c.warnings.size()) << seen.join(u'\n').toStdString();
        for (qsizetype i = 0; i < seen.size(); ++i) {
            const QString line = c.warnings[i].section(u':', 0, 0);
            const QString words = c.warnings[i].section(u':', 1).trimmed();
            EXPECT_TRUE(seen[i].startsWith(QStringLiteral("s.cho:") + line + u':'))
                << seen[i].toStdString();
            EXPECT_TRUE(seen[i].contains(words)) << seen[i].toStdString();
        }
    }
}

TEST(ChordProReader, NewSongSplitsAFileAndEmptySongsDrop) {
    QList<SongWarning> warnings;
    const QList<Song> songs = ChordProReader::read(
        QStringLiteral("{t: One}\n{define: X frets 0 0 0 0 0 0}\n{soc}\n[C]a\n{eoc}\n{ns}\n"
                       "{t: Two}\n{chorus}\n{transpose}\n{new_song}\n# nothing\n{ns}\n"),
        QStringLiteral("s.cho"), {}, warnings);
    ASSERT_EQ(songs.size(), 2);
    EXPECT_EQ(songs[0].title, QStringLiteral("One"));
    EXPECT_EQ(songs[1].title, QStringLiteral("Two"));
    EXPECT_EQ(songs[1].line, 6);
    // Shapes, choruses and transpositions belong to their song.
    EXPECT_TRUE(songs[1].shapes.isEmpty());
    ASSERT_EQ(songs[1].blocks.size(), 1);
    EXPECT_TRUE(songs[1].blocks[0].lines.isEmpty());
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_EQ(warnings[0].line, 9);
    // Nothing but comments holds no song.
    EXPECT_TRUE(ChordProReader::read(QStringLiteral("# a\n\n"), {}, {}, warnings).isEmpty());
}

} // namespace
