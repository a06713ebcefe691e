#include "sound/MidiMessage.h"

#include <gtest/gtest.h>

using namespace MidiMessage;

TEST(MidiMessageTests, PackAndUnpack_StatusLowestDataBytesSevenBitsEach) {
    const struct {
        quint8 kind;
        int channel;
        int data1;
        int data2;
        quint32 packed;
        int dataBytes;
    } cases[] = {
        {noteOn, 0, 60, 127, 0x007F3C90, 2},          // middle C at full velocity
        {noteOff, 0, 72, 0, 0x00004880, 2},           // as the chord sound ends a note
        {programChange, 0, 0, 0, 0x000000C0, 1},      // the piano
        {programChange, 9, 24, 0, 0x000018C9, 1},     // a program on channel 9
        {channelPressure, 15, 100, 0, 0x000064DF, 1}, // the last channel
        {pitchBend, 1, 0, 64, 0x004000E1, 2},         // the bend's centre
        {controlChange, 16, 7, 100, 0x006407B0, 2},   // channel 16 wraps to 0
        {noteOn, 0, 128 + 60, 255, 0x007F3C90, 2},    // the eighth bit is no data
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.packed);
        const quint8 status = statusOf(c.kind, c.channel);
        EXPECT_EQ(pack(status, c.data1, c.data2), c.packed);
        const Bytes bytes = unpack(c.packed | 0xFF000000u); // the top byte is ignored
        EXPECT_EQ(bytes.status, status);
        EXPECT_EQ(bytes.kind(), c.kind);
        EXPECT_EQ(bytes.channel(), c.channel % 16);
        EXPECT_EQ(pack(bytes.status, bytes.data1, bytes.data2), c.packed);
        EXPECT_EQ(bytes.dataByteCount(), c.dataBytes);
    }
}
