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
#include "writers/ImageFile.h"
#include "writers/ImageFolder.h"
#include "writers/JpegWriter.h"
#include "writers/VectorChartFile.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <optional>

namespace {

const QString pitchHelp = QStringLiteral(
    "ENTRY is 1 to 611. PITCH, the chord's lowest note, is a note name in any case with an\n"
    "optional sharp or flat (C, c, F#, f\u266F, Bb, B\u266D, ...), or a number 0 to 11.\n");

// "list, show, render or export-all"
QString commandNames() {
    QStringList names;
    for (const ChartsTool::Command& command : ChartsTool::commands())
        names << command.name;
    const QString last = names.takeLast();
    return names.isEmpty() ? last
                           : names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

QString commandsHelp() {
    constexpr int column = 36;
    QString text = QStringLiteral("Commands:\n");
    for (const ChartsTool::Command& command : ChartsTool::commands()) {
        QString lead = QStringLiteral("  ") + command.synopsis;
        for (const QString& line : command.help) {
            text += lead.size() < column ? lead.leftJustified(column)
                                         : lead + u'\n' + QString(column, u' ');
            text += line + u'\n';
            lead.clear();
        }
    }
    return text + u'\n' + pitchHelp;
}

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

namespace {

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
                shown += ChartsTool::printable(decoded);
                i += length;
                continue;
            }
        }
        shown += QStringLiteral("\\x%1").arg(uint(lead), 2, 16, QLatin1Char('0'));
        ++i;
    }
    return shown;
}

} // namespace

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

QByteArray encodePng(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

} // namespace

ChartsTool::ChartsTool(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

const QList<ChartsTool::Command>& ChartsTool::commands() {
    static const QList<Command> table = {
        {QStringLiteral("list"),
         QStringLiteral("list"),
         {QStringLiteral("every catalogue entry: number, frets, fingering,"),
          QStringLiteral("spelling and chord type, tab-separated")},
         {},
         &ChartsTool::list},
        {QStringLiteral("show"),
         QStringLiteral("show ENTRY [PITCH]"),
         {QStringLiteral("name, notes, frets, fingering and MIDI notes of an"),
          QStringLiteral("entry at one Pitch, or at all twelve")},
         {},
         &ChartsTool::show},
        {QStringLiteral("render"),
         QStringLiteral("render ENTRY PITCH FILE"),
         {QStringLiteral("draw a chart into FILE (.bmp, .jpg, .jpeg, .png,"),
          QStringLiteral(".svg or .pdf)")},
         {QStringLiteral("chart"), QStringLiteral("left-handed")},
         &ChartsTool::render},
        {QStringLiteral("export-all"),
         QStringLiteral("export-all DIR"),
         {QStringLiteral("both charts of every entry at every Pitch into DIR,"),
          QStringLiteral("named as the window's save-all names them (9,480 files:"),
          QStringLiteral("charts of one name and notes share a file), or with"),
          QStringLiteral("--unique-names every chart (14,664 files)")},
         {QStringLiteral("format"), QStringLiteral("jobs"), QStringLiteral("left-handed"),
          QStringLiteral("unique-names")},
         &ChartsTool::exportAll},
        {QStringLiteral("play"),
         QStringLiteral("play ENTRY PITCH"),
         {QStringLiteral("sound the chord on the output the window uses, or"),
          QStringLiteral("render it into a WAV file with --wav")},
         {QStringLiteral("seconds"), QStringLiteral("wav"), QStringLiteral("program"),
          QStringLiteral("strum"), QStringLiteral("verbose"), QStringLiteral("list-ports")},
         &ChartsTool::play},
        {QStringLiteral("name"),
         QStringLiteral("name [--all] FRETS"),
         {QStringLiteral("readings of a shape, e.g. name x-3-5-4-5-x")},
         {},
         nullptr},
        {QStringLiteral("find"),
         QStringLiteral("find NAME | --notes N1,N2,..."),
         {QStringLiteral("voicings of a chord, easiest first, e.g."),
          QStringLiteral("find Am7 --frets 5-8, find D7 --near 164@A")},
         {},
         nullptr},
        {QStringLiteral("sheet"),
         QStringLiteral("sheet OUT.pdf CHORD..."),
         {QStringLiteral("a PDF lesson sheet, e.g. sheet song.pdf Am7 D7 6@F"),
          QStringLiteral("(name, find and sheet each have their own --help)")},
         {},
         nullptr},
    };
    return table;
}

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
                                     commandsHelp());
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOption(QCommandLineOption(
        QStringLiteral("chart"),
        QStringLiteral("render: the chart to draw, fingering (default), interval or blank."),
        QStringLiteral("kind"), QStringLiteral("fingering")));
    parser.addOption(QCommandLineOption(QStringLiteral("left-handed"),
                                        QStringLiteral("render, export-all: mirror the charts.")));
    parser.addOption(QCommandLineOption(QStringLiteral("format"),
                                        QStringLiteral("export-all: jpg (default) or bmp."),
                                        QStringLiteral("format"), QStringLiteral("jpg")));
    parser.addOption(
        QCommandLineOption(QStringLiteral("jobs"),
                           QStringLiteral("export-all: worker threads (default: one per core)."),
                           QStringLiteral("n")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("unique-names"),
        QStringLiteral("export-all: keep every chart, named with the entry number and the chart "
                       "kind (\"Am7 A-E-G-C #165 fingering.jpg\").")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("seconds"),
        QStringLiteral("play: how long the notes are held (default 1.5)."), QStringLiteral("s")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("wav"),
        QStringLiteral("play: render with the built-in synthesiser into this WAV file."),
        QStringLiteral("file")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("program"),
        QStringLiteral("play: General MIDI program 0 to 127 (default 0, the piano; 24 nylon and "
                       "25 steel guitar)."),
        QStringLiteral("n")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("strum"),
        QStringLiteral("play: milliseconds between the notes, low string first (default 0)."),
        QStringLiteral("ms")));
    parser.addOption(QCommandLineOption(QStringLiteral("verbose"),
                                        QStringLiteral("play: say which output is used and why.")));
    parser.addOption(QCommandLineOption(
        QStringLiteral("list-ports"),
        QStringLiteral("play: list the MIDI outputs and which would be chosen.")));
    parser.addPositionalArgument(QStringLiteral("command"), commandNames() + u'.');

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    int status = exitOk;
    if (parser.isSet(helpOption)) {
        m_out << parser.helpText();
    } else if (parser.isSet(versionOption)) {
        m_out << "strumvane-charts " << STRUMVANE_VERSION << '\n';
    } else {
        status = runCommand(parser);
    }
    return finishOutput(status);
}

int ChartsTool::runCommand(const QCommandLineParser& parser) {
    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given (%1)").arg(commandNames()));
    const QString name = args.takeFirst();
    const auto& table = commands();
    const auto command = std::find_if(table.cbegin(), table.cend(),
                                      [&](const Command& c) { return c.name == name; });
    if (command == table.cend())
        return usageError(QStringLiteral("unknown command '%1' (%2)").arg(name, commandNames()));

    for (const QString& option : parser.optionNames()) {
        if (command->options.contains(option))
            continue;
        QStringList takers;
        for (const Command& c : table) {
            if (c.options.contains(option))
                takers << c.name;
        }
        return usageError(QStringLiteral("--%1 does not apply to %2 (only to %3)")
                              .arg(option, name, takers.join(QStringLiteral(" and "))));
    }

    try {
        if (!command->run) // reached only when an option stands before the command's name
            return usageError(QStringLiteral("%1 takes its options after its name").arg(name));
        return (this->*command->run)(args, parser);
    } catch (const Failure& failure) {
        m_err << "strumvane-charts: " << failure.description() << '\n';
        return exitFailure;
    }
}

int ChartsTool::finishOutput(int status) {
    // A full disk or a closed pipe behind standard output is a failure like any other: the
    // listing the user asked for did not arrive.
    m_out.flush();
    if (m_out.status() != QTextStream::WriteFailed)
        return status;
    const QString reason = m_out.device() ? m_out.device()->errorString() : QString();
    m_err << "strumvane-charts: cannot write to standard output"
          << (reason.isEmpty() ? QString() : QStringLiteral(": ") + reason) << '\n';
    m_err.flush();
    return status == exitOk ? exitFailure : status;
}

int ChartsTool::list(const QStringList& args, const QCommandLineParser&) {
    if (!args.isEmpty())
        return usageError(QStringLiteral("list takes no arguments"));
    int n = 1;
    for (const ChordEntry& e : ChordCatalogue::entries()) {
        m_out << n++ << '\t' << e.fretPattern << '\t' << e.fingering << '\t' << e.spelling << '\t'
              << e.chordType << '\n';
    }
    return exitOk;
}

int ChartsTool::show(const QStringList& args, const QCommandLineParser&) {
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

int ChartsTool::play(const QStringList& args, const QCommandLineParser& parser) {
    const auto valueOf = [&](const char* option) {
        const QString name = QLatin1String(option);
        return parser.isSet(name) ? parser.value(name) : QString();
    };
    PlayCommand::Options options;
    options.seconds = valueOf("seconds");
    options.wavFile = valueOf("wav");
    options.program = valueOf("program");
    options.strum = valueOf("strum");
    options.verbose = parser.isSet(QStringLiteral("verbose"));
    options.listPorts = parser.isSet(QStringLiteral("list-ports"));
    PlayCommand command(
        m_out, m_err, [this](const QString& message) { return usageError(message); },
        interruptFlag());
    return command.run(args, options);
}

int ChartsTool::render(const QStringList& args, const QCommandLineParser& parser) {
    const QString chart = parser.value(QStringLiteral("chart"));
    const bool leftHanded = parser.isSet(QStringLiteral("left-handed"));
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

    QByteArray data;
    switch (*format) {
    case ImageFormat::Bmp:
        data = ImageFile::encodeBitmap(surface.image());
        break;
    case ImageFormat::Jpeg:
        data = JpegWriter::encodeJpeg(surface.image(), 100);
        break;
    case ImageFormat::Png:
        data = encodePng(surface.image());
        break;
    }
    // The folder is opened once, and temporary files that killed runs left in it go first.
    const ImageFolder::PathParts parts = ImageFolder::splitPath(fileName);
    const ImageFolder folder(parts.folder);
    folder.removeStaleTemporaries();
    QString reason = QStringLiteral("the image could not be encoded");
    if (data.isEmpty() || folder.writeFile(parts.name, data, &reason) != WriteResult::Written) {
        m_err << "strumvane-charts: cannot write '" << printable(fileName) << "': " << reason
              << '\n';
        return exitFailure;
    }
    return exitOk;
}

int ChartsTool::exportAll(const QStringList& args, const QCommandLineParser& parser) {
    if (args.size() != 1)
        return usageError(QStringLiteral("export-all takes one folder"));
    const QString format = parser.value(QStringLiteral("format"));
    const QString jobs =
        parser.isSet(QStringLiteral("jobs")) ? parser.value(QStringLiteral("jobs")) : QString();
    ExportAll::Options options;
    options.folder = args[0];
    options.leftHanded = parser.isSet(QStringLiteral("left-handed"));
    options.uniqueNames = parser.isSet(QStringLiteral("unique-names"));
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
    const QFileInfo folder(options.folder);
    const ImageFolder target(options.folder);
    if (!folder.isDir() || target.openResult() == WriteResult::FolderMissing) {
        m_err << "strumvane-charts: cannot write into folder '" << printable(options.folder)
              << "': "
              << writeResultText(WriteResult::FolderMissing, folder.exists() ? ENOTDIR : ENOENT)
              << '\n';
        return exitFailure;
    }
    if (const WriteResult probe = target.probe(); probe != WriteResult::Written) {
        m_err << "strumvane-charts: cannot write into folder '" << printable(options.folder)
              << "': " << writeResultText(probe) << '\n';
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
