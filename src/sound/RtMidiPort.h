#pragma once

#include "sound/MidiPort.h"

#include <QList>
#include <QString>
#include <memory>
#include <vector>

class RtMidiOut;

// MidiPort on RtMidi: port 0 of the first MIDI system that offers an output port, the ALSA
// sequencer first, then JACK; or one named output. Messages go out as their bytes (status
// first).
class RtMidiPort : public MidiPort {
public:
    enum class System { Alsa, Jack };

    // One output port a MIDI system offers, e.g. {Alsa, "Midi Through:Midi Through Port-0 14:0"}.
    struct Output {
        System system = System::Alsa;
        QString name;
        bool operator==(const Output&) const = default;
    };

    RtMidiPort();
    // A port that opens `output` instead of the first port.
    explicit RtMidiPort(Output output);
    ~RtMidiPort() override;

    // Every output port of the ALSA sequencer, then of JACK, as the systems name them. Systems
    // that do not run (no /dev/snd/seq, no JACK server) are not asked.
    static QList<Output> outputs();
    // "ALSA" or "JACK".
    static QString systemName(System system);

    // 0 when the port is open; 2 (no such device) when there is none (or the named one is gone).
    qint32 open() override;
    void sendShortMessage(quint32 packed) override;
    qint32 close() override;

    // The bytes of a packed short message: 0x007F3C90 gives {0x90, 0x3C, 0x7F}; program
    // change and channel pressure carry one data byte, the others two.
    static std::vector<unsigned char> messageBytes(quint32 packed);

private:
    std::unique_ptr<RtMidiOut> m_out;
    std::unique_ptr<Output> m_wanted; // null: the first port of the first system
};
