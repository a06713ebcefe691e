#include "finder/ChordPlayer.h"
#include "finder/KeyHold.h"
#include "support/FakeMidiPort.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

// Holding a chord: every note that started is stopped, strummed or not, whatever comes
// between.

namespace {

constexpr quint32 programChange = 0x000000C0;

quint32 noteOn(int note) {
    return 0x007F0090u + quint32(note) * 256;
}

quint32 noteOff(int note) {
    return 0x00000080u + quint32(note) * 256;
}

TEST(ChordPlayer, PressAndRelease_SoundEveryNoteTogether) {
    FakeMidiPort port;
    ChordPlayer player(port);
    ASSERT_EQ(player.open(), 0);
    player.press({45, 52, 55, 60, 64});
    EXPECT_TRUE(player.isHeld());
    player.release();
    EXPECT_EQ(port.messages, (QList<quint32>{programChange, noteOn(45), noteOn(52), noteOn(55),
                                             noteOn(60), noteOn(64), noteOff(45), noteOff(52),
                                             noteOff(55), noteOff(60), noteOff(64)}));
}

TEST(ChordPlayer, AStrum_StartsTheStringsInTurnAndAReleaseStopsOnlyThoseStarted) {
    FakeMidiPort port;
    ChordPlayer player(port);
    player.open();
    player.setStrumMs(150);
    player.press({40, 47, 52, 56});
    EXPECT_EQ(port.messages, (QList<quint32>{programChange, noteOn(40)}));
    // Released between the second string and the third.
    QElapsedTimer clock;
    clock.start();
    while (port.messages.size() < 3 && clock.elapsed() < 2000)
        QTest::qWait(10);
    player.release();
    EXPECT_EQ(port.messages.mid(1),
              (QList<quint32>{noteOn(40), noteOn(47), noteOff(40), noteOff(47)}));
    QTest::qWait(400); // the strum does not carry on after the release
    EXPECT_EQ(port.messages.size(), 5);

    // A new press lets go of the chord still held; the shutdown of one held, and closes.
    player.setStrumMs(0);
    player.press({40, 47});
    player.press({45});
    player.shutdown();
    EXPECT_EQ(port.messages.mid(5), (QList<quint32>{noteOn(40), noteOn(47), noteOff(40),
                                                    noteOff(47), noteOn(45), noteOff(45)}));
    EXPECT_EQ(port.closeCalls, 1);
}

TEST(ChordPlayer, WithoutAnOutput_NothingIsSent) {
    FakeMidiPort port;
    port.openResult = 2;
    ChordPlayer player(port);
    EXPECT_NE(player.open(), 0);
    EXPECT_FALSE(player.isOpen());
    player.press({45, 52});
    player.release();
    EXPECT_TRUE(port.messages.isEmpty());
}

} // namespace

namespace {

TEST(KeyHold, ARepeatReportedAsReleaseAndPress_ContinuesTheHold) {
    KeyHold hold;
    int started = 0;
    int ended = 0;
    QObject::connect(&hold, &KeyHold::started, [&] { ++started; });
    QObject::connect(&hold, &KeyHold::ended, [&] { ++ended; });
    hold.press();
    for (int repeat = 0; repeat < 3; ++repeat) {
        hold.release();
        hold.press();
        QTest::qWait(KeyHold::releaseGraceMs * 2);
    }
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(hold.isHeld());
    hold.release();
    EXPECT_EQ(ended, 0); // not before the grace is over
    QTest::qWait(KeyHold::releaseGraceMs * 4);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(hold.isHeld());

    // A lost focus ends the hold at once; a release without a hold does nothing.
    hold.press();
    hold.cancel();
    hold.release();
    QTest::qWait(KeyHold::releaseGraceMs * 2);
    EXPECT_EQ(started, 2);
    EXPECT_EQ(ended, 2);
}

} // namespace
