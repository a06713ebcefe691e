#include "cli/ChartsTool.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "cli/ExportAll.h"
#include "export/ImageFile.h"
#include "export/ImageFolder.h"
#include "export/JpegWriter.h"
#include "shell/Failure.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace {

const QString helpText = QStringLiteral(
    "Commands:\n"
    "  list                              every catalogue entry: number, frets, fingering,\n"
    "                                    spelling and chord type, tab-separated\n"
    "  show ENTRY [PITCH]                name, notes, frets, fingering and MIDI notes of an\n"
    "                                    entry at one Pitch, or at all twelve\n"
    "  render ENTRY PITCH FILE           draw a chart into FILE (.bmp, .jpg, .jpeg or .png)\n"
    "  export-all DIR                    both charts of every entry at every Pitch into DIR,\n"
    "                                    named as the window's save-all names them\n"
    "\n"
    "ENTRY is 1 to 611. PITCH is C, C#, D, Eb, E, F, F#, G, Ab, A, Bb or B (also Db, D#, Gb,\n"
    "G#, A#), or a number 0 to 11.\n");

// Text for a message line, with control characters and line separators written as escapes
// ("a\nb" -> "a\x0ab"): an argument echoed in a message must neither break the message into
// several lines nor send escape sequences to the terminal.
QString printable(const QString& text) {
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

// The bytes of an argument as text, each byte that is not part of a valid UTF-8 character
// written as an escape ("caf\xe9.jpg"), control characters as printable() writes them.
QString escapedBytes(const QByteArray& bytes) {
    QString shown;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = uchar(bytes[i]);
        const qsizetype length = lead < 0x80                    ? 1
                                 : lead >= 0xc2 && lead <= 0xdf ? 2
                                 : lead >= 0xe0 && lead <= 0xef ? 3
                                 : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                                : 0;
        if (length > 0 && i + length <= bytes.size()) {
            // The round trip rejects what a lead byte alone cannot: stray continuation
            // bytes, overlong forms, surrogates, code points past U+10FFFF.
            const QByteArray character = bytes.mid(i, length);
            const QString decoded = QString::fromUtf8(character);
            if (decoded.toUtf8() == character && !decoded.contains(QChar::ReplacementCharacter)) {
                shown += printable(decoded);
                i += length;
                continue;
            }
        }
        shown += QStringLiteral("\\x%1").arg(uint(lead), 2, 16, QLatin1Char('0'));
        ++i;
    }
    return shown;
}

std::optional<int> parseEntry(const QString& text) {
    if (!ChordTheory::isFretMark(text) || text.size() > 3)
        return std::nullopt;
    const int n = text.toInt();
    if (n < 1 || n > ChordCatalogue::entryCount)
        return std::nullopt;
    return n;
}

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

void savePng(const QImage& image, const ImageFolder& folder, const QString& name) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const ImageFile::WriteResult result = folder.writeFile(name, data);
    if (result != ImageFile::WriteResult::Written)
        throw ImageFile::bitmapFailure(result);
}

} // namespace

ChartsTool::ChartsTool(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

int ChartsTool::run(const QList<QByteArray>& rawArguments) {
    QStringList arguments;
    for (qsizetype i = 0; i < rawArguments.size(); ++i) {
        const QByteArray& raw = rawArguments[i];
        QString argument = QFile::decodeName(raw);
        // Bytes that are no valid UTF-8 would become U+FFFD, and a file under that changed
        // name could replace another one. The program name itself names nothing to write.
        if (i > 0 && QFile::encodeName(argument) != raw)
            return usageError(QStringLiteral("cannot use '%1': it is not valid UTF-8, so "
                                             "nothing can be written under exactly that name")
                                  .arg(escapedBytes(raw)));
        arguments << std::move(argument);
    }
    return run(arguments);
}

int ChartsTool::run(const QStringList& arguments) {
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
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(chartOption);
    parser.addOption(leftOption);
    parser.addOption(formatOption);
    parser.addOption(jobsOption);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("list, show, render or export-all."));

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
        return usageError(QStringLiteral("no command given (list, show or render)"));
    const QString command = args.takeFirst();
    if (parser.isSet(chartOption) && command != QLatin1String("render"))
        return usageError(QStringLiteral("--chart applies to render only"));
    if (parser.isSet(leftOption) && command != QLatin1String("render") &&
        command != QLatin1String("export-all"))
        return usageError(QStringLiteral("--left-handed applies to render and export-all only"));
    if ((parser.isSet(formatOption) || parser.isSet(jobsOption)) &&
        command != QLatin1String("export-all"))
        return usageError(QStringLiteral("--format and --jobs apply to export-all only"));

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
              << "MIDI Notes: " << notes.join(QLatin1Char(' ')) << '\n';
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
    if (!format)
        return usageError(
            QStringLiteral("cannot tell the image format of '%1' (use .bmp, .jpg, .jpeg or .png)")
                .arg(fileName));

    std::optional<ChordChartKind> kind = chordChartKind(chart);
    if (!kind)
        return usageError(
            QStringLiteral("no such chart '%1' (fingering, interval or blank)").arg(chart));

    const ChordEntry& entry = ChordCatalogue::entry(*entryNumber);
    ChartSurface surface;
    drawChordChart(surface, *kind, entry, *pitch, leftHanded);

    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const ImageFolder folder(slash < 0 ? QStringLiteral(".") : fileName.left(slash + 1));
    const QString name = fileName.mid(slash + 1);
    folder.removeStaleTemporaries();
    try {
        switch (*format) {
        case ImageFormat::Bmp:
            ImageFile::SaveBitmap(surface.image(), folder, name);
            break;
        case ImageFormat::Jpeg:
            JpegWriter::SaveJpeg(surface.image(), folder, name, 100);
            break;
        case ImageFormat::Png:
            savePng(surface.image(), folder, name);
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

    // Checked before any work, so that a wrong folder costs nothing. The folder is opened
    // once: should it be moved during the run, the files still go into it.
    const ImageFolder target(options.folder);
    if (!QFileInfo(options.folder).isDir() ||
        target.openResult() == ImageFile::WriteResult::FolderMissing) {
        m_err << "strumvane-charts: no such folder '" << printable(options.folder) << "'\n";
        return exitFailure;
    }
    if (target.probe() != ImageFile::WriteResult::Written) {
        m_err << "strumvane-charts: cannot write into folder '" << printable(options.folder)
              << "'\n";
        return exitFailure;
    }
    target.removeStaleTemporaries();

    QElapsedTimer clock;
    clock.start();
    int failures = 0;
    const int written = ExportAll::run(options, target, m_err, interruptFlag(), &failures);
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
