#include "sound/MidiOutput.h"

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
    send(0xC0u + quint32(m_channel) + (quint32(program) & 0x7Fu) * 256u);
}

void MidiOutput::NoteOn(qint16 note) {
    send((quint32(m_velocity) & 0x7Fu) * 65536u + (quint32(note) & 0x7Fu) * 256u + 0x90u +
         quint32(m_channel));
}

void MidiOutput::NoteOff(qint16 note) {
    send((quint32(note) & 0x7Fu) * 256u + 0x80u + quint32(m_channel));
}

void MidiOutput::send(quint32 packed) {
    if (m_openResult != 0)
        return;
    m_port.sendShortMessage(packed);
}
