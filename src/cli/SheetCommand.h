#pragma once

#include "cli/Command.h"
#include "writers/LessonSheet.h"

#include <QCommandLineOption>
#include <optional>

// `strumvane-charts sheet OUT.pdf CHORD... [--title TEXT]
// [--chart fingering|interval|blank|both] [--left-handed] [--page a4|letter] [--columns N]`:
// a printable lesson sheet. A CHORD is a chord name (its easiest voicing) or ENTRY@PITCH
// ("6@F"); each chart is captioned with the CHORD as written, or for ENTRY@PITCH with the
// window's name of it. `strumvane-charts sheet song.pdf Am7 D7 Gmaj7 --title "Autumn"`.
// Exit 2 for a usage error or a CHORD that cannot be resolved (one line, before anything is
// written); 1 when the file cannot be written (no partial file is left).
class SheetCommand : public Command {
public:
    SheetCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    // Reads the options into `options`; the exit status of a usage error, or nothing.
    std::optional<int> readOptions(LessonSheet::Options& options,
                                   const CommandContext& context) const;
    // Resolves every CHORD into `chords` before anything is written, likewise.
    static std::optional<int> readChords(const QStringList& texts,
                                         QList<LessonSheet::Chord>& chords,
                                         const CommandContext& context);

    QCommandLineOption m_title;
    QCommandLineOption m_chart;
    QCommandLineOption m_leftHanded;
    QCommandLineOption m_page;
    QCommandLineOption m_columns;
};
