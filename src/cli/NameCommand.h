#pragma once

#include "cli/Command.h"

#include <QCommandLineOption>

// `strumvane-charts name [--all] [--instrument NAME] [--tuning T] [--capo N] FRETS`: every
// reading of a shape on the fretboard as a chord of the catalogue's types, best first, one a
// line: name, note names, intervals above the root, tab-separated. `strumvane-charts name
// x-3-5-4-5-x` prints "CM7\tC-G-B-E\tR-5-7-3" first; `name 2-0-1-0 --instrument ukulele`
// reads the notes A C F A. A usage error is one line.
class NameCommand : public Command {
public:
    NameCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    QCommandLineOption m_all;
};
