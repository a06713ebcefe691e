#pragma once

#include "catalogue/ChordFinder.h"
#include "cli/Command.h"

#include <QCommandLineOption>
#include <optional>

// `strumvane-charts find NAME | --notes N1,N2,... [--frets LOW-HIGH] [--strings K]
// [--top NOTE] [--near ENTRY@PITCH] [--rootless]`: the catalogue's voicings of a chord, one
// a line: entry, Pitch, the window's name for it, fret numbers, fingering and playability
// score, tab-separated, easiest first ("6\tC\tCmaj\t8-10-10-9-8-8\t1-3-4-2-1-1\t8"). With
// --near, nearest first by voice-leading distance, printed as a seventh column. A usage error
// is one line; no match is a note on standard error and exit 0.
class FindCommand : public Command {
public:
    FindCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    // Reads NAME or --notes into `query`; the exit status of a usage error, or nothing.
    std::optional<int> readChord(ChordFinder::Query& query, const CommandContext& context) const;
    // Reads --frets, --strings, --top, --near and --rootless into `query`, likewise.
    std::optional<int> readFilters(ChordFinder::Query& query, const CommandContext& context) const;

    QCommandLineOption m_notes;
    QCommandLineOption m_frets;
    QCommandLineOption m_strings;
    QCommandLineOption m_top;
    QCommandLineOption m_near;
    QCommandLineOption m_rootless;
};
