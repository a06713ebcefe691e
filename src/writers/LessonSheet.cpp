#include "writers/LessonSheet.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "chart/ChartSurface.h"
#include "writers/VectorChartFile.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace {

// Page geometry in pixels of 1/96 inch, the unit the charts are drawn in.
constexpr int pixelsPerInch = 96;
constexpr qreal marginMm = 15;
constexpr qreal columnGap = 24;
constexpr qreal rowGap = 18;
constexpr qreal chartGap = 6;   // between the charts of one chord
constexpr qreal captionGap = 4; // between caption and chart
constexpr qreal titleGap = 16;  // below the title
constexpr qreal footerHeight = 20;
constexpr qreal titlePoints = 18;
constexpr qreal captionPoints = 12;
constexpr qreal footerPoints = 8;
constexpr QRgb frameColour = 0xffa0a0a0;

QFont sheetFont(qreal points, bool bold) {
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct Layout {
    QRectF content;    // inside the margins, above the footer
    qreal titleHeight; // title line and its gap; 0 without a title
    qreal captionHeight;
    qreal cellWidth;
    qreal scale;      // chart pixels to page pixels
    qreal cellHeight; // caption, charts and the gap below
    int chartsPerChord;
    int rows;
};

Layout layoutFor(const LessonSheet::Options& options, QPaintDevice* device) {
    Layout l;
    const QPageLayout page(QPageSize(options.page), QPageLayout::Portrait,
                           QMarginsF(marginMm, marginMm, marginMm, marginMm),
                           QPageLayout::Millimeter);
    const QRect paint = page.paintRectPixels(pixelsPerInch);
    l.content = QRectF(0, 0, paint.width(), paint.height() - footerHeight);
    l.titleHeight = options.title.isEmpty()
                        ? 0
                        : QFontMetricsF(sheetFont(titlePoints, true), device).height() + titleGap;
    l.captionHeight = QFontMetricsF(sheetFont(captionPoints, true), device).height() + captionGap;
    const int columns = std::clamp(options.columns, 1, LessonSheet::maxColumns);
    l.cellWidth = (l.content.width() - columnGap * (columns - 1)) / columns;
    l.scale = l.cellWidth / ChartSurface::pictureWidth;
    l.chartsPerChord = int(std::max<qsizetype>(1, options.charts.size()));
    const qreal chartHeight = ChartSurface::pictureHeight * l.scale;
    l.cellHeight = l.captionHeight + l.chartsPerChord * chartHeight +
                   (l.chartsPerChord - 1) * chartGap + rowGap;
    l.rows = std::max(1, int((l.content.height() - l.titleHeight + rowGap) / l.cellHeight));
    return l;
}

void drawChart(QPainter& painter, QPointF at, qreal scale, ChordChartKind kind,
               const LessonSheet::Chord& chord, bool leftHanded) {
    const QRectF frame(0, 0, ChartSurface::pictureWidth, ChartSurface::pictureHeight);
    painter.save();
    painter.translate(at);
    painter.scale(scale, scale);
    // The picture's edge clips what lies beyond it (a dot at fret 17), as on screen.
    painter.setClipRect(frame);
    ChartSurface surface(painter);
    drawChordChart(surface, kind, ChordCatalogue::entry(chord.entry), chord.pitch, leftHanded);
    painter.setClipping(false);
    painter.setPen(QPen(QColor::fromRgb(frameColour), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.restore();
}

} // namespace

int LessonSheet::chordsPerPage(const Options& options) {
    QBuffer nowhere;
    QPdfWriter probe(&nowhere);
    probe.setResolution(pixelsPerInch);
    const Layout l = layoutFor(options, &probe);
    return l.rows * std::clamp(options.columns, 1, maxColumns);
}

QByteArray LessonSheet::encode(const QList<Chord>& chords, const Options& options) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setResolution(pixelsPerInch);
    pdf.setCreator(QStringLiteral("Strumvane"));
    pdf.setTitle(options.title);
    pdf.setPageLayout(QPageLayout(QPageSize(options.page), QPageLayout::Portrait,
                                  QMarginsF(marginMm, marginMm, marginMm, marginMm),
                                  QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&pdf))
        throw Failure(75, QStringLiteral("Path/File access error"));

    const Layout l = layoutFor(options, &pdf);
    const int columns = std::clamp(options.columns, 1, maxColumns);
    const int perPage = l.rows * columns;
    const int pages = int((chords.size() + perPage - 1) / perPage);

    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            pdf.newPage();
        painter.setPen(Qt::black);
        if (!options.title.isEmpty()) {
            painter.setFont(sheetFont(titlePoints, true));
            painter.drawText(QRectF(0, 0, l.content.width(), l.titleHeight - titleGap),
                             Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, options.title);
        }
        if (pages > 1) {
            painter.setFont(sheetFont(footerPoints, false));
            painter.drawText(QRectF(0, l.content.bottom(), l.content.width(), footerHeight),
                             Qt::AlignRight | Qt::AlignBottom,
                             QStringLiteral("%1 / %2").arg(page + 1).arg(pages));
        }
        for (int i = 0; i < perPage; ++i) {
            const qsizetype index = qsizetype(page) * perPage + i;
            if (index >= chords.size())
                break;
            const Chord& chord = chords[index];
            const qreal x = (i % columns) * (l.cellWidth + columnGap);
            qreal y = l.titleHeight + (i / columns) * l.cellHeight;
            painter.setPen(Qt::black);
            painter.setFont(sheetFont(captionPoints, true));
            painter.drawText(QRectF(x, y, l.cellWidth, l.captionHeight - captionGap),
                             Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, chord.caption);
            y += l.captionHeight;
            for (const ChordChartKind kind : options.charts) {
                drawChart(painter, {x, y}, l.scale, kind, chord, options.leftHanded);
                y += ChartSurface::pictureHeight * l.scale + chartGap;
            }
        }
    }
    painter.end();
    return data;
}

void LessonSheet::write(const QString& fileName, const QList<Chord>& chords,
                        const Options& options) {
    VectorChartFile::writeWhole(fileName, encode(chords, options));
}
