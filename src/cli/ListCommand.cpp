#include "cli/ListCommand.h"

#include "catalogue/ChordCatalogue.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"

ListCommand::ListCommand()
    : Command({.name = QStringLiteral("list"),
               .synopsis = QStringLiteral("list"),
               .summary = {QStringLiteral("every catalogue entry: number, frets, fingering,"),
                           QStringLiteral("spelling and chord type, tab-separated")},
               .description = QStringLiteral(
                   "Prints every catalogue entry on one line, tab-separated: number, relative\n"
                   "frets, fingering, interval spelling and chord type.")}) {}

int ListCommand::execute(const CommandContext& context) {
    if (!arguments().isEmpty())
        return context.usageError(QStringLiteral("list takes no arguments"));
    int n = 1;
    for (const ChordEntry& e : ChordCatalogue::entries()) {
        context.out() << n++ << '\t' << e.fretPattern << '\t' << e.fingering << '\t' << e.spelling
                      << '\t' << e.chordType << '\n';
    }
    return ExitStatus::ok;
}
