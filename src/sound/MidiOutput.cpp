#include "sound/MidiOutput.h"

#include "sound/MidiMessage.h"
#include "sound/MidiPort.h"

qint32 MidiOutput::open() {
    m_openResult = m_port.open();
    m_channel = 0;
    m_velocity = 127;
    return m_openResult;
}

qint32 MidiOutput::close() {
    // The close result is kept as the open result; the port itself sends nothing once closed.
    m_openResult = m_port.close();
    return m_openResult;
}

void MidiOutput::SendProgramChange(qint16 program) {
    send(MidiMessage::pack(MidiMessage::statusOf(MidiMessage::programChange, m_channel), program));
}

void MidiOutput::NoteOn(qint16 note) {
    send(
        MidiMessage::pack(MidiMessage::statusOf(MidiMessage::noteOn, m_channel), note, m_velocity));
}

void MidiOutput::NoteOff(qint16 note) {
    send(MidiMessage::pack(MidiMessage::statusOf(MidiMessage::noteOff, m_channel), note));
}

void MidiOutput::send(quint32 packed) {
    if (m_openResult != 0)
        return;
    m_port.sendShortMessage(packed);
}
