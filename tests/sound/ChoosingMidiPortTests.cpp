// The output the window opens, on this machine: the built-in synthesiser writing its sound to a
// file, a synthesiser that cannot start, and silence by request.
#include "sound/ChoosingMidiPort.h"
#include "sound/FluidSynthPort.h"
#include "sound/MidiOutput.h"
#include "support/ChordSpectrum.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

int threadCount() {
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

// Sets environment variables for one test and puts the old values back.
class Environment {
public:
    void set(const char* name, const QString& value) {
        if (!m_saved.contains(name))
            m_saved.insert(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                                 : std::nullopt);
        qputenv(name, value.toUtf8());
    }
    ~Environment() {
        for (auto it = m_saved.cbegin(); it != m_saved.cend(); ++it) {
            if (it.value())
                qputenv(it.key().constData(), *it.value());
            else
                qunsetenv(it.key().constData());
        }
    }

private:
    QHash<QByteArray, std::optional<QByteArray>> m_saved;
};

} // namespace

class ChoosingMidiPortTests : public ::testing::Test {
protected:
    void SetUp() override {
        if (!QFileInfo::exists(QString::fromLatin1(FluidSynthPort::debianSoundFont)))
            GTEST_SKIP() << "no General MIDI SoundFont (Debian package timgm6mb-soundfont)";
    }
    QTemporaryDir temp;
    Environment environment;
};

TEST_F(ChoosingMidiPortTests, Builtin_SoundsTheMessagesAsAPortWouldAndStopsItsThreadAtClose) {
    const QString file = temp.filePath(QStringLiteral("window.wav"));
    environment.set("STRUMVANE_MIDI_PORT", QStringLiteral("builtin"));
    environment.set("STRUMVANE_AUDIO_DRIVER", QStringLiteral("file"));
    environment.set("STRUMVANE_AUDIO_FILE", file);
    // Loading a SoundFont starts OpenMP's worker pool once for the process; it stays, idle.
    {
        FluidSynthPort warmUp({QString::fromLatin1(FluidSynthPort::debianSoundFont), {}, {}, true});
        ASSERT_EQ(warmUp.open(), 0);
    }
    const int threadsBefore = threadCount();

    ChoosingMidiPort port;
    MidiOutput output(port);
    ASSERT_EQ(output.open(), 0) << port.report().join(u'\n').toStdString();
    EXPECT_TRUE(port.isBuiltin());
    EXPECT_TRUE(port.report().last().startsWith(QLatin1String("chosen: built-in synthesiser")));
    // Cm as the window sends it at its first start: C3 G3 C4 Eb4.
    const QList<qint16> notes = {48, 55, 60, 63};
    output.SendProgramChange(0);
    for (const qint16 note : notes)
        output.NoteOn(note);
    QThread::msleep(1200);
    for (const qint16 note : notes)
        output.NoteOff(note);
    QThread::msleep(1500);
    QElapsedTimer closing;
    closing.start();
    EXPECT_EQ(output.close(), 0);
    EXPECT_LT(closing.elapsed(), 2000) << "closing the synthesiser hung";
    EXPECT_EQ(threadCount(), threadsBefore) << "the audio thread outlived the close";

    const ChordSpectrum::Wave wave = ChordSpectrum::readWave(file);
    ASSERT_TRUE(wave.error.isEmpty()) << wave.error.toStdString();
    const double start = ChordSpectrum::onset(wave, 0.002);
    ASSERT_GE(start, 0) << "the file is silent";
    QStringList problems;
    const QStringList lines = ChordSpectrum::compareWithNeighbours(wave, start + 0.1, 0.8,
                                                                   {48, 55, 60, 63}, 10, &problems);
    EXPECT_TRUE(problems.isEmpty()) << lines.join(u'\n').toStdString();
    EXPECT_LT(ChordSpectrum::rms(wave, wave.seconds() - 0.3, 0.3),
              ChordSpectrum::rms(wave, start + 0.1, 0.8) / 100)
        << "still sounding after the release";
}

TEST_F(ChoosingMidiPortTests, BuiltinThatCannotStart_IsAFailedOpenThatSendsNothing) {
    const struct {
        const char* name;
        const char* variable;
        QString value;
        const char* reason;
    } cases[] = {
        {"no SoundFont", "STRUMVANE_SOUNDFONT", QStringLiteral("/nonexistent/gm.sf2"),
         "no SoundFont at /nonexistent/gm.sf2"},
        {"not a SoundFont", "STRUMVANE_SOUNDFONT", QStringLiteral("/etc/hostname"),
         "does not load"},
        {"no such audio driver", "STRUMVANE_AUDIO_DRIVER", QStringLiteral("no-such-driver"),
         "no-such-driver: not in this FluidSynth"},
        {"the file driver without a file", "STRUMVANE_AUDIO_DRIVER", QStringLiteral("file"),
         "STRUMVANE_AUDIO_FILE names no file"},
    };
    environment.set("STRUMVANE_MIDI_PORT", QStringLiteral("builtin"));
    environment.set("STRUMVANE_AUDIO_FILE", QString());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Environment local;
        local.set("STRUMVANE_AUDIO_DRIVER", QStringLiteral("file"));
        local.set(c.variable, c.value);
        ChoosingMidiPort port;
        EXPECT_NE(port.open(), 0);
        EXPECT_FALSE(port.isBuiltin());
        EXPECT_TRUE(port.report().join(u'\n').contains(QLatin1String(c.reason)))
            << port.report().join(u'\n').toStdString();
        port.sendShortMessage(0x007F3C90); // harmless
        EXPECT_NE(port.close(), 0);
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("fluidsynth.wav")))
        << "the file driver wrote its default file";
}

TEST_F(ChoosingMidiPortTests, NoneRequested_OpensSilently) {
    environment.set("STRUMVANE_MIDI_PORT", QStringLiteral("none"));
    ChoosingMidiPort port;
    EXPECT_EQ(port.open(), 0);
    EXPECT_FALSE(port.isBuiltin());
    port.sendShortMessage(0x007F3C90);
    EXPECT_EQ(port.close(), 0);
}
