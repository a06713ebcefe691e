#include "cli/NameCommand.h"

#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"

NameCommand::NameCommand()
    : Command({.name = QStringLiteral("name"),
               .synopsis = QStringLiteral("name [--all] FRETS"),
               .summary = {QStringLiteral("readings of a shape on any tuning, e.g. name "
                                          "x-3-5-4-5-x")},
               .description = QStringLiteral(
                   "Names a shape on any instrument, tuning and capo: every reading as a "
                   "chord,\nbest first.\nExample: strumvane-charts name --all x-3-5-4-5-x\n"
                   "         strumvane-charts name 2-0-1-0 --instrument ukulele"),
               .hintsAtHelp = false}),
      m_all(QStringLiteral("all"), QStringLiteral("Also readings without their root (rootless).")) {
    addOption(m_all);
    for (const QCommandLineOption& option : Arguments::fretboardOptions())
        addOption(option);
    addArgument(QStringLiteral("FRETS"), Arguments::fretsHelp());
}

int NameCommand::execute(const CommandContext& context) {
    const QStringList args = arguments();
    if (args.size() != 1)
        return context.usageError(
            QStringLiteral("name takes one FRETS argument, e.g. x-3-2-0-1-0"));
    QString error;
    const std::optional<Fretboard> board = Arguments::fretboard(parser(), &error);
    if (!board)
        return context.usageError(error);
    const std::optional<QList<qint16>> notes = Arguments::fretNotes(args[0], &error, *board);
    if (!notes)
        return context.usageError(error);

    QStringList noteNames;
    for (const qint16 note : *notes)
        noteNames << ChordTheory::PitchNames[PitchClass::ofNote(note)];
    const QString noteText = noteNames.join(QLatin1Char('-'));
    const bool all = parser().isSet(m_all);
    const QList<ChordNamer::Reading> readings = ChordNamer::readings(*notes, all);
    for (const ChordNamer::Reading& reading : readings)
        context.out() << reading.name << '\t' << noteText << '\t'
                      << ChordNamer::intervalText(reading, *notes) << '\n';
    if (readings.isEmpty())
        context.report(QStringLiteral("no chord type of the catalogue reads %1%2")
                           .arg(args[0], all ? QString() : QStringLiteral(" (try --all)")));
    return ExitStatus::ok;
}
