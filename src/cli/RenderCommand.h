#pragma once

#include "chart/ChordChart.h"
#include "cli/Command.h"

#include <QCommandLineOption>

// `strumvane-charts render ENTRY PITCH FILE [--chart fingering|interval|blank]
// [--left-handed]`: one of the window's charts of an entry at a Pitch into FILE, whose suffix
// chooses the format: .bmp, .jpg or .jpeg (quality 100), .png, .svg or .pdf. The file is
// written whole or not at all; exit 1 when it cannot be written.
class RenderCommand : public Command {
public:
    RenderCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    QCommandLineOption m_chart;
    QCommandLineOption m_leftHanded;
};
