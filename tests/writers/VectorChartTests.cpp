#include "catalogue/ChordCatalogue.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "writers/LessonSheet.h"
#include "writers/VectorChartFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>

// The vector charts are the raster charts' drawing on another device: rasterised again at
// 516 x 117 they must give the same picture, up to antialiasing and glyph rendering.

namespace {

struct ChartCase {
    int entry;
    qint16 pitch;
    ChordChartKind kind;
    bool leftHanded;
};

// Entries whose content the catalogue fixes: a full barre, a slash chord, a rootless one,
// and the shape that reaches fret 17 at D (its dot half beyond the edge).
const ChartCase chartCases[] = {
    {6, 0, ChordChartKind::Fingering, false},  {6, 0, ChordChartKind::Interval, true},
    {19, 0, ChordChartKind::Interval, false},  {133, 0, ChordChartKind::Fingering, true},
    {507, 2, ChordChartKind::Interval, false}, {3, 0, ChordChartKind::Blank, false},
};

QImage rasterChart(const ChartCase& c) {
    ChartSurface surface;
    drawChordChart(surface, c.kind, ChordCatalogue::entry(c.entry), c.pitch, c.leftHanded);
    return surface.image().convertToFormat(QImage::Format_RGB32);
}

// The share of pixels whose grey differs by more than a third of the range.
double differingShare(const QImage& a, const QImage& b) {
    EXPECT_EQ(a.size(), b.size());
    if (a.size() != b.size())
        return 1.0;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 85)
                ++differing;
        }
    }
    return double(differing) / (a.width() * a.height());
}

// Dark pixels in both (the grid, dots and text): a blank or shifted drawing shares few.
double sharedDarkShare(const QImage& a, const QImage& b) {
    int darkA = 0;
    int shared = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const bool dark = qGray(a.pixel(x, y)) < 100;
            darkA += dark ? 1 : 0;
            shared += dark && qGray(b.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    return darkA == 0 ? 0.0 : double(shared) / darkA;
}

void expectSameDrawing(const QImage& raster, const QImage& vector, const ChartCase& c) {
    SCOPED_TRACE(testing::Message() << "entry " << c.entry << " at " << c.pitch << " kind "
                                    << int(c.kind) << (c.leftHanded ? " left" : ""));
    EXPECT_LT(differingShare(raster, vector), 0.01);
    EXPECT_GT(sharedDarkShare(raster, vector), 0.95);
}

TEST(VectorChartFile, Svg_RasterisesToTheRasterChart) {
    for (const ChartCase& c : chartCases) {
        const QByteArray svg =
            VectorChartFile::encode(VectorChartFile::Format::Svg, c.kind,
                                    ChordCatalogue::entry(c.entry), c.pitch, c.leftHanded);
        QSvgRenderer renderer(svg);
        ASSERT_TRUE(renderer.isValid());
        EXPECT_EQ(renderer.viewBox(), QRect(0, 0, 516, 117));
        QImage drawn(516, 117, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter painter(&drawn);
        renderer.render(&painter);
        painter.end();
        expectSameDrawing(rasterChart(c), drawn, c);
        if (c.kind != ChordChartKind::Blank) {
            // The comparison tells charts apart: the other hand's chart does not pass.
            ChartCase mirrored = c;
            mirrored.leftHanded = !c.leftHanded;
            EXPECT_GT(differingShare(rasterChart(mirrored), drawn), 0.01);
        }
        // Labels and title are text, not outlines.
        if (c.kind != ChordChartKind::Blank) {
            EXPECT_TRUE(svg.contains("<text")) << c.entry;
        }
    }
}

TEST(VectorChartFile, Pdf_RasterisesToTheRasterChart) {
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    QTemporaryDir dir;
    for (const ChartCase& c : chartCases) {
        const QString pdf = dir.filePath(QStringLiteral("chart.pdf"));
        VectorChartFile::write(pdf, VectorChartFile::Format::Pdf, c.kind,
                               ChordCatalogue::entry(c.entry), c.pitch, c.leftHanded);
        QProcess process;
        process.start(pdftoppm, {QStringLiteral("-png"), QStringLiteral("-singlefile"),
                                 QStringLiteral("-scale-to-x"), QStringLiteral("516"),
                                 QStringLiteral("-scale-to-y"), QStringLiteral("117"), pdf,
                                 dir.filePath(QStringLiteral("page"))});
        ASSERT_TRUE(process.waitForFinished(30000));
        ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        const QImage page(dir.filePath(QStringLiteral("page.png")));
        ASSERT_FALSE(page.isNull());
        expectSameDrawing(rasterChart(c), page.convertToFormat(QImage::Format_RGB32), c);
    }
}

TEST(VectorChartFile, FormatFollowsTheExtension) {
    EXPECT_EQ(VectorChartFile::formatFor(QStringLiteral("a.SVG")), VectorChartFile::Format::Svg);
    EXPECT_EQ(VectorChartFile::formatFor(QStringLiteral("a.pdf")), VectorChartFile::Format::Pdf);
    EXPECT_FALSE(VectorChartFile::formatFor(QStringLiteral("a.png")));
}

QString pdfText(const QString& pdftotext, const QString& pdf) {
    QProcess process;
    process.start(pdftotext, {pdf, QStringLiteral("-")});
    EXPECT_TRUE(process.waitForFinished(30000));
    return QString::fromUtf8(process.readAllStandardOutput());
}

TEST(LessonSheet, TitleCaptionsAndChartTitlesAreText_OnAsManyPagesAsNeeded) {
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    LessonSheet::Options options;
    options.title = QStringLiteral("Lesson Three Changes");
    options.charts = {ChordChartKind::Fingering, ChordChartKind::Interval};
    options.page = QPageSize::Letter;
    const int perPage = LessonSheet::chordsPerPage(options);
    ASSERT_GE(perPage, 4);
    QList<LessonSheet::Chord> chords;
    for (int i = 0; i <= perPage; ++i) // one more than a page holds
        chords << LessonSheet::Chord{QStringLiteral("Caption%1").arg(i), 6, qint16(i % 12)};
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    LessonSheet::write(pdf, chords, options);

    const QString text = pdfText(pdftotext, pdf);
    EXPECT_EQ(text.count(u'\f'), 2) << "two pages";
    EXPECT_EQ(text.count(options.title), 2) << "the title on every page";
    for (const LessonSheet::Chord& chord : chords)
        EXPECT_TRUE(text.contains(chord.caption + u'\n')) << chord.caption.toStdString();
    // Each chart's own title, the window's name of entry 6 at C.
    EXPECT_TRUE(text.contains(QStringLiteral("Cmaj")));
    EXPECT_EQ(QFile(pdf).size(), LessonSheet::encode(chords, options).size());
}

} // namespace
