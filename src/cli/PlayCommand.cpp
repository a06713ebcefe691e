#include "cli/PlayCommand.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "cli/ChartsTool.h"
#include "sound/ChoosingMidiPort.h"
#include "sound/FluidSynthPort.h"
#include "sound/MidiOutput.h"
#include "sound/WaveFile.h"
#include "writers/ImageFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <cmath>
#include <optional>

namespace {

constexpr double defaultSeconds = 1.5;
constexpr double minimumSeconds = 0.1;
constexpr double maximumSeconds = 600;
constexpr int maximumProgram = 127;
constexpr int maximumStrumMs = 1000;
constexpr int waitStepMs = 10;
constexpr int renderStepFrames = 441; // 10 ms, to see when the release has died away

std::optional<int> parseWhole(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

int framesFor(qint64 ms) {
    return int(ms * FluidSynthPort::sampleRate / 1000);
}

} // namespace

struct PlayCommand::Request {
    QString chordName;
    QList<qint16> notes; // low string first
    qint64 heldMs = 0;   // from the first note-on to the note-offs
    int strumMs = 0;
    qint16 program = 0;
    QString wavFile;
    bool verbose = false;
};

PlayCommand::PlayCommand(QTextStream& out, QTextStream& err,
                         std::function<int(const QString&)> usageError,
                         const std::atomic_bool& interrupted)
    : m_out(out), m_err(err), m_usageError(std::move(usageError)), m_interrupted(interrupted) {}

int PlayCommand::run(const QStringList& args, const Options& options) {
    if (options.listPorts && args.isEmpty()) {
        for (const QString& line : ChoosingMidiPort::describeChoice())
            m_out << line << '\n';
        return 0;
    }
    if (args.size() != 2)
        return m_usageError(QStringLiteral("play takes ENTRY PITCH"));

    const std::optional<int> entryNumber = ChartsTool::parseEntry(args[0]);
    if (!entryNumber)
        return m_usageError(QStringLiteral("no such entry '%1' (1 to 611)").arg(args[0]));
    const std::optional<qint16> pitch = ChordTheory::parsePitch(args[1]);
    if (!pitch)
        return m_usageError(QStringLiteral("no such Pitch '%1'").arg(args[1]));

    Request request;
    request.verbose = options.verbose;
    double seconds = defaultSeconds;
    if (!options.seconds.isNull()) {
        bool ok = false;
        seconds = options.seconds.toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds < minimumSeconds || seconds > maximumSeconds)
            return m_usageError(
                QStringLiteral("no such number of seconds '%1' (0.1 to 600)").arg(options.seconds));
    }
    request.heldMs = std::llround(seconds * 1000);
    if (!options.program.isNull()) {
        const std::optional<int> program = parseWhole(options.program, 0, maximumProgram);
        if (!program)
            return m_usageError(
                QStringLiteral("no such program '%1' (0 to 127)").arg(options.program));
        request.program = qint16(*program);
    }
    if (!options.strum.isNull()) {
        const std::optional<int> strum = parseWhole(options.strum, 0, maximumStrumMs);
        if (!strum)
            return m_usageError(
                QStringLiteral("no such strum '%1' (0 to 1000 milliseconds)").arg(options.strum));
        request.strumMs = *strum;
    }
    if (!options.wavFile.isNull()) {
        if (QFileInfo(options.wavFile)
                .suffix()
                .compare(QLatin1String("wav"), Qt::CaseInsensitive) != 0)
            return m_usageError(
                QStringLiteral("the sound file '%1' must end in .wav").arg(options.wavFile));
        request.wavFile = options.wavFile;
    }

    const ChordEntry& entry = ChordCatalogue::entry(*entryNumber);
    const ChordTheory::PlacedChord chord = ChordTheory::placeChord(
        QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), *pitch);
    request.notes = chord.notes;
    request.chordName = ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType), *pitch,
                                                      chord.rootShift);
    const qint64 spreadMs = qint64(request.strumMs) * qMax<qsizetype>(0, chord.notes.size() - 1);
    if (spreadMs >= request.heldMs)
        return m_usageError(QStringLiteral("--strum %1 spreads the %2 notes over %3 ms, not less "
                                           "than --seconds %4")
                                .arg(request.strumMs)
                                .arg(chord.notes.size())
                                .arg(spreadMs)
                                .arg(seconds));

    if (options.listPorts) {
        for (const QString& line : ChoosingMidiPort::describeChoice())
            m_out << line << '\n';
    }
    return request.wavFile.isEmpty() ? playLive(request) : renderWave(request);
}

bool PlayCommand::wait(int ms) const {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        if (m_interrupted)
            return false;
        QThread::msleep(qMin<qint64>(waitStepMs, ms - clock.elapsed()));
    }
    return !m_interrupted;
}

int PlayCommand::playLive(const Request& request) {
    ChoosingMidiPort port;
    MidiOutput output(port);
    const qint32 opened = output.open();
    if (request.verbose) {
        for (const QString& line : port.report())
            m_out << line << '\n';
        m_out.flush();
    }
    if (opened != 0) {
        m_err << "strumvane-charts: The MIDI stream is unavailable. (--list-ports shows the "
                 "outputs; STRUMVANE_MIDI_PORT chooses one)\n";
        return 1;
    }

    output.SendProgramChange(request.program);
    QElapsedTimer held;
    held.start();
    bool interrupted = false;
    for (qsizetype i = 0; i < request.notes.size(); ++i) {
        if (i > 0 && !interrupted)
            interrupted = !wait(request.strumMs);
        output.NoteOn(request.notes[i]);
    }
    if (!interrupted)
        interrupted = !wait(int(qMax<qint64>(0, request.heldMs - held.elapsed())));
    // Always silenced, so that no note keeps sounding on a synthesiser after the tool ends.
    for (const qint16 note : request.notes)
        output.NoteOff(note);
    if (port.isBuiltin() && !interrupted)
        interrupted = !wait(minimumReleaseMs); // the release is heard before the sound stops
    output.close();
    if (request.verbose)
        m_out << "played " << request.chordName << " (program " << request.program << ")\n";
    return interrupted ? 130 : 0;
}

int PlayCommand::renderWave(const Request& request) {
    FluidSynthPort::Setup setup = FluidSynthPort::Setup::fromEnvironment();
    setup.offline = true;
    FluidSynthPort synth(setup);
    MidiOutput output(synth);
    if (output.open() != 0) {
        m_err << "strumvane-charts: the built-in synthesiser did not start: "
              << synth.failureReason() << '\n';
        return 1;
    }

    // The same messages as the window sends, with the samples rendered between them.
    QByteArray samples;
    qint64 renderedMs = 0;
    const auto renderUntil = [&](qint64 ms) {
        samples += synth.render(framesFor(ms) - framesFor(renderedMs));
        renderedMs = ms;
    };
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
    for (int step = 0; step < releaseSteps && synth.activeVoiceCount() > 0; ++step)
        samples += synth.render(renderStepFrames);
    output.close();

    const QByteArray file =
        WaveFile::encode(samples, FluidSynthPort::channelCount, FluidSynthPort::sampleRate);
    QString reason;
    if (ImageFile::writeFile(request.wavFile, file, &reason) != WriteResult::Written) {
        m_err << "strumvane-charts: cannot write '" << ChartsTool::printable(request.wavFile)
              << "': " << reason << '\n';
        return 1;
    }
    if (request.verbose) {
        const double totalSeconds = double(samples.size()) / (FluidSynthPort::channelCount * 2) /
                                    FluidSynthPort::sampleRate;
        m_out << "rendered " << request.chordName << " (program " << request.program << ") with "
              << synth.description() << ": " << QString::number(totalSeconds, 'f', 2) << " s into "
              << request.wavFile << '\n';
    }
    return 0;
}
