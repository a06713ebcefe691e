#pragma once

#include <QtGlobal>

// The first MIDI output of the system, as the chord sound uses it: opened once at start-up,
// fed packed short messages, closed at exit. Tests hand the window a fake that records.
class MidiPort {
public:
    virtual ~MidiPort() = default;

    // Opens the first output port. Returns 0 when it is open, otherwise a non-zero code.
    virtual qint32 open() = 0;

    // Sends one short message packed with the status byte lowest: a note-on for middle C at
    // velocity 127 on channel 0 is 0x007F3C90. Sends nothing while the port is not open.
    virtual void sendShortMessage(quint32 packed) = 0;

    // Closes the port (harmless when it never opened). Returns 0 on success.
    virtual qint32 close() = 0;
};
