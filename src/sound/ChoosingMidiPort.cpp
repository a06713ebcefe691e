#include "sound/ChoosingMidiPort.h"

#include "sound/MidiPortChoice.h"

namespace {

constexpr qint32 noDevice = 2;

QStringList namesOf(const QList<RtMidiPort::Output>& outputs) {
    QStringList names;
    for (const RtMidiPort::Output& output : outputs)
        names << output.name;
    return names;
}

QString shown(const RtMidiPort::Output& output) {
    return QStringLiteral("%1 port '%2'").arg(RtMidiPort::systemName(output.system), output.name);
}

QString shown(const QList<RtMidiPort::Output>& outputs, const MidiPortChoice::Candidate& c) {
    switch (c.kind) {
    case MidiPortChoice::Kind::Port:
        return QStringLiteral("%1 (%2)").arg(shown(outputs[c.portIndex]), c.reason);
    case MidiPortChoice::Kind::Builtin:
        return QStringLiteral("built-in synthesiser (%1)").arg(c.reason);
    case MidiPortChoice::Kind::Silent:
        return QStringLiteral("no sound (%1)").arg(c.reason);
    }
    return {};
}

QStringList portLines(const QList<RtMidiPort::Output>& outputs) {
    QStringList lines;
    for (const RtMidiPort::Output& output : outputs)
        lines << QStringLiteral("seen: %1").arg(shown(output));
    if (outputs.isEmpty())
        lines << QStringLiteral("seen: no ALSA or JACK output port");
    return lines;
}

} // namespace

ChoosingMidiPort::ChoosingMidiPort() = default;

ChoosingMidiPort::~ChoosingMidiPort() {
    close();
}

QStringList ChoosingMidiPort::describeChoice() {
    const QList<RtMidiPort::Output> outputs = RtMidiPort::outputs();
    const QList<MidiPortChoice::Candidate> candidates =
        MidiPortChoice::candidates(namesOf(outputs), MidiPortChoice::requestFromEnvironment());
    QStringList lines = portLines(outputs);
    if (candidates.isEmpty())
        lines << QStringLiteral("would choose: nothing (%1=%2 matches no port)")
                     .arg(QLatin1String(MidiPortChoice::requestVariable),
                          MidiPortChoice::requestFromEnvironment());
    for (int i = 0; i < candidates.size(); ++i) {
        lines << QStringLiteral("%1 %2").arg(i == 0 ? QStringLiteral("would choose:")
                                                    : QStringLiteral("else:"),
                                             shown(outputs, candidates[i]));
    }
    return lines;
}

qint32 ChoosingMidiPort::open() {
    close();
    m_report.clear();
    const QList<RtMidiPort::Output> outputs = RtMidiPort::outputs();
    const QString request = MidiPortChoice::requestFromEnvironment();
    m_report << portLines(outputs);
    const QList<MidiPortChoice::Candidate> candidates =
        MidiPortChoice::candidates(namesOf(outputs), request);
    if (candidates.isEmpty()) {
        m_report << QStringLiteral("nothing to open: %1=%2 matches no port")
                        .arg(QLatin1String(MidiPortChoice::requestVariable), request);
    }

    for (const MidiPortChoice::Candidate& candidate : candidates) {
        switch (candidate.kind) {
        case MidiPortChoice::Kind::Silent:
            m_silent = true;
            m_report << QStringLiteral("chosen: %1").arg(shown(outputs, candidate));
            return 0;
        case MidiPortChoice::Kind::Builtin: {
            auto synth = std::make_unique<FluidSynthPort>(FluidSynthPort::Setup::fromEnvironment());
            if (synth->open() == 0) {
                m_report << QStringLiteral("chosen: %1, %2")
                                .arg(shown(outputs, candidate), synth->description());
                m_chosen = std::move(synth);
                m_builtinOpen = true;
                return 0;
            }
            m_report << QStringLiteral("did not open: %1: %2")
                            .arg(shown(outputs, candidate), synth->failureReason());
            break;
        }
        case MidiPortChoice::Kind::Port: {
            auto port = std::make_unique<RtMidiPort>(outputs[candidate.portIndex]);
            if (port->open() == 0) {
                m_report << QStringLiteral("chosen: %1").arg(shown(outputs, candidate));
                m_chosen = std::move(port);
                return 0;
            }
            m_report << QStringLiteral("did not open: %1").arg(shown(outputs, candidate));
            break;
        }
        }
    }
    return noDevice;
}

void ChoosingMidiPort::sendShortMessage(quint32 packed) {
    if (m_chosen)
        m_chosen->sendShortMessage(packed);
}

qint32 ChoosingMidiPort::close() {
    m_builtinOpen = false;
    if (m_silent) {
        m_silent = false;
        return 0;
    }
    if (!m_chosen)
        return noDevice;
    const qint32 result = m_chosen->close();
    m_chosen.reset();
    return result;
}
