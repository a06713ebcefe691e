#pragma once

#include "sound/FluidSynthPort.h"
#include "sound/MidiPort.h"
#include "sound/RtMidiPort.h"

#include <QStringList>
#include <memory>

// The MIDI output the window and `strumvane-charts play` use: at open it looks at the ports
// the ALSA sequencer and JACK offer and at STRUMVANE_MIDI_PORT, and opens the first output of
// MidiPortChoice's order that opens - a synthesiser port, the built-in synthesiser, another
// port. Every message then goes to that output. When nothing opens, the open fails and the
// program runs silently; STRUMVANE_MIDI_PORT=none opens a silent output on purpose.
class ChoosingMidiPort : public MidiPort {
public:
    // Reads the request, the SoundFont and the audio settings from the environment at open().
    ChoosingMidiPort();
    ~ChoosingMidiPort() override;

    // 0 when an output opened; 2 when none did.
    qint32 open() override;
    void sendShortMessage(quint32 packed) override;
    qint32 close() override;

    // Whether the open output is the built-in synthesiser (its release wants time before close).
    bool isBuiltin() const { return m_builtinOpen; }
    // What open() saw, tried and chose, one line each, e.g.
    // "ALSA port 'Midi Through:Midi Through Port-0 14:0'" ... "chosen: built-in synthesiser
    // (no synthesiser port), SoundFont /usr/share/sounds/sf2/default-GM.sf2, audio pulseaudio".
    const QStringList& report() const { return m_report; }

    // The outputs there are and the order open() would try them in, one line each, without
    // opening anything.
    static QStringList describeChoice();

private:
    std::unique_ptr<MidiPort> m_chosen;
    bool m_builtinOpen = false;
    bool m_silent = false;
    QStringList m_report;
};
