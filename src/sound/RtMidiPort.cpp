#include "sound/RtMidiPort.h"

#include "sound/JackServer.h"
#include "sound/MidiMessage.h"

#include <QFileInfo>
#include <iostream>
#include <rtmidi/RtMidi.h>
#include <streambuf>

namespace {

constexpr qint32 noDevice = 2;

// RtMidi reports through this instead of printing; the program has its own message.
void ignoreRtMidiError(RtMidiError::Type, const std::string&, void*) {}

// RtMidi prints its warnings to std::cerr until an error callback is installed, and the
// callback can only be installed after construction: keep std::cerr quiet meanwhile.
class QuietStandardError {
public:
    QuietStandardError() : m_saved(std::cerr.rdbuf(&m_discard)) {}
    ~QuietStandardError() { std::cerr.rdbuf(m_saved); }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

private:
    class Discard : public std::streambuf {
    protected:
        int overflow(int c) override { return traits_type::not_eof(c); }
    };
    Discard m_discard;
    std::streambuf* m_saved;
};

std::unique_ptr<RtMidiOut> newOut(RtMidi::Api api) {
    auto out = std::make_unique<RtMidiOut>(api, "Strumvane");
    out->setErrorCallback(&ignoreRtMidiError, nullptr);
    return out;
}

// Opens the first port, or the port called `name` when one is given.
std::unique_ptr<RtMidiOut> openPort(RtMidi::Api api, const QString& name = {}) {
    const QuietStandardError quiet;
    try {
        auto out = newOut(api);
        // Opening port 0 of a system without ports crashes some back ends: count first.
        const unsigned count = out->getPortCount();
        unsigned index = 0;
        if (!name.isEmpty()) {
            // Looked up again by name: the numbers shift when another port comes or goes.
            while (index < count && QString::fromStdString(out->getPortName(index)) != name)
                ++index;
        }
        if (index >= count)
            return nullptr;
        out->openPort(index, "Strumvane");
        if (!out->isPortOpen())
            return nullptr;
        return out;
    } catch (const RtMidiError&) {
        return nullptr;
    }
}

// Whether the system can be asked for ports without it failing noisily.
bool systemRuns(RtMidi::Api api) {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (std::find(apis.begin(), apis.end(), api) == apis.end())
        return false;
    // Without a sequencer device ALSA only fails, noisily.
    if (api == RtMidi::LINUX_ALSA)
        return QFileInfo::exists(QStringLiteral("/dev/snd/seq"));
    return JackServer::runs();
}

RtMidi::Api apiOf(RtMidiPort::System system) {
    return system == RtMidiPort::System::Alsa ? RtMidi::LINUX_ALSA : RtMidi::UNIX_JACK;
}

} // namespace

RtMidiPort::RtMidiPort() = default;
RtMidiPort::RtMidiPort(Output output) : m_wanted(std::make_unique<Output>(std::move(output))) {}
RtMidiPort::~RtMidiPort() = default;

QList<RtMidiPort::Output> RtMidiPort::outputs() {
    QList<Output> found;
    for (const System system : {System::Alsa, System::Jack}) {
        if (!systemRuns(apiOf(system)))
            continue;
        const QuietStandardError quiet;
        try {
            auto out = newOut(apiOf(system));
            const unsigned count = out->getPortCount();
            for (unsigned i = 0; i < count; ++i)
                found << Output{system, QString::fromStdString(out->getPortName(i))};
        } catch (const RtMidiError&) {
            // A system that fails while listing offers nothing.
        }
    }
    return found;
}

QString RtMidiPort::systemName(System system) {
    return system == System::Alsa ? QStringLiteral("ALSA") : QStringLiteral("JACK");
}

qint32 RtMidiPort::open() {
    m_out.reset();
    if (m_wanted) {
        if (systemRuns(apiOf(m_wanted->system)))
            m_out = openPort(apiOf(m_wanted->system), m_wanted->name);
        return m_out ? 0 : noDevice;
    }
    for (const RtMidi::Api api : {RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK}) {
        if (systemRuns(api) && (m_out = openPort(api)))
            return 0;
    }
    return noDevice;
}

std::vector<unsigned char> RtMidiPort::messageBytes(quint32 packed) {
    const MidiMessage::Bytes message = MidiMessage::unpack(packed);
    if (message.dataByteCount() == 1)
        return {message.status, message.data1};
    return {message.status, message.data1, message.data2};
}

void RtMidiPort::sendShortMessage(quint32 packed) {
    if (!m_out)
        return;
    try {
        const std::vector<unsigned char> bytes = messageBytes(packed);
        m_out->sendMessage(&bytes);
    } catch (const RtMidiError&) {
        // A failed send is ignored, as a lost note would be.
    }
}

qint32 RtMidiPort::close() {
    if (!m_out)
        return noDevice;
    try {
        m_out->closePort();
    } catch (const RtMidiError&) {
    }
    m_out.reset();
    return 0;
}
