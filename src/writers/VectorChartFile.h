#pragma once

#include "catalogue/ChordEntry.h"
#include "chart/ChordBox.h"
#include "chart/ChordChart.h"
#include "chart/ChordDiagram.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

// One chart as a vector file, drawn by the same code as the raster charts onto an SVG
// generator or a PDF writer: the same 516 x 117 pixel geometry (a PDF page of 387 x 87.75
// points, 96 pixels an inch), lines and dots as shapes, labels and title as text. A chord box
// likewise, at the size of ChordBox::image() (strings 24 pixels, 18 points, apart).
class VectorChartFile {
public:
    enum class Format { Svg, Pdf };

    // .svg or .pdf, in any case; nullopt for other names.
    static std::optional<Format> formatFor(const QString& fileName);

    // The file content of one chart of `entry` at `pitch` (0..11).
    static QByteArray encode(Format format, ChordChartKind kind, const ChordEntry& entry,
                             qint16 pitch, bool leftHanded);

    // The file content of one chart of a six-string `diagram` in the window's style
    // (drawChordChart()).
    static QByteArray encode(Format format, ChordChartKind kind, const ChordDiagram& diagram,
                             bool leftHanded);

    // The file content of a chord box of `diagram`, which must have no problem() (else
    // Failure::invalidProcedureCall()).
    static QByteArray encode(Format format, const ChordDiagram& diagram,
                             const ChordBox::Options& options);

    // Writes it as the whole of `fileName` (atomically: temporary file, then rename). A
    // failure throws the number of ImageFile::bitmapFailure() (76 for a missing folder, 70
    // for one that may not be written, 52 for a bad name, else 75) with the system's words
    // for it as the description ("No space left on device", "Is a directory").
    static void write(const QString& fileName, Format format, ChordChartKind kind,
                      const ChordEntry& entry, qint16 pitch, bool leftHanded);
    static void write(const QString& fileName, Format format, const ChordDiagram& diagram,
                      const ChordBox::Options& options);
    static void write(const QString& fileName, Format format, ChordChartKind kind,
                      const ChordDiagram& diagram, bool leftHanded);

    // Writes `data` as ImageFile::writeFile() does, throwing the failures listed above.
    static void writeWhole(const QString& fileName, const QByteArray& data);
};
