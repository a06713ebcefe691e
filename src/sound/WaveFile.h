#pragma once

#include <QByteArray>
#include <QtGlobal>

// The bytes of a RIFF WAVE file holding 16-bit PCM: a 44-byte header, then the samples.
class WaveFile {
public:
    // `samples`: interleaved 16-bit little-endian samples (2 * channels bytes a frame), e.g.
    // one second of CD stereo is 176,400 bytes with channels 2 and sampleRate 44100. Returns
    // an empty array when the data would not fit the format's 4 GB limit.
    static QByteArray encode(const QByteArray& samples, int channels, int sampleRate);
    // The 44-byte header of such a file whose samples take `dataSize` bytes, for a file
    // written block by block whose length is known only at its end; empty as above.
    static QByteArray header(quint64 dataSize, int channels, int sampleRate);

    static constexpr int headerSize = 44;
};
