#pragma once

#include "cli/Command.h"

// `strumvane-charts list`: every catalogue entry on one line, tab-separated: number, relative
// frets, fingering, interval spelling and chord type, as stored
// ("1\tx-1-x-3-x-x\tx-1-x-3-x-x\tx-R-x-R-x-x\t octave").
class ListCommand : public Command {
public:
    ListCommand();

protected:
    int execute(const CommandContext& context) override;
};
