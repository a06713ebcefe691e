#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class ImageFolder;

// Writes pictures as JPEG files with libjpeg-turbo: baseline JPEG, 4:4:4 chroma (no colour
// detail lost on the charts' thin lines), at a quality of 0 to 100. Keeps nothing between
// calls: every call creates and destroys its own encoder.
//
// Failures throw JpegFailure::withStatus(): status 7 when the file cannot be written, 2 for a
// null picture or a quality above 100, 1 when the encoder fails.
class JpegWriter {
public:
    // Encodes `picture` (any format; Format_RGB32 goes in without a copy) at `quality`
    // (0..100, all callers pass 100) and writes the file `fileName`, replacing an existing
    // one only once the new file is complete. Example: SaveJpeg(chart.image(),
    // "/home/ann/Charts/Chord Chart 1.jpg", 100).
    static void SaveJpeg(const QImage& picture, const QString& fileName, quint8 quality);
    // As above, into a folder opened for the whole run: `name` has no "/".
    static void SaveJpeg(const QImage& picture, const ImageFolder& folder, const QString& name,
                         quint8 quality);

    // The JPEG file content of `picture`, as SaveJpeg writes it; throws as SaveJpeg does.
    static QByteArray encodeJpeg(const QImage& picture, quint8 quality);
};
