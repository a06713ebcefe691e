#pragma once

#include "sound/MidiPort.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

// The built-in General MIDI synthesiser: FluidSynth with a GM SoundFont, fed the same packed
// short messages as a MIDI port (program change, note on, note off; also controllers, pitch
// bend and pressure). Live, its sound goes to the first audio output that opens; offline, the
// caller pulls the samples with render().
//
// A missing SoundFont or no audio output is a failed open (result 2): the port then sends
// nothing, as a port without a device does, and failureReason() says why.
class FluidSynthPort : public MidiPort {
public:
    // Where the sound comes from and goes to.
    struct Setup {
        QString soundFont;    // the .sf2 file; e.g. "/usr/share/sounds/sf2/default-GM.sf2"
        QString audioDriver;  // a FluidSynth driver name ("pulseaudio", "alsa", "file", ...);
                              // empty: pipewire, pulseaudio, alsa, the first that opens
        QString audioFile;    // the WAV file the "file" driver writes (16-bit, 44.1 kHz)
        bool offline = false; // no audio output: the caller pulls the sound with render()

        // STRUMVANE_SOUNDFONT (when set, else the Debian GM SoundFont), STRUMVANE_AUDIO_DRIVER
        // and STRUMVANE_AUDIO_FILE.
        static Setup fromEnvironment();
    };

    // The General MIDI SoundFont that Debian's SoundFont packages provide as an alternative.
    static constexpr const char* debianSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
    static constexpr int sampleRate = 44100; // frames per second, live and offline
    static constexpr int channelCount = 2;   // stereo, interleaved left first

    explicit FluidSynthPort(Setup setup);
    ~FluidSynthPort() override;
    FluidSynthPort(const FluidSynthPort&) = delete;
    FluidSynthPort& operator=(const FluidSynthPort&) = delete;

    // Loads the SoundFont and, unless offline, starts the audio output. 0 when that works,
    // else 2.
    qint32 open() override;
    void sendShortMessage(quint32 packed) override;
    // Stops the audio output (its thread ends before this returns) and frees the synthesiser.
    // 0 when it was open, else 2.
    qint32 close() override;

    // The next `frames` frames of an offline synthesiser as 16-bit little-endian stereo
    // (4 bytes a frame); empty when not open offline.
    QByteArray render(int frames);
    // Voices still sounding (a released note keeps sounding through its release).
    int activeVoiceCount() const;

    // Why the last open failed, e.g. "no SoundFont at /x.sf2"; empty after a good open.
    QString failureReason() const { return m_failure; }
    // What is open, e.g. "SoundFont /usr/share/sounds/sf2/default-GM.sf2, audio pulseaudio".
    QString description() const;

    // The audio drivers this FluidSynth build offers, e.g. {"alsa", "file", "pulseaudio"}.
    static QStringList availableAudioDrivers();

private:
    struct Engine;
    bool startAudio(Engine& engine);

    Setup m_setup;
    std::unique_ptr<Engine> m_engine;
    QString m_driver;
    QString m_failure;
};
