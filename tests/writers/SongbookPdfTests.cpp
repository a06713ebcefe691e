// Songbooks read back through poppler: the words and chord names are text, each chord stands
// over the word it was written before and words stay whole; several songs get a contents page
// and page numbers; left-handed boxes are the mirror image.
#include "songbook/ChordProReader.h"
#include "songbook/SongChords.h"
#include "support/PixelProbe.h"
#include "writers/SongbookPdf.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>

namespace {

QString poppler(const char* tool) {
    return QStandardPaths::findExecutable(QLatin1String(tool));
}

QByteArray runTool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    EXPECT_TRUE(process.waitForFinished(60000));
    return process.readAllStandardOutput();
}

QList<Song> songsOf(const char* text, const SongChords::Options& options = {}) {
    QList<SongWarning> warnings;
    QList<Song> songs =
        ChordProReader::read(QString::fromUtf8(text), QStringLiteral("s.cho"), {}, warnings);
    for (Song& song : songs)
        SongChords::resolve(song, options, warnings);
    return songs;
}

// A word as pdftotext -bbox gives it, in points from the page's top-left corner.
struct Word {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int page = 0;
};

QList<Word> wordsOf(const QString& pdf) {
    const QString html = QString::fromUtf8(
        runTool(poppler("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    static const QRegularExpression pattern(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> words;
    int page = 0;
    for (const QRegularExpressionMatch& m : pattern.globalMatch(html)) {
        if (m.captured(0) == u"<page ") {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        words << Word{text,
                      m.captured(1).toDouble(),
                      m.captured(2).toDouble(),
                      m.captured(3).toDouble(),
                      m.captured(4).toDouble(),
                      page};
    }
    return words;
}

QString write(const QTemporaryDir& dir, const char* name, const QList<Song>& songs,
              const SongbookPdf::Options& options = {}) {
    const QString path = dir.filePath(QLatin1String(name));
    SongbookPdf::write(path, songs, options);
    return path;
}

const char* const chariot = R"({title: Chariot Test}
{artist: Trad}
{key: D}
Swing [D]low, sweetest [G]chariot, comin' for to [A7]carry me [D]home
[Bm]Looking over [Em7]Jordan and [A7sus4]what did I see
I [A7sus4]go [D]now to the [A7sus4]ca[Bm7b5]ravan of swee[E7]test [C#m7b5]days
[G]  [A7]   [D]
)";

TEST(SongbookPdf, ChordsStandOverTheirWords_WordsStayWhole) {
    if (poppler("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QList<Word> words = wordsOf(write(dir, "song.pdf", songsOf(chariot)));
    // The lowest word of that text: lyrics and their chords stand below the chord boxes.
    const auto find = [&](const char* text) -> const Word* {
        const Word* found = nullptr;
        for (const Word& w : words) {
            if (w.text == QLatin1String(text) && (!found || w.yMin > found->yMin))
                found = &w;
        }
        return found;
    };
    ASSERT_TRUE(find("Chariot"));
    ASSERT_TRUE(find("Trad"));
    for (const char* word : {"Swing", "low,", "sweetest", "chariot,", "comin'", "carry", "home",
                             "Looking", "Jordan", "what", "see", "go", "now", "caravan", "days"})
        EXPECT_TRUE(find(word)) << word << " is not a whole word";

    // Each chord's name starts where its word starts, on the line just above it.
    const struct {
        const char* chord;
        const char* word;
    } pairs[] = {{"D", "low,"},     {"G", "chariot,"},    {"A7", "carry"},    {"D", "home"},
                 {"Bm", "Looking"}, {"Em7", "Jordan"},    {"A7sus4", "what"}, {"A7sus4", "go"},
                 {"D", "now"},      {"A7sus4", "caravan"}};
    for (const auto& p : pairs) {
        const Word* word = find(p.word);
        ASSERT_TRUE(word) << p.word;
        const bool above = std::any_of(words.cbegin(), words.cend(), [&](const Word& c) {
            return c.text == QLatin1String(p.chord) && std::abs(c.xMin - word->xMin) < 0.5 &&
                   c.yMax <= word->yMin + 1 && word->yMin - c.yMax < 6;
        });
        EXPECT_TRUE(above) << p.chord << " over " << p.word;
    }
    // A chord inside a word stands over its syllable; one that the chord before it leaves no
    // room for moves along, clear of it, and the word stays whole.
    const Word* sweetest = find("sweetest");
    const Word* g = find("E7");
    ASSERT_TRUE(sweetest && g);
    EXPECT_GT(g->xMin, sweetest->xMin + 10);
    EXPECT_LT(g->xMin, sweetest->xMax);
    const Word* bm7b5 = find("Bm7b5");
    const Word* caravan = find("caravan");
    ASSERT_TRUE(bm7b5 && caravan);
    EXPECT_NEAR(bm7b5->yMax, caravan->yMin, 1);
    EXPECT_GE(bm7b5->xMin, find("A7sus4")->xMax);
    // A line of chords alone prints them in order on one line, under the rest.
    QList<const Word*> line;
    for (const Word& w : words) {
        if (w.yMin > find("days")->yMax - 1)
            line << &w;
    }
    ASSERT_EQ(line.size(), 3);
    EXPECT_EQ(line[0]->text + line[1]->text + line[2]->text, QStringLiteral("GA7D"));
}

TEST(SongbookPdf, SeveralSongs_ContentsPageAndPageNumbers) {
    if (poppler("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QString longSong = QStringLiteral("{title: Long Song}\n{artist: Ann}\n");
    for (int i = 0; i < 80; ++i)
        longSong += QStringLiteral("[C]Line number %1 of the [G]long song\n").arg(i);
    QList<Song> songs = songsOf(chariot);
    songs += songsOf(longSong.toUtf8().constData());
    songs += songsOf("{title: Short}\n[Am]la");
    QTemporaryDir dir;
    QList<SongbookPdf::Contents> contents;
    const QString pdf = dir.filePath(QStringLiteral("book.pdf"));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(SongbookPdf::encode(songs, {}, &contents));
    file.close();

    const QStringList pages =
        QString::fromUtf8(runTool(poppler("pdftotext"), {pdf, QStringLiteral("-")}))
            .split(u'\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 5);
    EXPECT_TRUE(pages[0].contains(QLatin1String("Contents")));
    ASSERT_EQ(contents.size(), 3);
    EXPECT_EQ(contents[0].page, 2);
    EXPECT_EQ(contents[1].page, 3);
    EXPECT_GT(contents[2].page, 4) << "the long song takes two pages";
    for (const SongbookPdf::Contents& c : contents) {
        EXPECT_TRUE(pages[0].contains(c.title)) << c.title.toStdString();
        EXPECT_TRUE(pages[c.page - 1].startsWith(c.title)) << c.title.toStdString();
    }
    EXPECT_TRUE(pages[0].contains(QLatin1String("Ann")));
    // Every page numbered, a song that runs on says so.
    for (qsizetype p = 0; p < pages.size(); ++p)
        EXPECT_TRUE(pages[p].contains(
            QRegularExpression(QStringLiteral("%1 ?/ ?%2").arg(p + 1).arg(pages.size()))))
            << "page " << p + 1;
    EXPECT_TRUE(pages[contents[1].page].startsWith(QLatin1String("Long Song (continued)")));
    EXPECT_TRUE(pages[contents[2].page - 2].contains(QLatin1String("Line number 79")));
}

TEST(SongbookPdf, LeftHandedBoxesAreTheMirrorImage) {
    if (poppler("pdftoppm").isEmpty() || poppler("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftoppm and pdftotext (poppler-utils) are not installed";
    const QList<Song> songs = songsOf("{title: Mirror}\n{define: C frets x 3 2 0 1 0}\n[C]Hello");
    constexpr int dpi = 192;
    QTemporaryDir dir;
    const auto render = [&](bool leftHanded) {
        SongbookPdf::Options options;
        options.layout.box.leftHanded = leftHanded;
        options.layout.box.labels = ChordBox::Labels::None;
        const QString pdf = write(dir, leftHanded ? "left.pdf" : "right.pdf", songs, options);
        const QString png =
            dir.filePath(leftHanded ? QStringLiteral("left") : QStringLiteral("right"));
        runTool(poppler("pdftoppm"),
                {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
                 QStringLiteral("-singlefile"), pdf, png});
        // The box's name: the highest "C", above the box.
        Word name;
        name.yMin = 1e9;
        for (const Word& w : wordsOf(pdf)) {
            if (w.text == u"C" && w.yMin < name.yMin)
                name = w;
        }
        return std::pair(QImage(png + QStringLiteral(".png")), name);
    };
    const auto [right, rightName] = render(false);
    const auto [left, leftName] = render(true);
    ASSERT_FALSE(right.isNull());
    ASSERT_FALSE(left.isNull());
    constexpr double pixelsPerPoint = double(dpi) / 72;
    const qreal s = SongLayout::boxSpacing * dpi / 96;
    const auto area = [&](const Word& name) {
        const double centre = (name.xMin + name.xMax) / 2 * pixelsPerPoint;
        const double top = name.yMax * pixelsPerPoint + 0.2 * s;
        return QRect(int(std::lround(centre - 3.5 * s)), int(std::lround(top)),
                     int(std::lround(7 * s)), int(std::lround(7 * s)));
    };
    const QRect r = area(rightName);
    const QRect l = area(leftName);
    ASSERT_EQ(r, l) << "the name stays centred over the box";
    // A pixel matches when the other picture has its darkness there or a pixel beside it: the
    // axis falls between whole pixels.
    const auto dark = [](const QImage& image, int x, int y) {
        return !PixelProbe::isLight(image.pixel(x, y));
    };
    const auto matches = [&](bool d, const QImage& other, int x, int y) {
        return d == dark(other, x - 1, y) || d == dark(other, x, y) || d == dark(other, x + 1, y);
    };
    int differing = 0, mirrored = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const bool d = dark(right, x, y);
            differing += !matches(d, left, x, y);
            mirrored += !matches(d, left, r.left() + r.right() - x, y);
        }
    }
    const double pixels = double(r.width()) * r.height();
    EXPECT_LT(mirrored / pixels, 0.02);
    EXPECT_GT(differing / pixels, 0.04);
}

} // namespace
