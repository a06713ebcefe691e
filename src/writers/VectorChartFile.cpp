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

namespace {

constexpr int pixelsPerInch = 96;
constexpr qreal pointsPerInch = 72.0;

Failure accessError() {
    return Failure(75, QStringLiteral("Path/File access error"));
}

void drawOn(QPaintDevice& device, ChordChartKind kind, const ChordEntry& entry, qint16 pitch,
            bool leftHanded) {
    QPainter painter;
    if (!painter.begin(&device))
        throw accessError();
    ChartSurface surface(painter);
    drawChordChart(surface, kind, entry, pitch, leftHanded);
    painter.end();
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
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    const QSize size(ChartSurface::pictureWidth, ChartSurface::pictureHeight);
    if (format == Format::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(pixelsPerInch);
        svg.setTitle(QStringLiteral("Strumvane chord chart"));
        drawOn(svg, kind, entry, pitch, leftHanded);
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(pixelsPerInch);
        pdf.setCreator(QStringLiteral("Strumvane"));
        const QSizeF points(size.width() * pointsPerInch / pixelsPerInch,
                            size.height() * pointsPerInch / pixelsPerInch);
        pdf.setPageLayout(
            QPageLayout(QPageSize(points, QPageSize::Point, QString(), QPageSize::ExactMatch),
                        QPageLayout::Portrait, QMarginsF()));
        drawOn(pdf, kind, entry, pitch, leftHanded);
    }
    return data;
}

void VectorChartFile::write(const QString& fileName, Format format, ChordChartKind kind,
                            const ChordEntry& entry, qint16 pitch, bool leftHanded) {
    writeWhole(fileName, encode(format, kind, entry, pitch, leftHanded));
}

void VectorChartFile::writeWhole(const QString& fileName, const QByteArray& data) {
    switch (ImageFile::writeFile(fileName, data)) {
    case WriteResult::Written:
        return;
    case WriteResult::FolderMissing:
        throw Failure::pathNotFound();
    case WriteResult::AccessDenied:
        throw Failure::permissionDenied();
    case WriteResult::BadName:
    case WriteResult::Failed:
        break;
    }
    throw accessError();
}
