#include "sound/MidiOutput.h"

#include "sound/MidiPort.h"

namespace {

// Status bytes of the three messages the program sends; the channel is added to them.
constexpr quint32 programChangeStatus = 0xC0u;
constexpr quint32 noteOnStatus = 0x90u;
constexpr quint32 noteOffStatus = 0x80u;
// A data byte carries seven bits.
constexpr quint32 dataByteMask = 0x7Fu;

// A short message as the port takes it: status lowest, then the two data bytes.
quint32 pack(quint32 status, quint32 data1, quint32 data2) {
    return status | (data1 & dataByteMask) << 8 | (data2 & dataByteMask) << 16;
}

} // namespace

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
    send(pack(programChangeStatus + quint32(m_channel), quint32(program), 0));
}

void MidiOutput::NoteOn(qint16 note) {
    send(pack(noteOnStatus + quint32(m_channel), quint32(note), quint32(m_velocity)));
}

void MidiOutput::NoteOff(qint16 note) {
    send(pack(noteOffStatus + quint32(m_channel), quint32(note), 0));
}

void MidiOutput::send(quint32 packed) {
    if (m_openResult != 0)
        return;
    m_port.sendShortMessage(packed);
}
