#pragma once

#include "chart/ChordChart.h"
#include "chart/ChordDiagram.h"
#include "cli/Arguments.h"
#include "cli/Command.h"

#include <QCommandLineOption>
#include <QImage>
#include <QString>
#include <optional>

// `strumvane-charts render ENTRY PITCH FILE | FRETS FILE [--style fretboard|box]
// [--chart fingering|interval|blank] [--labels fingers|intervals|notes|none] [--size WxH]
// [--left-handed] [--instrument NAME] [--tuning T] [--capo N]`: an entry at a Pitch, or a shape
// written as frets on the instrument, tuning and capo ("x-3-2-0-1-0", named by its best
// reading), into FILE, as one of the window's charts (the default on six strings; an open
// string shows "o" beside the nut; the default for ENTRY PITCH) or as a chord box (`--style
// box`, the default for FRETS, and always on other string counts; labels in the dots by --labels, a
// picture fitted into --size). FILE's suffix chooses the format: .bmp, .jpg or .jpeg (quality 100),
// .png, .svg or .pdf. The file is written whole or not at all; exit 1 when it cannot be written, 2
// for an option that does not fit the style (--chart with a box, --labels with a fretboard).
class RenderCommand : public Command {
public:
    RenderCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    // The chord to draw: an entry at a Pitch, or frets on the fretboard.
    struct Chord {
        const ChordEntry* entry = nullptr;
        std::optional<qint16> pitch;
        std::optional<ChordDiagram> diagram;
        int strings = 0;
        QString boardDescription; // "ukulele", for messages
    };
    // Reads the chord from the arguments into `chord`; the exit status of a usage error.
    std::optional<int> readChord(const CommandContext& context, Chord& chord) const;
    int renderChart(const CommandContext& context, const Chord& chord, const QString& fileName,
                    Arguments::FileKind format) const;
    int renderBox(const CommandContext& context, const ChordDiagram& diagram,
                  const QString& fileName, Arguments::FileKind format) const;

    QCommandLineOption m_style;
    QCommandLineOption m_chart;
    QCommandLineOption m_labels;
    QCommandLineOption m_size;
    QCommandLineOption m_leftHanded;
};
