#include "sound/WaveFile.h"

#include <QtEndian>
#include <limits>

namespace {

constexpr quint16 pcmFormat = 1;
constexpr quint16 bitsPerSample = 16;
constexpr quint32 formatChunkSize = 16;

void append32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

void append16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

} // namespace

QByteArray WaveFile::encode(const QByteArray& samples, int channels, int sampleRate) {
    QByteArray out = header(quint64(samples.size()), channels, sampleRate);
    if (out.isEmpty())
        return {};
    out.reserve(headerSize + samples.size());
    out.append(samples);
    return out;
}

QByteArray WaveFile::header(quint64 dataSize, int channels, int sampleRate) {
    if (dataSize + headerSize > std::numeric_limits<quint32>::max() || channels < 1 ||
        sampleRate < 1)
        return {};
    const quint16 blockAlign = quint16(channels * bitsPerSample / 8);
    QByteArray out;
    out.reserve(headerSize);
    out.append("RIFF", 4);
    append32(out, quint32(headerSize - 8 + dataSize));
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    append32(out, formatChunkSize);
    append16(out, pcmFormat);
    append16(out, quint16(channels));
    append32(out, quint32(sampleRate));
    append32(out, quint32(sampleRate) * blockAlign);
    append16(out, blockAlign);
    append16(out, bitsPerSample);
    out.append("data", 4);
    append32(out, quint32(dataSize));
    return out;
}
