#include "writers/LessonSheet.h"

#include "catalogue/ChordCatalogue.h"
#include "chart/ChartSurface.h"
#include "writers/SheetPages.h"
#include "writers/VectorChartFile.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

namespace {

// Chart geometry on the page, in pixels of 1/96 inch, the unit the charts are drawn in.
constexpr qreal columnGap = 24;
constexpr qreal rowGap = 18;
constexpr qreal chartGap = 6;   // between the charts of one chord
constexpr qreal captionGap = 4; // between caption and chart
constexpr qreal captionPoints = 12;
constexpr QRgb frameColour = 0xffa0a0a0;

struct Layout {
    qreal captionHeight;
    qreal cellWidth;
    qreal scale;      // chart pixels to page pixels
    qreal cellHeight; // caption, charts and the gap below
    int chartsPerChord;
    int columns;
    int rows;
};

Layout layoutFor(const LessonSheet::Options& options, SheetPages& pages) {
    Layout l;
    const QRectF body = pages.body();
    l.captionHeight =
        QFontMetricsF(SheetPages::font(captionPoints, true), pages.painter().device()).height() +
        captionGap;
    l.columns = std::clamp(options.columns, 1, LessonSheet::maxColumns);
    l.cellWidth = (body.width() - columnGap * (l.columns - 1)) / l.columns;
    l.scale = l.cellWidth / ChartSurface::pictureWidth;
    l.chartsPerChord = int(std::max<qsizetype>(1, options.charts.size()));
    const qreal chartHeight = ChartSurface::pictureHeight * l.scale;
    l.cellHeight = l.captionHeight + l.chartsPerChord * chartHeight +
                   (l.chartsPerChord - 1) * chartGap + rowGap;
    l.rows = std::max(1, int((body.height() + rowGap) / l.cellHeight));
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
    if (chord.diagram)
        drawChordChart(surface, kind, *chord.diagram, leftHanded);
    else
        drawChordChart(surface, kind, ChordCatalogue::entry(chord.entry), chord.pitch, leftHanded);
    painter.setClipping(false);
    painter.setPen(QPen(QColor::fromRgb(frameColour), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame);
    painter.restore();
}

} // namespace

int LessonSheet::chordsPerPage(const Options& options) {
    SheetPages probe(options.page, options.title);
    const Layout l = layoutFor(options, probe);
    return l.rows * l.columns;
}

QByteArray LessonSheet::encode(const QList<Chord>& chords, const Options& options) {
    SheetPages sheet(options.page, options.title);
    QPainter& painter = sheet.painter();
    const Layout l = layoutFor(options, sheet);
    const int perPage = l.rows * l.columns;
    const int pages = int((chords.size() + perPage - 1) / perPage);

    for (int page = 0; page < pages; ++page) {
        if (options.stopped && options.stopped())
            return {};
        sheet.beginPage(page, pages);
        for (int i = 0; i < perPage; ++i) {
            const qsizetype index = qsizetype(page) * perPage + i;
            if (index >= chords.size())
                break;
            const Chord& chord = chords[index];
            const qreal x = (i % l.columns) * (l.cellWidth + columnGap);
            qreal y = sheet.body().top() + (i / l.columns) * l.cellHeight;
            painter.setPen(Qt::black);
            painter.setFont(SheetPages::font(captionPoints, true));
            painter.drawText(QRectF(x, y, l.cellWidth, l.captionHeight - captionGap),
                             Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, chord.caption);
            y += l.captionHeight;
            for (const ChordChartKind kind : options.charts) {
                drawChart(painter, {x, y}, l.scale, kind, chord, options.leftHanded);
                y += ChartSurface::pictureHeight * l.scale + chartGap;
            }
        }
    }
    return sheet.finish();
}

void LessonSheet::write(const QString& fileName, const QList<Chord>& chords,
                        const Options& options) {
    VectorChartFile::writeWhole(fileName, encode(chords, options));
}
