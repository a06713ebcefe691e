#pragma once

#include "cli/Command.h"
#include "fretboard/VoicingFinder.h"

#include <QCommandLineOption>
#include <optional>

// `strumvane-charts find NAME | --notes N1,N2,... [--instrument NAME] [--tuning T] [--capo N]
// [--inversions] [--span N] [--no-open] [--source catalogue|generated|all] [--frets LOW-HIGH]
// [--strings K] [--top NOTE] [--near ENTRY@PITCH] [--rootless]`: the voicings of a chord, the
// catalogue's (guitar in standard tuning, no capo) and the generated ones, one a line, easiest
// first: where it comes from ("#6@C" or "generated"), its name, fret numbers, fingering and
// score, tab-separated ("generated\tC\tx-3-2-0-1-0\tx-3-2-0-1-0\t5"). With --near, nearest
// first by voice-leading distance, printed as the next column; with a capo, a last column
// names the chord the shape makes without it ("Am shape"). A usage error is one line; no
// match is a note on standard error and exit 0.
class FindCommand : public Command {
public:
    FindCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    // Reads NAME or --notes into `query`; the exit status of a usage error, or nothing.
    std::optional<int> readChord(VoicingFinder::Query& query, const CommandContext& context) const;
    // Reads the filters and the generator's options into `query`, likewise.
    std::optional<int> readFilters(VoicingFinder::Query& query,
                                   const CommandContext& context) const;

    QCommandLineOption m_notes;
    QCommandLineOption m_frets;
    QCommandLineOption m_strings;
    QCommandLineOption m_top;
    QCommandLineOption m_near;
    QCommandLineOption m_rootless;
    QCommandLineOption m_inversions;
    QCommandLineOption m_span;
    QCommandLineOption m_noOpen;
    QCommandLineOption m_source;
};
