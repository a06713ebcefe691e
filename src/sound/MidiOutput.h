#pragma once

#include <QtGlobal>

class MidiPort;

// The program's MIDI output state: the port, the result of opening it, the channel (0) and
// the note-on velocity (127). Every send does nothing while the open result is not 0, so a
// machine without a MIDI output runs silently.
class MidiOutput {
public:
    explicit MidiOutput(MidiPort& port) : m_port(port) {}

    // Opens the port; returns the open result (0 = open). Sets channel 0 and velocity 127
    // whatever the outcome.
    qint32 open();
    // Closes the port (also when it never opened) and keeps its result as the open result.
    qint32 close();

    // Program change: 0xC0 + channel, program; e.g. program 0 is 0x000000C0.
    void SendProgramChange(qint16 program);
    // Note on: 0x007F0000 + note * 256 + 0x90 + channel; note 60 is 0x007F3C90.
    void NoteOn(qint16 note);
    // Note off with velocity 0: note * 256 + 0x80 + channel; note 60 is 0x00003C80.
    void NoteOff(qint16 note);

    qint32 midiOpenResult() const { return m_openResult; }
    qint16 midiChannel() const { return m_channel; }
    qint16 midiVelocity() const { return m_velocity; }

private:
    void send(quint32 packed);

    MidiPort& m_port;
    qint32 m_openResult = -1; // not open until open() succeeds
    qint16 m_channel = 0;
    qint16 m_velocity = 0;
};
