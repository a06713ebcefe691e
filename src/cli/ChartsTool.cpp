#include "cli/ChartsTool.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/Playability.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "cli/ExportAll.h"
#include "cli/FindCommand.h"
#include "cli/NameCommand.h"
#include "cli/PlayCommand.h"
#include "cli/SheetCommand.h"
#include "export/ImageFile.h"
#include "export/JpegWriter.h"
#include "export/VectorChartFile.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryFile>
#include <optional>

namespace {

const QString helpText = QStringLiteral(
    "Commands:\n"
    "  list                              every catalogue entry: number, frets, fingering,\n"
    "                                    spelling and chord type, tab-separated\n"
    "  show ENTRY [PITCH]                name, notes, frets, fingering and MIDI notes of an\n"
    "                                    entry at one Pitch, or at all twelve\n"
    "  render ENTRY PITCH FILE           draw a chart into FILE (.bmp, .jpg, .jpeg, .png,\n"
    "                                    .svg or .pdf)\n"
    "  export-all DIR                    both charts of every entry at every Pitch into DIR,\n"
    "                                    named as the window's save-all names them\n"
    "  play ENTRY PITCH                  sound the chord on the output the window uses, or\n"
    "                                    render it into a WAV file with --wav\n"
    "  name [--all] FRETS                readings of a shape, e.g. name x-3-5-4-5-x\n"
    "  find NAME | --notes N1,N2,...     voicings of a chord, easiest first, e.g.\n"
    "                                    find Am7 --frets 5-8, find D7 --near 164@A\n"
    "  sheet OUT.pdf CHORD...            a PDF lesson sheet, e.g. sheet song.pdf Am7 D7 6@F\n"
    "                                    (each has its own --help)\n"
    "\n"
    "ENTRY is 1 to 611. PITCH is C, C#, D, Eb, E, F, F#, G, Ab, A, Bb or B (also Db, D#, Gb,\n"
    "G#, A#), or a number 0 to 11.\n");

} // namespace

// An argument echoed in a message must neither break the message into several lines nor send
// escape sequences to the terminal.
QString ChartsTool::printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            shown += c.unicode() <= 0xff
                         ? QStringLiteral("\\x%1").arg(uint(c.unicode()), 2, 16, QLatin1Char('0'))
                         : QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}

std::optional<int> ChartsTool::parseEntry(const QString& text) {
    if (!ChordTheory::isFretMark(text) || text.size() > 3)
        return std::nullopt;
    const int n = text.toInt();
    if (n < 1 || n > ChordCatalogue::entryCount)
        return std::nullopt;
    return n;
}

namespace {

enum class ImageFormat { Bmp, Jpeg, Png };

std::optional<ImageFormat> formatFor(const QString& fileName) {
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return ImageFormat::Bmp;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return ImageFormat::Jpeg;
    if (suffix == QLatin1String("png"))
        return ImageFormat::Png;
    return std::nullopt;
}

void savePng(const QImage& image, const QString& fileName) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    if (ImageFile::writeFile(fileName, data) != ImageFile::WriteResult::Written)
        throw Failure(75, QStringLiteral("Path/File access error"));
}

} // namespace

ChartsTool::ChartsTool(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

int ChartsTool::run(const QStringList& arguments) {
    // name, find and sheet read their own options.
    const QString first = arguments.value(1);
    if (first == QLatin1String("name"))
        return NameCommand::run(arguments.mid(2), m_out, m_err);
    if (first == QLatin1String("find"))
        return FindCommand::run(arguments.mid(2), m_out, m_err);
    if (first == QLatin1String("sheet"))
        return SheetCommand::run(arguments.mid(2), m_out, m_err);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Guitar chord charts from the Strumvane "
                                                    "catalogue.\n\n") +
                                     helpText);
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version."));
    const QCommandLineOption chartOption(
        QStringLiteral("chart"),
        QStringLiteral("render: the chart to draw, fingering (default), interval or blank."),
        QStringLiteral("kind"), QStringLiteral("fingering"));
    const QCommandLineOption leftOption(QStringLiteral("left-handed"),
                                        QStringLiteral("render, export-all: mirror the charts."));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("export-all: jpg (default) or bmp."),
                                          QStringLiteral("format"), QStringLiteral("jpg"));
    const QCommandLineOption jobsOption(
        QStringLiteral("jobs"),
        QStringLiteral("export-all: worker threads (default: one per core)."), QStringLiteral("n"));
    const QCommandLineOption secondsOption(
        QStringLiteral("seconds"),
        QStringLiteral("play: how long the notes are held (default 1.5)."), QStringLiteral("s"));
    const QCommandLineOption wavOption(
        QStringLiteral("wav"),
        QStringLiteral("play: render with the built-in synthesiser into this WAV file."),
        QStringLiteral("file"));
    const QCommandLineOption programOption(
        QStringLiteral("program"),
        QStringLiteral("play: General MIDI program 0 to 127 (default 0, the piano; 24 nylon and "
                       "25 steel guitar)."),
        QStringLiteral("n"));
    const QCommandLineOption strumOption(
        QStringLiteral("strum"),
        QStringLiteral("play: milliseconds between the notes, low string first (default 0)."),
        QStringLiteral("ms"));
    const QCommandLineOption verboseOption(
        QStringLiteral("verbose"), QStringLiteral("play: say which output is used and why."));
    const QCommandLineOption listPortsOption(
        QStringLiteral("list-ports"),
        QStringLiteral("play: list the MIDI outputs and which would be chosen."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(chartOption);
    parser.addOption(leftOption);
    parser.addOption(formatOption);
    parser.addOption(jobsOption);
    for (const QCommandLineOption* option : {&secondsOption, &wavOption, &programOption,
                                             &strumOption, &verboseOption, &listPortsOption})
        parser.addOption(*option);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("list, show, render, export-all or play."));

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        m_out << parser.helpText();
        return exitOk;
    }
    if (parser.isSet(versionOption)) {
        m_out << "strumvane-charts " << STRUMVANE_VERSION << '\n';
        return exitOk;
    }

    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usageError(
            QStringLiteral("no command given (list, show, render, export-all or play)"));
    const QString command = args.takeFirst();
    if (parser.isSet(chartOption) && command != QLatin1String("render"))
        return usageError(QStringLiteral("--chart applies to render only"));
    if (parser.isSet(leftOption) && command != QLatin1String("render") &&
        command != QLatin1String("export-all"))
        return usageError(QStringLiteral("--left-handed applies to render and export-all only"));
    if ((parser.isSet(formatOption) || parser.isSet(jobsOption)) &&
        command != QLatin1String("export-all"))
        return usageError(QStringLiteral("--format and --jobs apply to export-all only"));
    for (const QCommandLineOption* option : {&secondsOption, &wavOption, &programOption,
                                             &strumOption, &verboseOption, &listPortsOption}) {
        if (parser.isSet(*option) && command != QLatin1String("play"))
            return usageError(QStringLiteral("--%1 applies to play only").arg(option->names()[0]));
    }

    try {
        if (command == QLatin1String("list")) {
            if (!args.isEmpty())
                return usageError(QStringLiteral("list takes no arguments"));
            return list();
        }
        if (command == QLatin1String("show"))
            return show(args);
        if (command == QLatin1String("render"))
            return render(args, parser.value(chartOption), parser.isSet(leftOption));
        if (command == QLatin1String("export-all"))
            return exportAll(args, parser.value(formatOption),
                             parser.isSet(jobsOption) ? parser.value(jobsOption) : QString(),
                             parser.isSet(leftOption));
        if (command == QLatin1String("play")) {
            PlayCommand::Options options;
            const auto valueOf = [&](const QCommandLineOption& option) {
                return parser.isSet(option) ? parser.value(option) : QString();
            };
            options.seconds = valueOf(secondsOption);
            options.wavFile = valueOf(wavOption);
            options.program = valueOf(programOption);
            options.strum = valueOf(strumOption);
            options.verbose = parser.isSet(verboseOption);
            options.listPorts = parser.isSet(listPortsOption);
            PlayCommand play(
                m_out, m_err, [this](const QString& message) { return usageError(message); },
                interruptFlag());
            return play.run(args, options);
        }
    } catch (const Failure& failure) {
        m_err << "strumvane-charts: " << failure.description() << '\n';
        return exitFailure;
    }
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}

int ChartsTool::list() {
    int n = 1;
    for (const ChordEntry& e : ChordCatalogue::entries()) {
        m_out << n++ << '\t' << e.fretPattern << '\t' << e.fingering << '\t' << e.spelling << '\t'
              << e.chordType << '\n';
    }
    return exitOk;
}

int ChartsTool::show(const QStringList& args) {
    if (args.isEmpty() || args.size() > 2)
        return usageError(QStringLiteral("show takes ENTRY and an optional PITCH"));
    const std::optional<int> entryNumber = parseEntry(args[0]);
    if (!entryNumber)
        return usageError(QStringLiteral("no such entry '%1' (1 to 611)").arg(args[0]));

    QList<qint16> pitches;
    if (args.size() == 2) {
        const std::optional<qint16> pitch = ChordTheory::parsePitch(args[1]);
        if (!pitch)
            return usageError(QStringLiteral("no such Pitch '%1'").arg(args[1]));
        pitches << *pitch;
    } else {
        for (qint16 p = 0; p < 12; ++p)
            pitches << p;
    }

    const ChordEntry& entry = ChordCatalogue::entry(*entryNumber);
    bool first = true;
    for (const qint16 pitch : pitches) {
        const ChordTheory::PlacedChord chord = ChordTheory::placeChord(
            QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), pitch);
        QStringList notes;
        for (const qint16 note : chord.notes)
            notes << QString::number(note);
        if (!first)
            m_out << '\n';
        first = false;
        m_out << "Chord Name: "
              << ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType), pitch,
                                               chord.rootShift)
              << '\n'
              << "Chord Spelling: " << chord.noteNames << '\n'
              << "Fret Numbers: " << chord.fretNumbers << '\n'
              << "Fingering: " << entry.fingering << '\n'
              << "MIDI Notes: " << notes.join(QLatin1Char(' ')) << '\n'
              << "Playability: "
              << Playability::of(QString::fromLatin1(entry.fretPattern),
                                 QString::fromLatin1(entry.fingering))
                     .description()
              << '\n';
    }
    return exitOk;
}

int ChartsTool::render(const QStringList& args, const QString& chart, bool leftHanded) {
    if (args.size() != 3)
        return usageError(QStringLiteral("render takes ENTRY PITCH FILE"));
    const std::optional<int> entryNumber = parseEntry(args[0]);
    if (!entryNumber)
        return usageError(QStringLiteral("no such entry '%1' (1 to 611)").arg(args[0]));
    const std::optional<qint16> pitch = ChordTheory::parsePitch(args[1]);
    if (!pitch)
        return usageError(QStringLiteral("no such Pitch '%1'").arg(args[1]));
    const QString& fileName = args[2];
    const std::optional<ImageFormat> format = formatFor(fileName);
    const std::optional<VectorChartFile::Format> vector = VectorChartFile::formatFor(fileName);
    if (!format && !vector)
        return usageError(QStringLiteral("cannot tell the image format of '%1' (use .bmp, .jpg, "
                                         ".jpeg, .png, .svg or .pdf)")
                              .arg(fileName));

    std::optional<ChordChartKind> kind = chordChartKind(chart);
    if (!kind)
        return usageError(
            QStringLiteral("no such chart '%1' (fingering, interval or blank)").arg(chart));

    const ChordEntry& entry = ChordCatalogue::entry(*entryNumber);
    if (vector) {
        try {
            VectorChartFile::write(fileName, *vector, *kind, entry, *pitch, leftHanded);
        } catch (const Failure& failure) {
            m_err << "strumvane-charts: cannot write '" << printable(fileName)
                  << "': " << failure.description() << '\n';
            return exitFailure;
        }
        return exitOk;
    }
    ChartSurface surface;
    drawChordChart(surface, *kind, entry, *pitch, leftHanded);

    try {
        switch (*format) {
        case ImageFormat::Bmp:
            ImageFile::SaveBitmap(surface.image(), fileName);
            break;
        case ImageFormat::Jpeg:
            JpegWriter::SaveJpeg(surface.image(), fileName, 100);
            break;
        case ImageFormat::Png:
            savePng(surface.image(), fileName);
            break;
        }
    } catch (const Failure& failure) {
        m_err << "strumvane-charts: cannot write '" << printable(fileName)
              << "': " << failure.description() << '\n';
        return exitFailure;
    }
    return exitOk;
}

int ChartsTool::exportAll(const QStringList& args, const QString& format, const QString& jobs,
                          bool leftHanded) {
    if (args.size() != 1)
        return usageError(QStringLiteral("export-all takes one folder"));
    ExportAll::Options options;
    options.folder = args[0];
    options.leftHanded = leftHanded;
    options.showProgress = m_progress;
    if (format == QLatin1String("jpg"))
        options.jpeg = true;
    else if (format == QLatin1String("bmp"))
        options.jpeg = false;
    else
        return usageError(QStringLiteral("no such format '%1' (jpg or bmp)").arg(format));
    if (!jobs.isNull()) {
        bool ok = false;
        options.jobs = jobs.toInt(&ok);
        if (!ok || options.jobs < 1 || options.jobs > 256)
            return usageError(QStringLiteral("no such number of jobs '%1' (1 to 256)").arg(jobs));
    }

    // Checked before any work, so that a wrong folder costs nothing.
    const QFileInfo folder(options.folder);
    if (!folder.isDir()) {
        m_err << "strumvane-charts: no such folder '" << printable(options.folder) << "'\n";
        return exitFailure;
    }
    QTemporaryFile probe(QDir(options.folder).filePath(QStringLiteral(".strumvane-XXXXXX")));
    if (!probe.open()) {
        m_err << "strumvane-charts: cannot write into folder '" << printable(options.folder)
              << "'\n";
        return exitFailure;
    }
    probe.close();
    probe.remove();

    QElapsedTimer clock;
    clock.start();
    int failures = 0;
    const int written = ExportAll::run(options, m_err, interruptFlag(), &failures);
    if (interruptFlag()) {
        m_err << "strumvane-charts: interrupted after " << written << " files\n";
        return exitInterrupted;
    }
    m_out << "Wrote " << written << " files to " << QDir(options.folder).absolutePath() << " in "
          << QString::number(clock.elapsed() / 1000.0, 'f', 1) << " s\n";
    return failures > 0 ? exitFailure : exitOk;
}

std::atomic_bool& ChartsTool::interruptFlag() {
    static std::atomic_bool flag{false};
    return flag;
}

int ChartsTool::usageError(const QString& message) {
    m_err << "strumvane-charts: " << printable(message) << '\n'
          << "Try 'strumvane-charts --help' for more information.\n";
    return exitUsage;
}
