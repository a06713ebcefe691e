// The production MIDI port on a real transport: a private JACK server with a dummy driver and
// an RtMidi input port listening on it.
#include "sound/ChoosingMidiPort.h"
#include "sound/MidiOutput.h"
#include "sound/RtMidiPort.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <rtmidi/RtMidi.h>

namespace {

using Bytes = std::vector<unsigned char>;

void noteJackWarning(RtMidiError::Type, const std::string&, void* unreachable) {
    *static_cast<bool*>(unreachable) = true;
}

} // namespace

TEST(RtMidiPortBytesTests, MessageBytes_StatusFirstWithTheDataBytesTheMessageCarries) {
    const struct {
        quint32 packed;
        Bytes bytes;
    } cases[] = {
        {0x000000C0, {0xC0, 0x00}},       // program change: one data byte
        {0x007F3C90, {0x90, 0x3C, 0x7F}}, // note on, middle C, velocity 127
        {0x00003C80, {0x80, 0x3C, 0x00}}, // note off with velocity 0
        {0x00004880, {0x80, 0x48, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.packed);
        EXPECT_EQ(RtMidiPort::messageBytes(c.packed), c.bytes);
    }
}

TEST(RtMidiPortBytesTests, OpenWithoutServer_ReportsNoDeviceAndSendsNothing) {
    if (QFileInfo::exists(QStringLiteral("/dev/snd/seq")))
        GTEST_SKIP() << "an ALSA sequencer is present and may offer a port";
    // A server name that nothing runs under.
    qputenv("JACK_DEFAULT_SERVER", "strumvane-test-no-such-server");
    qputenv("JACK_NO_START_SERVER", "1");
    RtMidiPort port;
    EXPECT_NE(port.open(), 0);
    port.sendShortMessage(0x007F3C90);
    EXPECT_NE(port.close(), 0);
}

class RtMidiPortTests : public ::testing::Test {
protected:
    QProcess server;
    QString serverName =
        QStringLiteral("strumvane-test-%1").arg(QCoreApplication::applicationPid());
    std::unique_ptr<RtMidiIn> listener;
    std::string listenerClient = "listener"; // the JACK client name the port sees

    void SetUp() override {
        const QString jackd = QStandardPaths::findExecutable(QStringLiteral("jackd"));
        if (jackd.isEmpty())
            GTEST_SKIP() << "jackd is not installed (Debian package jackd2, or jackd1)";
        // The port takes the ALSA sequencer first; this test is about the JACK path.
        if (QFileInfo::exists(QStringLiteral("/dev/snd/seq")))
            GTEST_SKIP() << "an ALSA sequencer is present, so the port would not use JACK";

        // A server of our own name, so that parallel runs and a user's server are left alone.
        qputenv("JACK_DEFAULT_SERVER", serverName.toUtf8());
        qputenv("JACK_NO_START_SERVER", "1");
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(jackd, {QStringLiteral("--no-realtime"), QStringLiteral("-n"), serverName,
                             QStringLiteral("-t"), QStringLiteral("20000"), QStringLiteral("-d"),
                             QStringLiteral("dummy"), QStringLiteral("-r"), QStringLiteral("48000"),
                             QStringLiteral("-p"), QStringLiteral("1024")});
        ASSERT_TRUE(server.waitForStarted(5000)) << server.errorString().toStdString();

        // The server takes a moment before it accepts clients, seconds on a loaded machine.
        const QDeadlineTimer deadline(30000);
        while (!listener && !deadline.hasExpired()) {
            bool notRunning = false;
            auto candidate = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, listenerClient);
            candidate->setErrorCallback(&noteJackWarning, &notRunning);
            candidate->getPortCount(); // connects to the server, or warns
            if (!notRunning)
                listener = std::move(candidate);
            else
                QThread::msleep(100);
        }
        ASSERT_TRUE(listener) << "jackd did not accept clients:\n"
                              << server.readAll().toStdString();
        // The port opens the first JACK MIDI input of another client: this one.
        listener->openVirtualPort("in");
        listener->ignoreTypes(false, false, false);
    }

    void TearDown() override {
        listener.reset();
        if (server.state() != QProcess::NotRunning) {
            server.terminate(); // by its own process id
            if (!server.waitForFinished(5000)) {
                server.kill();
                server.waitForFinished(2000);
            }
        }
    }

    // Every message the listener receives until `count` have come or `waitMs` passed.
    std::vector<Bytes> receive(std::size_t count, int waitMs = 5000) {
        std::vector<Bytes> received;
        const QDeadlineTimer deadline(waitMs);
        while (received.size() < count && !deadline.hasExpired()) {
            Bytes message;
            listener->getMessage(&message);
            if (message.empty())
                QThread::msleep(10);
            else
                received.push_back(message);
        }
        return received;
    }
};

TEST_F(RtMidiPortTests, OpenOnJack_DeliversProgramChangeNoteOnsAndNoteOffsAsBytes) {
    RtMidiPort port;
    MidiOutput output(port);
    ASSERT_EQ(output.open(), 0);
    output.SendProgramChange(0);
    for (const qint16 note : {48, 55, 60})
        output.NoteOn(note);
    for (const qint16 note : {48, 55, 60})
        output.NoteOff(note);
    // Closing right after the last send must not lose it.
    EXPECT_EQ(output.close(), 0);

    const std::vector<Bytes> expected = {
        {0xC0, 0x00},       {0x90, 0x30, 0x7F}, {0x90, 0x37, 0x7F}, {0x90, 0x3C, 0x7F},
        {0x80, 0x30, 0x00}, {0x80, 0x37, 0x00}, {0x80, 0x3C, 0x00},
    };
    EXPECT_EQ(receive(expected.size()), expected);
    EXPECT_TRUE(receive(1, 300).empty()) << "more messages than sent";
}

TEST_F(RtMidiPortTests, OpenWithoutAnyInputPort_ReportsNoDevice) {
    listener.reset(); // the server runs, but nobody listens
    RtMidiPort port;
    EXPECT_NE(port.open(), 0);
    port.sendShortMessage(0x007F3C90); // harmless while not open
    EXPECT_NE(port.close(), 0);
}

// A synthesiser a user runs (here a JACK client named as FluidSynth names itself) is chosen
// over the built-in synthesiser and receives the messages.
class SynthesiserPortTests : public RtMidiPortTests {
protected:
    SynthesiserPortTests() { listenerClient = "FLUID Synth (4242)"; }
};

TEST_F(SynthesiserPortTests, RunningSynthesiser_IsChosenAndReceivesTheChord) {
    qunsetenv("STRUMVANE_MIDI_PORT");
    ChoosingMidiPort port;
    MidiOutput output(port);
    ASSERT_EQ(output.open(), 0) << port.report().join(u'\n').toStdString();
    EXPECT_FALSE(port.isBuiltin());
    EXPECT_TRUE(port.report().last().startsWith(QLatin1String("chosen: JACK port 'FLUID Synth")))
        << port.report().join(u'\n').toStdString();
    output.SendProgramChange(0);
    output.NoteOn(60);
    output.NoteOff(60);
    EXPECT_EQ(output.close(), 0);
    const std::vector<Bytes> expected = {{0xC0, 0x00}, {0x90, 0x3C, 0x7F}, {0x80, 0x3C, 0x00}};
    EXPECT_EQ(receive(expected.size()), expected);
}
