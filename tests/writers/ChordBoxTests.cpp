#include "catalogue/ChordCatalogue.h"
#include "chart/ChordBox.h"
#include "chart/ChordDiagram.h"
#include "support/PixelProbe.h"
#include "writers/ChordBoxSheet.h"
#include "writers/VectorChartFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <functional>

// Chord boxes drawn three ways (a picture, an SVG, a PDF), each rasterised and probed where
// the box's layout says its parts stand: the strings, a dot at each stopped string's fret and
// nowhere else on that string, "o" and "x" above the nut, barres over exactly their strings,
// the nut or capo, the base-fret label, and the left-handed box as the mirror image.

using namespace PixelProbe;

namespace {

ChordDiagram diagram(const char* name, const char* frets, const char* fingers, int capo = 0) {
    ChordDiagram d;
    d.name = QString::fromUtf8(name);
    d.capo = capo;
    const QStringList f = QString::fromLatin1(frets).split(u'-');
    const QStringList g = QString::fromLatin1(fingers).split(u'-');
    for (qsizetype i = 0; i < f.size(); ++i) {
        ChordDiagram::String s;
        s.fret = f[i] == QLatin1String("x") ? ChordDiagram::muted : f[i].toInt();
        s.finger = g.value(i).toInt();
        s.interval = QStringLiteral("b3");
        s.note = QStringLiteral("Eb");
        d.strings << s;
    }
    return d;
}

struct BoxCase {
    ChordDiagram diagram;
    int baseFret;
    int rows;
};

const BoxCase boxCases[] = {
    {diagram("C", "x-3-2-0-1-0", "0-3-2-0-1-0"), 1, 5},
    {diagram("F", "1-3-3-2-1-1", "1-3-4-2-1-1"), 1, 5},
    {diagram("Bm7b5", "7-x-7-7-6-x", "2-0-3-4-1-0"), 6, 5},
    {diagram("C", "0-0-0-3", "0-0-0-3"), 1, 5},               // ukulele
    {diagram("Am7", "x-x-0-2-0-1-0", "0-0-0-2-0-1-0"), 1, 5}, // 7-string
    {diagram("Bm", "x-0-2-2-1-0", "0-0-2-3-1-0", 2), 1, 5},   // Am shape, capo 2
    {diagram("Stretch", "5-x-7-8-9-x", "1-0-2-3-4-0"), 5, 5}, // spans 5 frets
    {diagram("Wide", "3-x-5-6-8-x", "1-0-2-3-4-0"), 3, 6},    // spans 6: a sixth row
    {diagram("Cm7", "x-3-5-3-4-3", "0-1-3-1-2-1"), 3, 5},     // a barre from string 2
    {diagram("A", "x-0-2-2-2-0", "0-0-1-1-1-0"), 1, 5},       // a barre inside
    // Eight strings, a capo and the shape up the neck.
    {diagram("Eight", "7-x-x-9-9-7-x-9", "1-0-0-3-3-1-0-4", 3), 7, 5},
};

constexpr qreal spacing = 48; // pixels between strings in the probed pictures

// A box drawn onto some device and rasterised at `spacing`, its layout beside it.
struct Drawn {
    QImage image;
    ChordBox::Layout layout;
};

QSize probeSize(const ChordDiagram& d, const ChordBox::Options& o) {
    const QSizeF e = ChordBox::extent(d, o) * ChordBox::pictureSpacing;
    const qreal scale = spacing / ChordBox::pictureSpacing;
    return QSize(int(std::ceil(e.width())) * scale, int(std::ceil(e.height())) * scale);
}

// Where a box fitted into `size` stands: the largest that fits, centred.
ChordBox::Layout fittedLayout(const ChordDiagram& d, const ChordBox::Options& o, QSize size) {
    const QSizeF e = ChordBox::extent(d, o);
    const qreal s = std::min(size.width() / e.width(), size.height() / e.height());
    const QPointF origin =
        QPointF(size.width(), size.height()) / 2 - QPointF(e.width(), e.height()) * s / 2;
    return ChordBox::layout(d, o, s, origin);
}

Drawn asPicture(const ChordDiagram& d, const ChordBox::Options& o) {
    const QSize size = probeSize(d, o);
    return {ChordBox::image(d, o, size), fittedLayout(d, o, size)};
}

Drawn asSvg(const ChordDiagram& d, const ChordBox::Options& o) {
    QSvgRenderer renderer(VectorChartFile::encode(VectorChartFile::Format::Svg, d, o));
    EXPECT_TRUE(renderer.isValid());
    const QSize size = probeSize(d, o);
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return {image, fittedLayout(d, o, size)};
}

QString pdftoppm() {
    return QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
}

Drawn asPdf(const ChordDiagram& d, const ChordBox::Options& o) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("box.pdf"));
    VectorChartFile::write(pdf, VectorChartFile::Format::Pdf, d, o);
    const QSize size = probeSize(d, o);
    QProcess process;
    process.start(pdftoppm(), {QStringLiteral("-png"), QStringLiteral("-singlefile"),
                               QStringLiteral("-scale-to-x"), QString::number(size.width()),
                               QStringLiteral("-scale-to-y"), QString::number(size.height()), pdf,
                               dir.filePath(QStringLiteral("box"))});
    EXPECT_TRUE(process.waitForFinished(30000));
    const QImage image(dir.filePath(QStringLiteral("box.png")));
    EXPECT_EQ(image.size(), size);
    return {image.convertToFormat(QImage::Format_RGB32), fittedLayout(d, o, size)};
}

bool darkAt(const QImage& image, qreal x, qreal y) {
    return isDark(image.pixel(pixel(x), pixel(y)));
}
bool lightAt(const QImage& image, qreal x, qreal y) {
    return isLight(image.pixel(pixel(x), pixel(y)));
}

// Dark runs crossed along row y: the strings where nothing else stands.
int darkRuns(const QImage& image, qreal y) {
    int runs = 0;
    bool inRun = false;
    for (int x = 0; x < image.width(); ++x) {
        const bool dark = qGray(image.pixel(x, pixel(y))) < 128;
        runs += dark && !inRun ? 1 : 0;
        inRun = dark;
    }
    return runs;
}

bool underBarre(const ChordDiagram& d, int string, int fret) {
    for (const ChordDiagram::Barre& b : d.barres()) {
        if (b.fret == fret && string >= b.first && string <= b.last)
            return true;
    }
    return false;
}

void probeBox(const BoxCase& c, const Drawn& drawn) {
    const ChordDiagram& d = c.diagram;
    const QImage& img = drawn.image;
    const ChordBox::Layout& l = drawn.layout;
    const qreal s = l.spacing;
    const int strings = int(d.strings.size());
    ASSERT_EQ(l.baseFret, c.baseFret);
    ASSERT_EQ(l.rows, c.rows);

    // Just above the bottom line only the strings cross a row, where the layout puts them.
    const qreal aboveBottom = l.wireY(l.rows) - 0.12 * s;
    EXPECT_EQ(darkRuns(img, aboveBottom), strings);
    for (int i = 0; i < strings; ++i)
        EXPECT_TRUE(darkAt(img, l.stringX(i), aboveBottom)) << i;
    // The wires, probed between the two lowest strings; a fret's dots sit half-way between
    // its wires.
    const qreal between = (l.stringX(0) + l.stringX(1)) / 2;
    for (int wire = 0; wire <= l.rows; ++wire)
        EXPECT_TRUE(darkAt(img, between, l.wireY(wire))) << "wire " << wire;
    const auto rowY = [&](int fret) {
        return (l.wireY(fret - l.baseFret) + l.wireY(fret - l.baseFret + 1)) / 2;
    };

    for (int i = 0; i < strings; ++i) {
        SCOPED_TRACE(testing::Message() << "string " << i);
        const int fret = d.strings[i].fret;
        const qreal x = l.stringX(i);
        // Beside the string line, inside a dot's radius: dark in its own row only.
        for (int row = l.baseFret; row < l.baseFret + l.rows; ++row) {
            const bool dot = row == fret || underBarre(d, i, row);
            EXPECT_EQ(darkAt(img, x + 0.3 * s, rowY(row)), dot) << "fret " << row;
        }
        // "o": a ring around a light centre; "x": crossing strokes; nothing over a stopped
        // string.
        const qreal y = l.markY();
        EXPECT_EQ(darkAt(img, x, y), fret == ChordDiagram::muted);
        EXPECT_EQ(darkAt(img, x + 0.23 * s, y), fret == ChordDiagram::open);
    }

    for (const ChordDiagram::Barre& b : d.barres()) {
        const qreal y = rowY(b.fret);
        // Dark all the way between its outer strings, light just beyond them (where no
        // dot of a neighbouring string on that fret could stand).
        for (int i = b.first; i < b.last; ++i)
            EXPECT_TRUE(darkAt(img, (l.stringX(i) + l.stringX(i + 1)) / 2, y)) << i;
        const qreal beyond = l.leftHanded ? -0.65 * s : 0.65 * s;
        if (b.last + 1 < strings && d.strings[b.last + 1].fret != b.fret) {
            EXPECT_TRUE(lightAt(img, l.stringX(b.last) + beyond, y));
        }
        if (b.first > 0 && d.strings[b.first - 1].fret != b.fret) {
            EXPECT_TRUE(lightAt(img, l.stringX(b.first) - beyond, y));
        }
    }

    // The nut is a thick bar across the strings; a capo at the nut's place reaches beyond
    // the outer strings; up the neck only the thin top line is there.
    const qreal left = l.grid().left();
    const qreal right = l.grid().right();
    const qreal justAbove = l.wireY(0) - 0.18 * s;
    const bool atNut = l.baseFret == 1;
    EXPECT_EQ(darkAt(img, left + 0.5 * s, justAbove), atNut);
    EXPECT_EQ(darkAt(img, left - 0.2 * s, justAbove), atNut && d.capo > 0);
    EXPECT_EQ(darkAt(img, right + 0.2 * s, justAbove), atNut && d.capo > 0);

    // The base-fret label stands beside the first row on the bass side, and nothing stands
    // there at the nut.
    const bool bassLeft = !l.leftHanded;
    const qreal firstRow = rowY(l.baseFret);
    const QRect bassSide =
        QRectF(QPointF(bassLeft ? 0 : right + 0.5 * s, firstRow - 0.3 * s),
               QPointF(bassLeft ? left - 0.5 * s : img.width(), firstRow + 0.3 * s))
            .toRect();
    EXPECT_EQ(darkCount(img, bassSide) > 0, l.baseFret > 1);
}

// The region that mirrors: the strings and what is drawn on and over them. Side texts and the
// capo's text read left to right in both hands and are left out.
QRect mirroredPart(const ChordBox::Layout& l, int capo) {
    const qreal s = l.spacing;
    const qreal top = capo > 0 && l.baseFret == 1 ? l.wireY(0) + 0.05 * s : l.markY() - 0.4 * s;
    return QRectF(QPointF(l.grid().left() - 0.6 * s, top),
                  QPointF(l.grid().right() + 0.6 * s, l.wireY(l.rows) + 0.1 * s))
        .toRect();
}

// The share of pixels of `area` whose grey differs by more than a third of the range from
// each of the pixel and its left and right neighbours in `b`: rasterisers snap mirrored edges
// to whole pixels differently (poppler moves thin strokes by a pixel).
double differingShare(const QImage& a, const QImage& b, QRect area) {
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            bool near = false;
            for (int dx = -1; dx <= 1 && !near; ++dx) {
                const QRgb other = b.pixel(std::clamp(x + dx, 0, b.width() - 1), y);
                near = std::abs(qGray(a.pixel(x, y)) - qGray(other)) <= 85;
            }
            differing += near ? 0 : 1;
        }
    }
    return double(differing) / (area.width() * area.height());
}

void probeEveryCase(
    const std::function<Drawn(const ChordDiagram&, const ChordBox::Options&)>& draw) {
    for (const BoxCase& c : boxCases) {
        SCOPED_TRACE(c.diagram.fretText().toStdString() + " " + c.diagram.name.toStdString());
        ChordBox::Options right;
        right.labels = ChordBox::Labels::None;
        ChordBox::Options left = right;
        left.leftHanded = true;
        const Drawn r = draw(c.diagram, right);
        const Drawn l = draw(c.diagram, left);
        {
            SCOPED_TRACE("right-handed");
            probeBox(c, r);
        }
        {
            SCOPED_TRACE("left-handed");
            probeBox(c, l);
        }
        const QRect area = mirroredPart(r.layout, c.diagram.capo);
        const QImage mirrored = l.image.mirrored(true, false);
        EXPECT_LT(differingShare(r.image, mirrored, area), 0.005);
    }
}

} // namespace

TEST(ChordBox, Picture_ProbedAtItsLayout) {
    probeEveryCase(asPicture);
    // The mirror comparison tells a mirror image from the same box.
    const BoxCase& c = boxCases[0];
    const Drawn r = asPicture(c.diagram, {ChordBox::Labels::None, false});
    const Drawn l = asPicture(c.diagram, {ChordBox::Labels::None, true});
    EXPECT_GT(differingShare(r.image, l.image, mirroredPart(r.layout, 0)), 0.02);
}

TEST(ChordBox, Svg_RasterisedAndProbed_TextStaysText) {
    probeEveryCase(asSvg);
    const ChordDiagram bm7b5 = boxCases[2].diagram;
    const QString svg = QString::fromUtf8(
        VectorChartFile::encode(VectorChartFile::Format::Svg, bm7b5, ChordBox::Options{}));
    for (const char* text : {">Bm7b5<", ">6fr<", ">1<", ">4<"})
        EXPECT_TRUE(svg.contains(QLatin1String(text))) << text;
}

TEST(ChordBox, Pdf_RasterisedAndProbed) {
    if (pdftoppm().isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    probeEveryCase(asPdf);
}

// The bounding box of everything drawn on the white of `image`.
QRect drawnBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isLight(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

TEST(ChordBox, SizeFitsTheBoxIntoThePictureCentred) {
    const ChordDiagram c = boxCases[0].diagram;
    // A box is taller than wide: each of these is filled from top to bottom.
    for (const QSize size : {QSize(300, 300), QSize(600, 200), QSize(64, 64)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        const QImage image = ChordBox::image(c, {}, size);
        ASSERT_EQ(image.size(), size);
        const QRect dark = drawnBounds(image);
        EXPECT_GT(dark.height(), 0.85 * size.height());
        EXPECT_NEAR(dark.center().x(), size.width() / 2.0, 2.0);
    }
    // Natural size: strings pictureSpacing apart.
    const QSizeF natural = ChordBox::extent(c, {}) * ChordBox::pictureSpacing;
    EXPECT_EQ(ChordBox::image(c, {}).size(),
              QSize(int(std::ceil(natural.width())), int(std::ceil(natural.height()))));
}

TEST(ChordBox, UndrawableDiagramsAreRefused) {
    ChordDiagram twoStrings = diagram("?", "0-3", "0-3");
    EXPECT_ANY_THROW(ChordBox::image(twoStrings, {}));
    EXPECT_ANY_THROW(
        VectorChartFile::encode(VectorChartFile::Format::Svg, twoStrings, ChordBox::Options{}));
    EXPECT_ANY_THROW(ChordBoxSheet::encode({twoStrings}, {}));
    EXPECT_ANY_THROW(ChordBoxSheet::encode({}, {}));
}

namespace {

QString poppler(const char* tool) {
    return QStandardPaths::findExecutable(QLatin1String(tool));
}

QString runPoppler(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    EXPECT_TRUE(process.waitForFinished(30000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Twenty-four different catalogue voicings, as a teacher's sheet of the common chords holds.
QList<ChordDiagram> twentyFourChords() {
    QList<ChordDiagram> diagrams;
    for (int i = 0; i < 24; ++i) {
        ChordDiagram d =
            ChordDiagram::fromCatalogue(ChordCatalogue::entry(6 + 23 * i), qint16(i % 12));
        d.name = QStringLiteral("Chord%1").arg(i + 1);
        diagrams << d;
    }
    return diagrams;
}

// The height in points of Liberation Sans (or Arial) text of `points`: ascent plus descent.
constexpr double textHeight(double points) {
    return points * (0.905 + 0.212);
}

} // namespace

TEST(ChordBoxSheet, TwentyFourChordsFitOneA4Page_LegibleText) {
    const QString pdftotext = poppler("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QList<ChordDiagram> chords = twentyFourChords();
    ChordBoxSheet::Options options;
    options.title = QStringLiteral("Common chords");
    const ChordBoxSheet::Grid grid = ChordBoxSheet::grid(chords, options);
    EXPECT_GE(grid.perPage(), 24);
    EXPECT_GE(grid.columns, 5);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    ChordBoxSheet::write(pdf, chords, options);
    const QString text = runPoppler(pdftotext, {pdf, QStringLiteral("-")});
    EXPECT_EQ(text.count(u'\f'), 1) << "one page";
    EXPECT_TRUE(text.contains(options.title));
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("1 ?/ ?1")))) << "no page number";
    for (const ChordDiagram& d : chords) {
        EXPECT_TRUE(text.contains(d.name + u'\n')) << d.name.toStdString();
        EXPECT_TRUE(text.contains(d.fretText())) << d.fretText().toStdString();
    }

    // Printed at 100 %: every name 10 pt or more, every finger in a dot 6 pt or more.
    const QString words =
        runPoppler(pdftotext, {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral(R"re(yMin="([\d.]+)" xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re"));
    int names = 0;
    int fingers = 0;
    for (const QRegularExpressionMatch& m : word.globalMatch(words)) {
        const double height = m.captured(2).toDouble() - m.captured(1).toDouble();
        const QString w = m.captured(3);
        if (w.startsWith(QLatin1String("Chord"))) {
            ++names;
            EXPECT_GE(height, textHeight(10) * 0.99) << w.toStdString();
        } else if (w.size() == 1 && w[0] >= u'1' && w[0] <= u'4') {
            ++fingers;
            EXPECT_GE(height, textHeight(6) * 0.99);
        }
    }
    EXPECT_EQ(names, 24);
    EXPECT_GT(fingers, 24);
}

TEST(ChordBoxSheet, MorePagesNumbered_CaptionsAsAsked) {
    const QString pdftotext = poppler("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QList<ChordDiagram> chords = twentyFourChords();
    chords.last().capo = 2;
    chords.last().shapeName = QStringLiteral("Am shape");
    ChordBoxSheet::Options options;
    options.page = QPageSize::Letter;
    options.columns = 8;
    options.title = QStringLiteral("Long list");
    const int perPage = ChordBoxSheet::grid(chords, options).perPage();
    ASSERT_LT(perPage, 3 * chords.size());
    while (chords.size() <= perPage) // one more than a page holds
        chords << chords.first();
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));

    const struct {
        ChordBoxSheet::Captions captions;
        QString present;
        QString absent;
    } cases[] = {
        {ChordBoxSheet::Captions::Frets, chords.first().fretText(), QStringLiteral("Am shape")},
        {ChordBoxSheet::Captions::Shape, QStringLiteral("Am shape"), chords.first().fretText()},
        {ChordBoxSheet::Captions::None, QString(), chords.first().fretText()},
    };
    for (const auto& c : cases) {
        options.captions = c.captions;
        ChordBoxSheet::write(pdf, chords, options);
        const QString text = runPoppler(pdftotext, {pdf, QStringLiteral("-")});
        EXPECT_EQ(text.count(u'\f'), 2) << "two pages";
        EXPECT_EQ(text.count(options.title), 2) << "the title on every page";
        // pdftotext may close up the spaces of "1 / 2".
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("1 ?/ ?2"))));
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("2 ?/ ?2"))));
        EXPECT_TRUE(text.contains(c.present)) << c.present.toStdString();
        EXPECT_FALSE(text.contains(c.absent)) << c.absent.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("capo 2")));
    }
}
