#include "cli/RenderCommand.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "chart/ChartSurface.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"
#include "writers/ImageFile.h"
#include "writers/ImageFolder.h"
#include "writers/JpegWriter.h"
#include "writers/VectorChartFile.h"

#include <QBuffer>

namespace {

constexpr quint8 jpegQuality = 100;

QByteArray encodePng(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

QByteArray encodeRaster(const QImage& image, Arguments::FileKind kind) {
    switch (kind) {
    case Arguments::FileKind::Bmp:
        return ImageFile::encodeBitmap(image);
    case Arguments::FileKind::Jpeg:
        return JpegWriter::encodeJpeg(image, jpegQuality);
    default:
        return encodePng(image);
    }
}

} // namespace

RenderCommand::RenderCommand()
    : Command({.name = QStringLiteral("render"),
               .synopsis = QStringLiteral("render ENTRY PITCH FILE"),
               .summary = {QStringLiteral("draw a chart into FILE (.bmp, .jpg, .jpeg, .png,"),
                           QStringLiteral(".svg or .pdf)")},
               .description = QStringLiteral(
                   "Draws one of the window's charts of an entry at a Pitch into FILE; the\n"
                   "suffix chooses the format.")}),
      m_chart(QStringLiteral("chart"),
              QStringLiteral("The chart to draw: fingering (default), interval or blank."),
              QStringLiteral("kind"), QStringLiteral("fingering")),
      m_leftHanded(QStringLiteral("left-handed"), QStringLiteral("Mirror the chart.")) {
    addOption(m_chart);
    addOption(m_leftHanded);
    addArgument(QStringLiteral("ENTRY"), Arguments::entryHelp());
    addArgument(QStringLiteral("PITCH"), Arguments::pitchHelp());
    addArgument(QStringLiteral("FILE"),
                QStringLiteral("The file to write: .bmp, .jpg, .jpeg, .png, .svg or .pdf."));
}

int RenderCommand::execute(const CommandContext& context) {
    const QStringList args = arguments();
    if (args.size() != 3)
        return context.usageError(QStringLiteral("render takes ENTRY PITCH FILE"));
    QString error;
    const std::optional<int> entryNumber = Arguments::entry(args[0], &error);
    if (!entryNumber)
        return context.usageError(error);
    const std::optional<qint16> pitch = Arguments::pitch(args[1], &error);
    if (!pitch)
        return context.usageError(error);
    const QString& fileName = args[2];
    const std::optional<Arguments::FileKind> format = Arguments::fileKind(fileName);
    if (!format || *format == Arguments::FileKind::Wav)
        return context.usageError(QStringLiteral("cannot tell the image format of '%1' (use "
                                                 ".bmp, .jpg, .jpeg, .png, .svg or .pdf)")
                                      .arg(fileName));
    const std::optional<QList<ChordChartKind>> charts =
        Arguments::charts(parser().value(m_chart), &error);
    if (!charts)
        return context.usageError(error);
    if (charts->size() != 1)
        return context.usageError(QStringLiteral("render draws one chart per file: --chart "
                                                 "fingering, interval or blank"));
    const ChordChartKind kind = charts->first();
    const bool leftHanded = parser().isSet(m_leftHanded);
    const ChordEntry& entry = ChordCatalogue::entry(*entryNumber);

    if (*format == Arguments::FileKind::Svg || *format == Arguments::FileKind::Pdf) {
        const auto vector = *format == Arguments::FileKind::Svg ? VectorChartFile::Format::Svg
                                                                : VectorChartFile::Format::Pdf;
        try {
            VectorChartFile::write(fileName, vector, kind, entry, *pitch, leftHanded);
        } catch (const Failure& failure) {
            context.report(
                QStringLiteral("cannot write '%1': %2").arg(fileName, failure.description()));
            return ExitStatus::failure;
        }
        return ExitStatus::ok;
    }
    ChartSurface surface;
    drawChordChart(surface, kind, entry, *pitch, leftHanded);
    const QByteArray data = encodeRaster(surface.image(), *format);
    // The folder is opened once, and temporary files that killed runs left in it go first.
    const ImageFolder::PathParts parts = ImageFolder::splitPath(fileName);
    const ImageFolder folder(parts.folder);
    folder.removeStaleTemporaries();
    QString reason = QStringLiteral("the image could not be encoded");
    if (data.isEmpty() || folder.writeFile(parts.name, data, &reason) != WriteResult::Written) {
        context.report(QStringLiteral("cannot write '%1': %2").arg(fileName, reason));
        return ExitStatus::failure;
    }
    return ExitStatus::ok;
}
