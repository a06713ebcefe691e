#pragma once

#include <QByteArray>
#include <QImage>

// One libjpeg-turbo compressor, kept for as many pictures as its owner encodes: baseline JPEG
// with 4:4:4 chroma. Not shared between threads; each worker of a parallel export owns one.
// Failures throw JpegFailure::withStatus(): 2 for a null picture or a quality above 100, 1 when
// the encoder fails.
class JpegEncoder {
public:
    JpegEncoder();
    ~JpegEncoder();
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    // The JPEG file content of `picture` at `quality` (0..100); Format_RGB32 goes in without
    // a copy. A 516 x 117 chart at quality 100 gives about 26 KB.
    QByteArray encode(const QImage& picture, quint8 quality);

private:
    void* m_handle; // tjhandle
};
