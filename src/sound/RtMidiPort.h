#pragma once

#include "sound/MidiPort.h"

#include <memory>
#include <vector>

class RtMidiOut;

// MidiPort on RtMidi: port 0 of the first MIDI system that offers an output port, the ALSA
// sequencer first, then JACK. Messages go out as their bytes (status first).
class RtMidiPort : public MidiPort {
public:
    RtMidiPort();
    ~RtMidiPort() override;

    // 0 when a port is open; 2 (no such device) when no system offers one.
    qint32 open() override;
    void sendShortMessage(quint32 packed) override;
    qint32 close() override;

    // The bytes of a packed short message: 0x007F3C90 gives {0x90, 0x3C, 0x7F}; program
    // change and channel pressure carry one data byte, the others two.
    static std::vector<unsigned char> messageBytes(quint32 packed);

private:
    std::unique_ptr<RtMidiOut> m_out;
};
