#include "cli/PlayCommand.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/VoicingDiagram.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"
#include "cli/OutputFile.h"
#include "sound/ChoosingMidiPort.h"
#include "sound/FluidSynthPort.h"
#include "sound/MidiOutput.h"
#include "sound/WaveFile.h"

#include <QElapsedTimer>
#include <QThread>
#include <cmath>

namespace {

constexpr double defaultSeconds = 1.5;
constexpr double minimumSeconds = 0.1;
constexpr double maximumSeconds = 600;
constexpr int maximumProgram = 127;
constexpr int maximumStrumMs = 1000;
constexpr int waitStepMs = 10;
constexpr int renderStepFrames = 441; // 10 ms, to see when the release has died away
// Rendered and written at a time: 0.1 s, 17,640 bytes; Ctrl-C is seen between two.
constexpr int renderBlockFrames = 4410;

int framesFor(qint64 ms) {
    return int(ms * FluidSynthPort::sampleRate / 1000);
}

// Port names come from the devices and STRUMVANE_MIDI_PORT from the user: shown printable.
void describePorts(QTextStream& out) {
    for (const QString& line : ChoosingMidiPort::describeChoice())
        out << CommandContext::printable(line) << '\n';
}

} // namespace

struct PlayCommand::Request {
    QString chordName;
    QList<qint16> notes; // low string first
    double seconds = defaultSeconds;
    qint64 heldMs = 0; // from the first note-on to the note-offs
    int strumMs = 0;
    qint16 program = 0;
    QString wavFile;
    bool verbose = false;
};

PlayCommand::PlayCommand()
    : Command({.name = QStringLiteral("play"),
               .synopsis = QStringLiteral("play ENTRY PITCH | FRETS"),
               .summary = {QStringLiteral("sound the chord on the output the window uses, or"),
                           QStringLiteral("render it into a WAV file with --wav")},
               .description = QStringLiteral(
                   "Sounds the chord, an entry at a Pitch or a shape written as frets on any\n"
                   "instrument, tuning and capo, on the output the window uses, or renders it\n"
                   "with the built-in synthesiser into a WAV file. Ctrl-C ends the held notes\n"
                   "early.\n"
                   "Example: strumvane-charts play x-0-2-2-1-0 --wav am.wav")}),
      m_seconds(QStringLiteral("seconds"),
                QStringLiteral("How long the notes are held, 0.1 to 600 (default 1.5)."),
                QStringLiteral("s")),
      m_wav(QStringLiteral("wav"),
            QStringLiteral("Render with the built-in synthesiser into this WAV file."),
            QStringLiteral("file")),
      m_program(QStringLiteral("program"),
                QStringLiteral("General MIDI program 0 to 127 (default 0, the piano; 24 nylon and "
                               "25 steel guitar)."),
                QStringLiteral("n")),
      m_strum(QStringLiteral("strum"),
              QStringLiteral("Milliseconds between the notes, low string first, 0 to 1000 "
                             "(default 0)."),
              QStringLiteral("ms")),
      m_verbose(QStringLiteral("verbose"), QStringLiteral("Say which output is used and why.")),
      m_listPorts(QStringLiteral("list-ports"),
                  QStringLiteral("List the MIDI outputs and which would be chosen.")) {
    for (const QCommandLineOption* option :
         {&m_seconds, &m_wav, &m_program, &m_strum, &m_verbose, &m_listPorts})
        addOption(*option);
    for (const QCommandLineOption& option : Arguments::fretboardOptions())
        addOption(option);
    addArgument(QStringLiteral("ENTRY"), Arguments::entryHelp());
    addArgument(QStringLiteral("PITCH"), Arguments::pitchHelp());
    addArgument(QStringLiteral("FRETS"), Arguments::fretsHelp());
}

int PlayCommand::execute(const CommandContext& context) {
    const bool listPorts = parser().isSet(m_listPorts);
    if (listPorts && arguments().isEmpty()) {
        describePorts(context.out());
        return ExitStatus::ok;
    }
    Request request;
    if (const std::optional<int> status = readRequest(request, context))
        return *status;
    if (listPorts)
        describePorts(context.out());
    return request.wavFile.isEmpty() ? playLive(request, context) : renderWave(request, context);
}

std::optional<int> PlayCommand::readRequest(Request& request, const CommandContext& context) const {
    const QStringList args = arguments();
    if (args.size() != 2 && !(args.size() == 1 && Arguments::looksLikeFrets(args[0])))
        return context.usageError(QStringLiteral("play takes ENTRY PITCH or FRETS"));
    QString error;
    const std::optional<Fretboard> board = Arguments::fretboard(parser(), &error);
    if (!board)
        return context.usageError(error);
    if (args.size() == 1) {
        // A shape on the fretboard sounds the tuning's own notes.
        const std::optional<QList<qint16>> frets = Arguments::frets(args[0], *board, &error);
        if (!frets)
            return context.usageError(error);
        request.notes = board->notes(*frets);
        request.chordName = VoicingDiagram::nameOf(request.notes);
        if (request.chordName.isEmpty())
            request.chordName = args[0];
    } else {
        if (!Arguments::isCatalogueFretboard(*board))
            return context.usageError(QStringLiteral(
                "ENTRY PITCH is a voicing of the guitar in standard tuning; write FRETS for "
                "another instrument, tuning or capo"));
        const std::optional<int> entryNumber = Arguments::entry(args[0], &error);
        if (!entryNumber)
            return context.usageError(error);
        const std::optional<qint16> pitch = Arguments::pitch(args[1], &error);
        if (!pitch)
            return context.usageError(error);
        const ChordEntry& entry = ChordCatalogue::entry(*entryNumber);
        const ChordTheory::PlacedChord chord = ChordTheory::placeChord(
            QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), *pitch);
        request.notes = chord.notes;
        request.chordName = ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType),
                                                          *pitch, chord.rootShift);
    }

    request.verbose = parser().isSet(m_verbose);
    if (const std::optional<int> status = readTiming(request, context))
        return status;
    if (parser().isSet(m_wav)) {
        request.wavFile = parser().value(m_wav);
        if (Arguments::fileKind(request.wavFile) != Arguments::FileKind::Wav)
            return context.usageError(
                QStringLiteral("the sound file '%1' must end in .wav").arg(request.wavFile));
    }
    const qint64 spreadMs = qint64(request.strumMs) * qMax<qsizetype>(0, request.notes.size() - 1);
    if (spreadMs >= request.heldMs)
        return context.usageError(
            QStringLiteral("--strum %1 spreads the %2 notes over %3 ms, not "
                           "less than --seconds %4")
                .arg(QString::number(request.strumMs), QString::number(request.notes.size()),
                     QString::number(spreadMs), QString::number(request.seconds)));
    return std::nullopt;
}

std::optional<int> PlayCommand::readTiming(Request& request, const CommandContext& context) const {
    if (parser().isSet(m_seconds)) {
        const QString text = parser().value(m_seconds);
        const std::optional<double> seconds =
            Arguments::decimalNumber(text, minimumSeconds, maximumSeconds);
        if (!seconds)
            return context.usageError(
                QStringLiteral("no such number of seconds '%1' (0.1 to 600)").arg(text));
        request.seconds = *seconds;
    }
    request.heldMs = std::llround(request.seconds * 1000);
    if (parser().isSet(m_program)) {
        const QString text = parser().value(m_program);
        const std::optional<int> program = Arguments::wholeNumber(text, 0, maximumProgram);
        if (!program)
            return context.usageError(QStringLiteral("no such program '%1' (0 to 127)").arg(text));
        request.program = qint16(*program);
    }
    if (parser().isSet(m_strum)) {
        const QString text = parser().value(m_strum);
        const std::optional<int> strum = Arguments::wholeNumber(text, 0, maximumStrumMs);
        if (!strum)
            return context.usageError(
                QStringLiteral("no such strum '%1' (0 to 1000 milliseconds)").arg(text));
        request.strumMs = *strum;
    }
    return std::nullopt;
}

bool PlayCommand::wait(int ms, const CommandContext& context) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (context.interrupted())
            return false;
        QThread::msleep(qMin<qint64>(waitStepMs, ms - clock.elapsed()));
    }
    return !context.interrupted();
}

int PlayCommand::playLive(const Request& request, const CommandContext& context) const {
    ChoosingMidiPort port;
    MidiOutput output(port);
    const qint32 opened = output.open();
    if (request.verbose) {
        for (const QString& line : port.report())
            context.out() << CommandContext::printable(line) << '\n';
        context.out().flush();
    }
    if (opened != 0) {
        context.report(QStringLiteral("The MIDI stream is unavailable. (--list-ports shows the "
                                      "outputs; STRUMVANE_MIDI_PORT chooses one)"));
        return ExitStatus::failure;
    }

    output.SendProgramChange(request.program);
    QElapsedTimer held;
    held.start();
    bool interrupted = false;
    for (qsizetype i = 0; i < request.notes.size(); ++i) {
        if (i > 0 && !interrupted)
            interrupted = !wait(request.strumMs, context);
        output.NoteOn(request.notes[i]);
    }
    if (!interrupted)
        interrupted = !wait(int(qMax<qint64>(0, request.heldMs - held.elapsed())), context);
    // Always silenced, so that no note keeps sounding on a synthesiser after the tool ends.
    for (const qint16 note : request.notes)
        output.NoteOff(note);
    if (port.isBuiltin() && !interrupted)
        interrupted = !wait(minimumReleaseMs, context); // the release is heard before the end
    output.close();
    if (request.verbose)
        context.out() << "played " << CommandContext::printable(request.chordName) << " (program "
                      << request.program << ")\n";
    return interrupted ? context.interruptedStatus() : ExitStatus::ok;
}

int PlayCommand::renderWave(const Request& request, const CommandContext& context) const {
    // Opened first, so that a target that cannot be written fails before the rendering.
    OutputFile file(context, request.wavFile);
    // The header's lengths are known at the end; its room is kept meanwhile.
    if (!file.append(QByteArray(WaveFile::headerSize, '\0')))
        return file.finish();
    FluidSynthPort::Setup setup = FluidSynthPort::Setup::fromEnvironment();
    setup.offline = true;
    FluidSynthPort synth(setup);
    MidiOutput output(synth);
    if (output.open() != 0) {
        context.report(QStringLiteral("the built-in synthesiser did not start: %1")
                           .arg(synth.failureReason()));
        return ExitStatus::failure;
    }

    // The same messages as the window sends, with the samples rendered between them and
    // written block by block, so that memory holds one block however long the sound.
    qint64 renderedFrames = 0;
    bool writing = true;
    const auto renderFrames = [&](qint64 frames) {
        for (qint64 left = frames; writing && left > 0; left -= renderBlockFrames) {
            const int block = int(qMin<qint64>(left, renderBlockFrames));
            writing = file.append(synth.render(block));
            renderedFrames += block;
        }
    };
    const auto renderUntil = [&](qint64 ms) { renderFrames(framesFor(ms) - renderedFrames); };
    output.SendProgramChange(request.program);
    for (qsizetype i = 0; i < request.notes.size(); ++i) {
        renderUntil(i * request.strumMs);
        output.NoteOn(request.notes[i]);
    }
    renderUntil(request.heldMs);
    for (const qint16 note : request.notes)
        output.NoteOff(note);
    renderUntil(request.heldMs + minimumReleaseMs);
    const int releaseSteps = (maximumReleaseMs - minimumReleaseMs) * FluidSynthPort::sampleRate /
                             1000 / renderStepFrames;
    for (int step = 0; writing && step < releaseSteps && synth.activeVoiceCount() > 0; ++step)
        renderFrames(renderStepFrames);
    output.close();

    const qint64 dataSize = file.size() - WaveFile::headerSize;
    if (writing)
        file.writeAt(0, WaveFile::header(quint64(dataSize), FluidSynthPort::channelCount,
                                         FluidSynthPort::sampleRate));
    if (const int status = file.finish(); status != ExitStatus::ok)
        return status;
    if (request.verbose) {
        const double totalSeconds =
            double(dataSize) / (FluidSynthPort::channelCount * 2) / FluidSynthPort::sampleRate;
        context.out() << CommandContext::printable(
                             QStringLiteral("rendered %1 (program %2) with %3: %4 s into %5")
                                 .arg(request.chordName, QString::number(request.program),
                                      synth.description(), QString::number(totalSeconds, 'f', 2),
                                      request.wavFile))
                      << '\n';
    }
    return ExitStatus::ok;
}
