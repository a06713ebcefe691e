#include "writers/ChordBoxSheet.h"

#include "base/Failure.h"
#include "writers/SheetPages.h"
#include "writers/VectorChartFile.h"

#include <QFontMetricsF>
#include <algorithm>

namespace {

constexpr qreal columnGap = 12; // pixels of 1/96 inch
// In string spacings.
constexpr qreal rowGap = 0.9;
constexpr qreal captionSize = 0.65;

QFont captionFont(qreal spacing) {
    QFont font = SheetPages::font(10, false);
    font.setPixelSize(std::max(1, qRound(captionSize * spacing)));
    return font;
}

struct Extent {
    qreal width = 0;  // the widest box, in string spacings
    qreal height = 0; // the tallest
};

Extent largestExtent(const QList<ChordDiagram>& diagrams, const ChordBox::Options& box) {
    Extent e;
    for (const ChordDiagram& d : diagrams) {
        const QSizeF size = ChordBox::extent(d, box);
        e.width = std::max(e.width, size.width());
        e.height = std::max(e.height, size.height());
    }
    return e;
}

qreal captionHeight(const ChordBoxSheet::Options& options, qreal spacing) {
    if (options.captions == ChordBoxSheet::Captions::None)
        return 0;
    return QFontMetricsF(captionFont(spacing)).height();
}

ChordBoxSheet::Grid gridIn(const QRectF& body, const Extent& extent,
                           const ChordBoxSheet::Options& options, int columns) {
    ChordBoxSheet::Grid g;
    g.columns = columns;
    const qreal cellWidth = (body.width() - columnGap * (columns - 1)) / columns;
    g.spacing = std::min(ChordBoxSheet::largestSpacing, cellWidth / extent.width);
    const auto cellHeight = [&](qreal spacing) {
        return (extent.height + rowGap) * spacing + captionHeight(options, spacing);
    };
    // A box taller than the page (a shape over many frets) shrinks until one row fits.
    while (cellHeight(g.spacing) > body.height() + rowGap * g.spacing && g.spacing > 1)
        g.spacing *= 0.95;
    g.cell = QSizeF(cellWidth, cellHeight(g.spacing));
    g.rows = std::max(1, int((body.height() + rowGap * g.spacing) / g.cell.height()));
    return g;
}

void checkDrawable(const QList<ChordDiagram>& diagrams) {
    if (diagrams.isEmpty())
        throw Failure::invalidProcedureCall();
    for (const ChordDiagram& d : diagrams) {
        if (d.problem())
            throw Failure::invalidProcedureCall();
    }
}

ChordBoxSheet::Grid gridOn(SheetPages& pages, const QList<ChordDiagram>& diagrams,
                           const ChordBoxSheet::Options& options) {
    const Extent extent = largestExtent(diagrams, options.box);
    if (options.columns > 0)
        return gridIn(pages.body(), extent, options,
                      std::min(options.columns, ChordBoxSheet::maxColumns));
    for (int columns = ChordBoxSheet::autoColumns; columns > 1; --columns) {
        const ChordBoxSheet::Grid g = gridIn(pages.body(), extent, options, columns);
        if (g.spacing >= ChordBoxSheet::legibleSpacing)
            return g;
    }
    return gridIn(pages.body(), extent, options, 1);
}

} // namespace

ChordBoxSheet::Grid ChordBoxSheet::grid(const QList<ChordDiagram>& diagrams,
                                        const Options& options) {
    checkDrawable(diagrams);
    SheetPages probe(options.page, options.title);
    return gridOn(probe, diagrams, options);
}

QString ChordBoxSheet::caption(const ChordDiagram& diagram, Captions captions) {
    switch (captions) {
    case Captions::Frets:
        return diagram.fretText();
    case Captions::Shape:
        return diagram.shapeName;
    case Captions::None:
        break;
    }
    return {};
}

QByteArray ChordBoxSheet::encode(const QList<ChordDiagram>& diagrams, const Options& options) {
    checkDrawable(diagrams);
    SheetPages sheet(options.page, options.title);
    QPainter& painter = sheet.painter();
    const Grid g = gridOn(sheet, diagrams, options);
    const QRectF body = sheet.body();
    const int pages = int((diagrams.size() + g.perPage() - 1) / g.perPage());

    for (int page = 0; page < pages; ++page) {
        if (options.stopped && options.stopped())
            return {};
        sheet.beginPage(page, pages);
        for (int i = 0; i < g.perPage(); ++i) {
            const qsizetype index = qsizetype(page) * g.perPage() + i;
            if (index >= diagrams.size())
                break;
            const ChordDiagram& diagram = diagrams[index];
            const QSizeF size = ChordBox::extent(diagram, options.box) * g.spacing;
            const QPointF cell(body.left() + (i % g.columns) * (g.cell.width() + columnGap),
                               body.top() + (i / g.columns) * g.cell.height());
            const QPointF origin(cell.x() + (g.cell.width() - size.width()) / 2, cell.y());
            ChordBox::draw(painter, diagram, options.box, g.spacing, origin);
            const QString text = caption(diagram, options.captions);
            if (text.isEmpty())
                continue;
            painter.setPen(Qt::black);
            painter.setFont(captionFont(g.spacing));
            painter.drawText(QRectF(cell.x(), origin.y() + size.height(), g.cell.width(),
                                    captionHeight(options, g.spacing)),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
        }
    }
    return sheet.finish();
}

void ChordBoxSheet::write(const QString& fileName, const QList<ChordDiagram>& diagrams,
                          const Options& options) {
    VectorChartFile::writeWhole(fileName, encode(diagrams, options));
}
