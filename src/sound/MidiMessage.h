#pragma once

#include <QtGlobal>

// MIDI short messages as MidiPort::sendShortMessage takes them: the status byte lowest, then
// the first and the second data byte, packed in a 32-bit word. A note-on for middle C at
// velocity 127 on channel 0: status 0x90, data 0x3C 0x7F, packed 0x007F3C90.
namespace MidiMessage {

// The kind of a channel message: the high four bits of its status byte.
inline constexpr quint8 noteOff = 0x80;
inline constexpr quint8 noteOn = 0x90;
inline constexpr quint8 keyPressure = 0xA0;
inline constexpr quint8 controlChange = 0xB0;
inline constexpr quint8 programChange = 0xC0;
inline constexpr quint8 channelPressure = 0xD0;
inline constexpr quint8 pitchBend = 0xE0;

inline constexpr quint8 kindMask = 0xF0;
// The channel 0..15: the low four bits of the status byte.
inline constexpr quint8 channelMask = 0x0F;
// A data byte carries seven bits, 0..127; pitch bend joins two into fourteen.
inline constexpr int dataBits = 7;
inline constexpr quint8 dataMask = 0x7F;
// Where the bytes sit in a packed message.
inline constexpr int data1Shift = 8;
inline constexpr int data2Shift = 16;
inline constexpr quint32 byteMask = 0xFF;

// The status byte of a channel message: statusOf(noteOn, 0) = 0x90, statusOf(programChange,
// 3) = 0xC3. The channel is taken modulo 16.
constexpr quint8 statusOf(quint8 kind, int channel) {
    return quint8((kind & kindMask) | (channel & channelMask));
}

// The packed message; each data byte keeps its low seven bits (0x80 becomes 0), and a message
// with one data byte has 0 as the second. pack(0x90, 60, 127) = 0x007F3C90.
constexpr quint32 pack(quint8 status, int data1, int data2 = 0) {
    return quint32(status) | quint32(data1 & dataMask) << data1Shift |
           quint32(data2 & dataMask) << data2Shift;
}

// A packed message taken apart: unpack(0x007F3C90) is status 0x90, data 0x3C and 0x7F. The
// bits above the second data byte and the eighth bit of each data byte are ignored.
struct Bytes {
    quint8 status = 0;
    quint8 data1 = 0;
    quint8 data2 = 0;

    constexpr quint8 kind() const { return quint8(status & kindMask); }
    constexpr int channel() const { return status & channelMask; }
    // The data bytes the message carries on the wire: 1 for a program change or channel
    // pressure, otherwise 2 (every status is sent with both, as the port is handed it).
    constexpr int dataByteCount() const {
        return kind() == programChange || kind() == channelPressure ? 1 : 2;
    }
};

constexpr Bytes unpack(quint32 packed) {
    return {quint8(packed & byteMask), quint8((packed >> data1Shift) & dataMask),
            quint8((packed >> data2Shift) & dataMask)};
}

} // namespace MidiMessage
