#include "writers/VectorChartFile.h"

#include "base/Failure.h"
#include "chart/ChartSurface.h"
#include "writers/ImageFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <cmath>
#include <functional>

namespace {

constexpr int pixelsPerInch = 96;
constexpr qreal pointsPerInch = 72.0;

Failure accessError() {
    return Failure(75, QStringLiteral("Path/File access error"));
}

// Runs `draw` on a painter active on `device`.
void drawOn(QPaintDevice& device, const std::function<void(QPainter&)>& draw) {
    QPainter painter;
    if (!painter.begin(&device))
        throw accessError();
    draw(painter);
    painter.end();
}

// The file content of a drawing of `size` pixels (1/96 inch): an SVG of that size, or a PDF
// page of that size in points.
QByteArray encodeDrawing(VectorChartFile::Format format, QSize size, const QString& title,
                         const std::function<void(QPainter&)>& draw) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (format == VectorChartFile::Format::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(pixelsPerInch);
        svg.setTitle(title);
        drawOn(svg, draw);
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(pixelsPerInch);
        pdf.setCreator(QStringLiteral("Strumvane"));
        const QSizeF points(size.width() * pointsPerInch / pixelsPerInch,
                            size.height() * pointsPerInch / pixelsPerInch);
        pdf.setPageLayout(
            QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF()));
        drawOn(pdf, draw);
    }
    return data;
}

} // namespace

std::optional<VectorChartFile::Format> VectorChartFile::formatFor(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("svg"))
        return Format::Svg;
    if (suffix == QLatin1String("pdf"))
        return Format::Pdf;
    return std::nullopt;
}

QByteArray VectorChartFile::encode(Format format, ChordChartKind kind, const ChordEntry& entry,
                                   qint16 pitch, bool leftHanded) {
    return encodeDrawing(format, QSize(ChartSurface::pictureWidth, ChartSurface::pictureHeight),
                         QStringLiteral("Strumvane chord chart"), [&](QPainter& painter) {
                             ChartSurface surface(painter);
                             drawChordChart(surface, kind, entry, pitch, leftHanded);
                         });
}

QByteArray VectorChartFile::encode(Format format, ChordChartKind kind, const ChordDiagram& diagram,
                                   bool leftHanded) {
    return encodeDrawing(format, QSize(ChartSurface::pictureWidth, ChartSurface::pictureHeight),
                         QStringLiteral("Strumvane chord chart"), [&](QPainter& painter) {
                             ChartSurface surface(painter);
                             drawChordChart(surface, kind, diagram, leftHanded);
                         });
}

QByteArray VectorChartFile::encode(Format format, const ChordDiagram& diagram,
                                   const ChordBox::Options& options) {
    if (diagram.problem())
        throw Failure::invalidProcedureCall();
    const QSizeF natural = ChordBox::extent(diagram, options) * ChordBox::pictureSpacing;
    const QSize size(int(std::ceil(natural.width())), int(std::ceil(natural.height())));
    // Fitted like a picture, so that the box stands centred in its whole pixels.
    return encodeDrawing(
        format, size, QStringLiteral("Strumvane chord box"), [&](QPainter& painter) {
            ChordBox::drawFitted(painter, diagram, options, QRectF(QPointF(0, 0), QSizeF(size)));
        });
}

void VectorChartFile::write(const QString& fileName, Format format, ChordChartKind kind,
                            const ChordEntry& entry, qint16 pitch, bool leftHanded) {
    writeWhole(fileName, encode(format, kind, entry, pitch, leftHanded));
}

void VectorChartFile::write(const QString& fileName, Format format, const ChordDiagram& diagram,
                            const ChordBox::Options& options) {
    writeWhole(fileName, encode(format, diagram, options));
}

void VectorChartFile::write(const QString& fileName, Format format, ChordChartKind kind,
                            const ChordDiagram& diagram, bool leftHanded) {
    writeWhole(fileName, encode(format, kind, diagram, leftHanded));
}

void VectorChartFile::writeWhole(const QString& fileName, const QByteArray& data) {
    QString reason;
    const WriteResult result = ImageFile::writeFile(fileName, data, &reason);
    if (result != WriteResult::Written)
        throw Failure(ImageFile::bitmapFailure(result).number(), reason);
}
