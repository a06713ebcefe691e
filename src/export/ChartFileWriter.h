#pragma once

#include "export/ChartFormat.h"

#include <QImage>
#include <QString>

// Writes a chart picture to an image file for the export commands; failures throw Failure.
// Production writes BMP through QImage and JPEG through libjpeg-turbo; tests hand in writers
// that fail on purpose.
class ChartFileWriter {
public:
    // The quality of every chart written as JPEG.
    static constexpr quint8 jpegQuality = 100;

    // One command of a writer for the guard's lifetime (beginCommand .. endCommand).
    class Command {
    public:
        explicit Command(ChartFileWriter& writer) : m_writer(writer) { m_writer.beginCommand(); }
        ~Command() { m_writer.endCommand(); }
        Command(const Command&) = delete;
        Command& operator=(const Command&) = delete;

    private:
        ChartFileWriter& m_writer;
    };

    virtual ~ChartFileWriter() = default;

    // A Windows bitmap file, e.g. saveBitmap(picture, "/home/ann/Charts/Chord Chart 1.bmp").
    virtual void saveBitmap(const QImage& picture, const QString& fileName) = 0;
    // A JPEG file at quality 0..100.
    virtual void saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) = 0;

    // One export command's writes begin and end (calls nest; every begin has its end).
    // Between the two a writer may keep each folder it writes into open, and tidy it once,
    // rather than open it for every file.
    virtual void beginCommand() {}
    virtual void endCommand() {}

    // A chart file in `format`: BMP, or JPEG at jpegQuality. Throws what the writer throws.
    void saveChart(const QImage& picture, const QString& fileName, ChartFormat format) {
        if (format == ChartFormat::Bmp)
            saveBitmap(picture, fileName);
        else
            saveJpeg(picture, fileName, jpegQuality);
    }
};
