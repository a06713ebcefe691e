#pragma once

#include <QFile>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

// Listening to a chord in a WAV file by measurement: the strength of the sound at each note's
// fundamental (a Hann-windowed Goertzel filter), compared with the semitones next to it.
namespace ChordSpectrum {

// A 16-bit PCM WAV file, mixed down to one channel of samples in -1..1.
struct Wave {
    int sampleRate = 0;
    std::vector<double> samples;
    QString error; // empty when the file read as 16-bit PCM

    double seconds() const { return sampleRate ? double(samples.size()) / sampleRate : 0; }
};

// Little-endian fields of a byte array, assembled byte by byte.
inline quint32 littleEndian(const QByteArray& data, qsizetype at, int bytes) {
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | quint8(data[at + i]);
    return value;
}

inline Wave readWave(const QString& path) {
    Wave wave;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        wave.error = QStringLiteral("cannot open ") + path;
        return wave;
    }
    const QByteArray data = file.readAll();
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE") {
        wave.error = QStringLiteral("not a RIFF WAVE file");
        return wave;
    }
    int channels = 0;
    int bits = 0;
    int format = 0;
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const quint32 size = littleEndian(data, at + 4, 4);
        const qsizetype body = at + 8;
        const qsizetype available = std::min<qsizetype>(size, data.size() - body);
        if (id == "fmt " && available >= 16) {
            format = quint16(littleEndian(data, body, 2));
            channels = quint16(littleEndian(data, body + 2, 2));
            wave.sampleRate = int(littleEndian(data, body + 4, 4));
            bits = quint16(littleEndian(data, body + 14, 2));
        } else if (id == "data") {
            if (format != 1 || bits != 16 || channels < 1) {
                wave.error = QStringLiteral("not 16-bit PCM (format %1, %2 bits, %3 channels)")
                                 .arg(format)
                                 .arg(bits)
                                 .arg(channels);
                return wave;
            }
            const qsizetype frames = available / (2 * channels);
            wave.samples.resize(size_t(frames));
            for (qsizetype f = 0; f < frames; ++f) {
                double sum = 0;
                for (int c = 0; c < channels; ++c)
                    sum += qint16(littleEndian(data, body + (f * channels + c) * 2, 2));
                wave.samples[size_t(f)] = sum / channels / 32768.0;
            }
            return wave;
        }
        at = body + qsizetype(size) + (size & 1);
    }
    wave.error = QStringLiteral("no data chunk");
    return wave;
}

inline double frequencyOf(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

// Root mean square of `seconds` seconds from `from` seconds (clipped to the file).
inline double rms(const Wave& wave, double from, double seconds) {
    const size_t begin =
        std::min(wave.samples.size(), size_t(std::max(0.0, from) * wave.sampleRate));
    const size_t end = std::min(wave.samples.size(), begin + size_t(seconds * wave.sampleRate));
    double sum = 0;
    for (size_t i = begin; i < end; ++i)
        sum += wave.samples[i] * wave.samples[i];
    return end > begin ? std::sqrt(sum / double(end - begin)) : 0;
}

// Amplitude at `frequency` Hz over `seconds` seconds from `from` seconds, Hann window.
inline double strength(const Wave& wave, double from, double seconds, double frequency) {
    const size_t begin =
        std::min(wave.samples.size(), size_t(std::max(0.0, from) * wave.sampleRate));
    const size_t end = std::min(wave.samples.size(), begin + size_t(seconds * wave.sampleRate));
    const double n = double(end - begin);
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / wave.sampleRate);
    double s1 = 0;
    double s2 = 0;
    for (size_t i = begin; i < end; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * double(i - begin) / n);
        const double s0 = wave.samples[i] * hann + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - coefficient * s1 * s2)) / n;
}

// The first moment (seconds) at which 10 ms of sound are louder than `threshold` RMS; -1 if
// never.
inline double onset(const Wave& wave, double threshold) {
    const double step = 0.01;
    for (double t = 0; t < wave.seconds(); t += step) {
        if (rms(wave, t, step) > threshold)
            return t;
    }
    return -1;
}

// Each chord note's fundamental against the semitones right above and below it that are not
// notes of the chord (in any octave). A chord is heard when every note is `factor` times
// stronger than its strongest such neighbour. Returns one line per note; `problems` gains a
// line for each note that fails.
inline QStringList compareWithNeighbours(const Wave& wave, double from, double seconds,
                                         const QList<int>& notes, double factor,
                                         QStringList* problems) {
    QSet<int> pitchClasses;
    for (const int note : notes)
        pitchClasses << note % 12;
    QStringList lines;
    for (const int note : notes) {
        const double own = strength(wave, from, seconds, frequencyOf(note));
        double neighbour = 0;
        int loudest = -1;
        for (const int other : {note - 1, note + 1}) {
            if (pitchClasses.contains(other % 12))
                continue;
            const double s = strength(wave, from, seconds, frequencyOf(other));
            if (s > neighbour) {
                neighbour = s;
                loudest = other;
            }
        }
        const double ratio = neighbour > 0 ? own / neighbour : 1e9;
        const QString line = QStringLiteral("note %1 (%2 Hz): %3, loudest neighbour %4: %5, "
                                            "ratio %6")
                                 .arg(note)
                                 .arg(frequencyOf(note), 0, 'f', 1)
                                 .arg(own, 0, 'g', 3)
                                 .arg(loudest)
                                 .arg(neighbour, 0, 'g', 3)
                                 .arg(ratio, 0, 'f', 1);
        lines << line;
        if (ratio < factor && problems)
            *problems << line;
    }
    return lines;
}

} // namespace ChordSpectrum
