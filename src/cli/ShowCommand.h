#pragma once

#include "cli/Command.h"

#include <QTextStream>
#include <QtGlobal>

struct ChordEntry;

// `strumvane-charts show ENTRY [PITCH]`: the chord name, note names, fret numbers, fingering,
// MIDI notes and playability of an entry at one Pitch, or at all twelve in Pitch order
// separated by empty lines. `show 6 C` prints "Chord Name: Cmaj" first.
class ShowCommand : public Command {
public:
    ShowCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    static void print(QTextStream& out, const ChordEntry& entry, qint16 pitch);
};
