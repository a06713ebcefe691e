#include "cli/RenderCommand.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "chart/ChartSurface.h"
#include "chart/ChordBox.h"
#include "chart/ChordDiagram.h"
#include "chart/VoicingDiagram.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"
#include "cli/OutputFile.h"
#include "writers/ImageFile.h"
#include "writers/JpegWriter.h"
#include "writers/VectorChartFile.h"

namespace {

constexpr quint8 jpegQuality = 100;

QByteArray encodeRaster(const QImage& image, Arguments::FileKind kind) {
    switch (kind) {
    case Arguments::FileKind::Bmp:
        return ImageFile::encodeBitmap(image);
    case Arguments::FileKind::Jpeg:
        return JpegWriter::encodeJpeg(image, jpegQuality);
    default:
        return ImageFile::encodePng(image);
    }
}

// --size WxH: a picture's width and height in pixels, each 1 to maxPictureSide ("300x400").
constexpr int maxPictureSide = 8192;

std::optional<QSize> readSize(const QString& text) {
    const qsizetype x = text.indexOf(u'x', 0, Qt::CaseInsensitive);
    if (x < 0)
        return std::nullopt;
    const std::optional<int> width =
        Arguments::wholeNumber(QStringView(text).left(x), 1, maxPictureSide);
    const std::optional<int> height =
        Arguments::wholeNumber(QStringView(text).mid(x + 1), 1, maxPictureSide);
    if (!width || !height)
        return std::nullopt;
    return QSize(*width, *height);
}

bool isVector(Arguments::FileKind kind) {
    return kind == Arguments::FileKind::Svg || kind == Arguments::FileKind::Pdf;
}

VectorChartFile::Format vectorFormat(Arguments::FileKind kind) {
    return kind == Arguments::FileKind::Svg ? VectorChartFile::Format::Svg
                                            : VectorChartFile::Format::Pdf;
}

} // namespace

RenderCommand::RenderCommand()
    : Command({.name = QStringLiteral("render"),
               .synopsis = QStringLiteral("render ENTRY PITCH FILE | FRETS FILE"),
               .summary = {QStringLiteral("draw a chart or a chord box into FILE (.bmp, .jpg,"),
                           QStringLiteral(".jpeg, .png, .svg or .pdf)")},
               .description = QStringLiteral(
                   "Draws an entry at a Pitch, or a shape written as frets on any instrument,\n"
                   "tuning and capo, into FILE, as one of the window's charts or, with --style\n"
                   "box, as a chord box (the only drawing of other string counts than six); the\n"
                   "suffix chooses the format.\n"
                   "Example: strumvane-charts render x-3-2-0-1-0 c.svg\n"
                   "         strumvane-charts render 2-0-1-0 f.png --instrument ukulele")}),
      m_style(QStringLiteral("style"),
              QStringLiteral("fretboard: one of the window's charts (the default for ENTRY "
                             "PITCH); box: a chord box as chord books print it (the default for "
                             "FRETS)."),
              QStringLiteral("style"), QStringLiteral("fretboard")),
      m_chart(QStringLiteral("chart"),
              QStringLiteral("The window's chart to draw: fingering (default), interval or "
                             "blank."),
              QStringLiteral("kind"), QStringLiteral("fingering")),
      m_labels(QStringLiteral("labels"),
               QStringLiteral("In a box's dots: fingers (default), intervals, notes or none."),
               QStringLiteral("what"), QStringLiteral("fingers")),
      m_size(QStringLiteral("size"),
             QStringLiteral("A box picture's width and height in pixels (300x400); the box is "
                            "fitted into it. Default: its natural size."),
             QStringLiteral("WxH")),
      m_leftHanded(QStringLiteral("left-handed"), QStringLiteral("Mirror the chart or box.")) {
    for (const QCommandLineOption* option : {&m_style, &m_chart, &m_labels, &m_size, &m_leftHanded})
        addOption(*option);
    for (const QCommandLineOption& option : Arguments::fretboardOptions())
        addOption(option);
    addArgument(QStringLiteral("ENTRY"), Arguments::entryHelp());
    addArgument(QStringLiteral("PITCH"), Arguments::pitchHelp());
    addArgument(QStringLiteral("FRETS"), Arguments::fretsHelp());
    addArgument(QStringLiteral("FILE"),
                QStringLiteral("The file to write: .bmp, .jpg, .jpeg, .png, .svg or .pdf."));
}

std::optional<int> RenderCommand::readChord(const CommandContext& context, Chord& chord) const {
    const QStringList args = arguments();
    if (args.size() != 3 && !(args.size() == 2 && Arguments::looksLikeFrets(args[0])))
        return context.usageError(QStringLiteral("render takes ENTRY PITCH FILE or FRETS FILE"));
    QString error;
    const std::optional<Fretboard> board = Arguments::fretboard(parser(), &error);
    if (!board)
        return context.usageError(error);
    chord.strings = board->stringCount();
    chord.boardDescription = board->description();
    if (args.size() == 3) {
        if (!Arguments::isCatalogueFretboard(*board))
            return context.usageError(QStringLiteral(
                "ENTRY PITCH is a voicing of the guitar in standard tuning; write FRETS for "
                "another instrument, tuning or capo"));
        const std::optional<int> entryNumber = Arguments::entry(args[0], &error);
        if (!entryNumber)
            return context.usageError(error);
        chord.pitch = Arguments::pitch(args[1], &error);
        if (!chord.pitch)
            return context.usageError(error);
        chord.entry = &ChordCatalogue::entry(*entryNumber);
        return std::nullopt;
    }
    const std::optional<QList<qint16>> frets = Arguments::frets(args[0], *board, &error);
    if (!frets)
        return context.usageError(error);
    const Voicing voicing = VoicingDiagram::ofFrets(*frets, *board);
    chord.diagram =
        VoicingDiagram::of(voicing, *board, VoicingDiagram::nameOf(voicing.notes), std::nullopt);
    return std::nullopt;
}

int RenderCommand::execute(const CommandContext& context) {
    Chord chord;
    if (const std::optional<int> status = readChord(context, chord))
        return *status;
    const QString fileName = arguments().last();
    const std::optional<Arguments::FileKind> format = Arguments::fileKind(fileName);
    if (!format || *format == Arguments::FileKind::Wav || *format == Arguments::FileKind::MusicXml)
        return context.usageError(QStringLiteral("cannot tell the image format of '%1' (use "
                                                 ".bmp, .jpg, .jpeg, .png, .svg or .pdf)")
                                      .arg(fileName));
    // An entry at a Pitch is drawn as the window draws it; a shape written as frets as a box.
    QString error;
    Arguments::Style style = chord.entry ? Arguments::Style::Fretboard : Arguments::Style::Box;
    if (parser().isSet(m_style)) {
        const std::optional<Arguments::Style> read =
            Arguments::style(parser().value(m_style), &error);
        if (!read)
            return context.usageError(error);
        style = *read;
    }
    // The window's chart has six strings: other instruments are drawn as boxes.
    if (style == Arguments::Style::Fretboard && chord.strings != Arguments::chartStrings)
        return context.usageError(
            QStringLiteral("the window's chart has six strings; the %1 is drawn as a chord box")
                .arg(chord.boardDescription));
    if (style == Arguments::Style::Box)
        return renderBox(context,
                         chord.entry ? ChordDiagram::fromCatalogue(*chord.entry, *chord.pitch)
                                     : *chord.diagram,
                         fileName, *format);
    return renderChart(context, chord, fileName, *format);
}

int RenderCommand::renderChart(const CommandContext& context, const Chord& chord,
                               const QString& fileName, Arguments::FileKind format) const {
    if (parser().isSet(m_labels) || parser().isSet(m_size))
        return context.usageError(
            QStringLiteral("--labels and --size draw chord boxes: add --style box"));
    QString error;
    const std::optional<QList<ChordChartKind>> charts =
        Arguments::charts(parser().value(m_chart), &error);
    if (!charts)
        return context.usageError(error);
    if (charts->size() != 1)
        return context.usageError(QStringLiteral("render draws one chart per file: --chart "
                                                 "fingering, interval or blank"));
    const ChordChartKind kind = charts->first();
    const bool leftHanded = parser().isSet(m_leftHanded);

    return OutputFile(context, fileName).writeEncoded([&] {
        if (isVector(format))
            return chord.entry ? VectorChartFile::encode(vectorFormat(format), kind, *chord.entry,
                                                         *chord.pitch, leftHanded)
                               : VectorChartFile::encode(vectorFormat(format), kind, *chord.diagram,
                                                         leftHanded);
        ChartSurface surface;
        if (chord.entry)
            drawChordChart(surface, kind, *chord.entry, *chord.pitch, leftHanded);
        else
            drawChordChart(surface, kind, *chord.diagram, leftHanded);
        return encodeRaster(surface.image(), format);
    });
}

int RenderCommand::renderBox(const CommandContext& context, const ChordDiagram& diagram,
                             const QString& fileName, Arguments::FileKind format) const {
    if (parser().isSet(m_chart))
        return context.usageError(
            QStringLiteral("--chart picks one of the window's charts; a box takes --labels"));
    QString error;
    const std::optional<ChordBox::Labels> labels =
        Arguments::labels(parser().value(m_labels), &error);
    if (!labels)
        return context.usageError(error);
    ChordBox::Options options;
    options.labels = *labels;
    options.leftHanded = parser().isSet(m_leftHanded);
    QSize size;
    if (parser().isSet(m_size)) {
        if (isVector(format))
            return context.usageError(
                QStringLiteral("--size is for .png, .bmp and .jpg pictures; .svg and .pdf scale"));
        const std::optional<QSize> read = readSize(parser().value(m_size));
        if (!read)
            return context.usageError(
                QStringLiteral("--size '%1' is not WIDTHxHEIGHT, each 1 to %2 pixels")
                    .arg(parser().value(m_size), QString::number(maxPictureSide)));
        size = *read;
    }
    return OutputFile(context, fileName).writeEncoded([&] {
        return isVector(format) ? VectorChartFile::encode(vectorFormat(format), diagram, options)
                                : encodeRaster(ChordBox::image(diagram, options, size), format);
    });
}
