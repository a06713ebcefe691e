// The chord sound without a window: what a press started is what the release and the shutdown
// silence, and nothing is sent without a device.
#include "sound/ChordSound.h"
#include "support/FakeMidiPort.h"

#include <gtest/gtest.h>

namespace {

constexpr quint32 programChange0 = 0x000000C0;

} // namespace

TEST(ChordSoundTests, ShutdownSilencesWhatStillSoundsThenCloses) {
    FakeMidiPort port;
    ChordSound sound(port);
    ASSERT_EQ(sound.open(), 0);
    sound.start(48);
    sound.start(48); // two strings on one note: two note-ons, two note-offs
    sound.start(60);
    sound.shutdown();
    EXPECT_EQ(port.messages, (QList<quint32>{programChange0, 0x007F3090, 0x007F3090, 0x007F3C90,
                                             0x00003080, 0x00003080, 0x00003C80}));
    EXPECT_EQ(port.closeCalls, 1);
}

TEST(ChordSoundTests, TakenNotesAreNotSilencedAgain) {
    FakeMidiPort port;
    ChordSound sound(port);
    sound.open();
    sound.start(64);
    EXPECT_EQ(sound.takeSoundingNotes(), QList<qint16>{64});
    EXPECT_TRUE(sound.takeSoundingNotes().isEmpty());
    sound.stopAll();
    EXPECT_EQ(port.messages, (QList<quint32>{programChange0, 0x007F4090}));
}

TEST(ChordSoundTests, WithoutDeviceSendsNothingAndKeepsTheOpenResult) {
    FakeMidiPort port;
    port.openResult = 2;
    ChordSound sound(port);
    EXPECT_EQ(sound.open(), 2);
    sound.start(60);
    sound.shutdown();
    EXPECT_TRUE(port.messages.isEmpty());
    EXPECT_EQ(port.closeCalls, 1);
    EXPECT_EQ(sound.midi().midiOpenResult(), 0); // the close result, as the shutdown keeps it
}
