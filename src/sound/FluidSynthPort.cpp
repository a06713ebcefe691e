#include "sound/FluidSynthPort.h"

#include "sound/JackServer.h"
#include "sound/MidiMessage.h"

#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSysInfo>
#include <QtEndian>
#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <glib.h>
#include <mutex>

namespace {

constexpr qint32 openFailed = 2;
// FluidSynth's default gain (0.2) leaves room for dozens of voices; a chord has at most six,
// and at this gain six notes at full velocity peak near a quarter of full scale on the piano
// and near half on the guitars.
constexpr double synthGain = 0.4;

// The drivers tried in turn when none is asked for. On a desktop with PipeWire its PulseAudio
// service answers the "pulseaudio" driver too, for FluidSynth builds without "pipewire".
const char* const preferredDrivers[] = {"pipewire", "pulseaudio", "alsa"};

// FluidSynth prints its errors on stderr unless told otherwise. They are kept instead, so that
// a failed open can say why, and the window's terminal stays quiet.
QMutex logMutex;
QStringList loggedErrors;

void keepError(int, const char* message, void*) {
    const QMutexLocker lock(&logMutex);
    loggedErrors << QString::fromUtf8(message);
    if (loggedErrors.size() > 8)
        loggedErrors.removeFirst();
}

// FluidSynth's SoundFont loaders (libinstpatch) report through GLib's log, which prints
// "** CRITICAL **" lines on stderr by default (a truncated SoundFont); their warnings join the
// kept errors instead, and the chatter below them is dropped.
void keepGLibMessage(const gchar*, GLogLevelFlags level, const gchar* message, gpointer) {
    if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING))
        keepError(0, message, nullptr);
}

void routeFluidLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        g_log_set_default_handler(keepGLibMessage, nullptr);
        fluid_set_log_function(FLUID_PANIC, keepError, nullptr);
        fluid_set_log_function(FLUID_ERR, keepError, nullptr);
        fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
        fluid_set_log_function(FLUID_INFO, nullptr, nullptr);
        fluid_set_log_function(FLUID_DBG, nullptr, nullptr);
    });
}

// libasound prints its own errors ("cannot find card '0'") on stderr; FluidSynth reports the
// failure itself, so they are dropped while FluidSynth opens an ALSA device.
void dropAlsaError(const char*, int, const char*, int, const char*, ...) {}

class QuietAlsa {
public:
    QuietAlsa() { snd_lib_error_set_handler(dropAlsaError); }
    ~QuietAlsa() { snd_lib_error_set_handler(nullptr); }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;
};

QString takeLoggedErrors() {
    const QMutexLocker lock(&logMutex);
    const QString text = loggedErrors.join(QStringLiteral("; "));
    loggedErrors.clear();
    return text;
}

} // namespace

struct FluidSynthPort::Engine {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;

    Engine() : settings(new_fluid_settings()) {}
    ~Engine() {
        // The driver's thread pulls from the synthesiser: it goes first.
        if (driver)
            delete_fluid_audio_driver(driver);
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
};

FluidSynthPort::Setup FluidSynthPort::Setup::fromEnvironment() {
    Setup setup;
    setup.soundFont = qEnvironmentVariable("STRUMVANE_SOUNDFONT");
    if (setup.soundFont.isEmpty())
        setup.soundFont = QString::fromLatin1(debianSoundFont);
    setup.audioDriver = qEnvironmentVariable("STRUMVANE_AUDIO_DRIVER").trimmed();
    setup.audioFile = qEnvironmentVariable("STRUMVANE_AUDIO_FILE");
    return setup;
}

FluidSynthPort::FluidSynthPort(Setup setup) : m_setup(std::move(setup)) {}

FluidSynthPort::~FluidSynthPort() {
    close();
}

QStringList FluidSynthPort::availableAudioDrivers() {
    routeFluidLog();
    QStringList names;
    fluid_settings_t* settings = new_fluid_settings();
    if (!settings)
        return names;
    fluid_settings_foreach_option(settings, "audio.driver", &names,
                                  [](void* data, const char*, const char* option) {
                                      *static_cast<QStringList*>(data) << QString::fromUtf8(option);
                                  });
    delete_fluid_settings(settings);
    return names;
}

qint32 FluidSynthPort::open() {
    close();
    routeFluidLog();
    takeLoggedErrors();
    m_failure.clear();

    const QFileInfo soundFont(m_setup.soundFont);
    if (m_setup.soundFont.isEmpty() || !soundFont.isFile()) {
        m_failure = QStringLiteral("no SoundFont at %1 (install timgm6mb-soundfont or "
                                   "fluid-soundfont-gm, or set STRUMVANE_SOUNDFONT)")
                        .arg(m_setup.soundFont);
        return openFailed;
    }

    // FluidSynth hands any file to its loaders, which complain on stderr about what is not
    // theirs: a file that is no SoundFont (RIFF "sfbk") or DLS (RIFF "DLS ") is refused here.
    QFile file(m_setup.soundFont);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(12) : QByteArray();
    if (!head.startsWith("RIFF") || (head.mid(8) != "sfbk" && head.mid(8) != "DLS ")) {
        m_failure = QStringLiteral("the SoundFont %1 does not load: %2")
                        .arg(m_setup.soundFont, file.isOpen() ? QStringLiteral("not a SoundFont")
                                                              : file.errorString());
        return openFailed;
    }

    auto engine = std::make_unique<Engine>();
    if (!engine->settings) {
        m_failure = QStringLiteral("FluidSynth could not start");
        return openFailed;
    }
    fluid_settings_setnum(engine->settings, "synth.sample-rate", sampleRate);
    // Locking the samples in memory needs a privilege a desktop user lacks; it only warns.
    fluid_settings_setint(engine->settings, "synth.lock-memory", 0);
    fluid_settings_setnum(engine->settings, "synth.gain", synthGain);
    engine->synth = new_fluid_synth(engine->settings);
    if (!engine->synth) {
        m_failure = QStringLiteral("FluidSynth could not start: %1").arg(takeLoggedErrors());
        return openFailed;
    }
    if (fluid_synth_sfload(engine->synth, QFile::encodeName(m_setup.soundFont).constData(), 1) ==
        FLUID_FAILED) {
        m_failure = QStringLiteral("the SoundFont %1 does not load: %2")
                        .arg(m_setup.soundFont, takeLoggedErrors());
        return openFailed;
    }

    if (!m_setup.offline && !startAudio(*engine))
        return openFailed;
    m_engine = std::move(engine);
    return 0;
}

bool FluidSynthPort::startAudio(Engine& engine) {
    QStringList drivers;
    const QStringList available = availableAudioDrivers();
    if (!m_setup.audioDriver.isEmpty()) {
        drivers << m_setup.audioDriver;
    } else {
        for (const char* name : preferredDrivers) {
            if (available.contains(QLatin1String(name)))
                drivers << QLatin1String(name);
        }
    }
    QStringList failures;
    for (const QString& name : drivers) {
        if (!available.contains(name)) {
            failures << QStringLiteral("%1: not in this FluidSynth (it has %2)")
                            .arg(name, available.join(QStringLiteral(", ")));
            continue;
        }
        if (name == QLatin1String("jack")) {
            // A client that finds no server would make libjack start one, and fail noisily
            // when it cannot.
            if (!JackServer::runs()) {
                failures << QStringLiteral("jack: no JACK server runs (start one, for instance "
                                           "with qjackctl, to hear the sound through JACK)");
                continue;
            }
            JackServer::forbidStarting();
        }
        if (name == QLatin1String("file")) {
            if (m_setup.audioFile.isEmpty()) {
                failures << QStringLiteral("file: STRUMVANE_AUDIO_FILE names no file");
                continue;
            }
            fluid_settings_setstr(engine.settings, "audio.file.name",
                                  QFile::encodeName(m_setup.audioFile).constData());
            fluid_settings_setstr(engine.settings, "audio.file.type", "wav");
            fluid_settings_setstr(engine.settings, "audio.file.format", "s16");
        }
        fluid_settings_setstr(engine.settings, "audio.driver", name.toUtf8().constData());
        {
            const QuietAlsa quiet;
            engine.driver = new_fluid_audio_driver(engine.settings, engine.synth);
        }
        if (engine.driver) {
            m_driver = name;
            break;
        }
        const QString why = takeLoggedErrors();
        failures << (why.isEmpty() ? name : QStringLiteral("%1: %2").arg(name, why));
    }
    if (!engine.driver) {
        m_failure = QStringLiteral("no audio output opened (%1)")
                        .arg(failures.isEmpty() ? QStringLiteral("no driver to try")
                                                : failures.join(QStringLiteral("; ")));
        return false;
    }
    return true;
}

void FluidSynthPort::sendShortMessage(quint32 packed) {
    if (!m_engine)
        return;
    fluid_synth_t* synth = m_engine->synth;
    const MidiMessage::Bytes message = MidiMessage::unpack(packed);
    const int channel = message.channel();
    const int data1 = message.data1;
    const int data2 = message.data2;
    // Results are not examined, as a port's sends are not: a note the synthesiser refuses
    // (no preset on the channel, say) is simply not heard.
    switch (message.kind()) {
    case MidiMessage::noteOff:
        fluid_synth_noteoff(synth, channel, data1);
        break;
    case MidiMessage::noteOn:
        // Velocity 0 is a note-off by MIDI's rules; FluidSynth applies them itself.
        fluid_synth_noteon(synth, channel, data1, data2);
        break;
    case MidiMessage::keyPressure:
        fluid_synth_key_pressure(synth, channel, data1, data2);
        break;
    case MidiMessage::controlChange:
        fluid_synth_cc(synth, channel, data1, data2);
        break;
    case MidiMessage::programChange:
        fluid_synth_program_change(synth, channel, data1);
        break;
    case MidiMessage::channelPressure:
        fluid_synth_channel_pressure(synth, channel, data1);
        break;
    case MidiMessage::pitchBend:
        fluid_synth_pitch_bend(synth, channel, data1 | (data2 << MidiMessage::dataBits));
        break;
    default:
        break; // data bytes or system messages: nothing a synthesiser plays
    }
}

qint32 FluidSynthPort::close() {
    if (!m_engine)
        return openFailed;
    m_engine.reset();
    m_driver.clear();
    return 0;
}

QByteArray FluidSynthPort::render(int frames) {
    if (!m_engine || m_engine->driver || frames <= 0)
        return {};
    QByteArray data(qsizetype(frames) * channelCount * qsizetype(sizeof(qint16)),
                    Qt::Uninitialized);
    // Interleaved: left samples at even, right at odd positions.
    auto* samples = reinterpret_cast<qint16*>(data.data());
    fluid_synth_write_s16(m_engine->synth, frames, samples, 0, channelCount, samples, 1,
                          channelCount);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        for (qsizetype i = 0; i < qsizetype(frames) * channelCount; ++i)
            samples[i] = qToLittleEndian(samples[i]);
    }
    return data;
}

int FluidSynthPort::activeVoiceCount() const {
    return m_engine ? fluid_synth_get_active_voice_count(m_engine->synth) : 0;
}

QString FluidSynthPort::description() const {
    QString text = QStringLiteral("SoundFont %1").arg(m_setup.soundFont);
    if (!m_driver.isEmpty())
        text += QStringLiteral(", audio %1").arg(m_driver);
    if (m_driver == QLatin1String("file"))
        text += QStringLiteral(" into %1").arg(m_setup.audioFile);
    return text;
}
