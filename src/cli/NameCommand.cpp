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
               .summary = {QStringLiteral("readings of a shape, e.g. name x-3-5-4-5-x")},
               .description = QStringLiteral(
                   "Names a shape: every reading as a chord of the catalogue's types, best "
                   "first.\nExample: strumvane-charts name --all x-3-5-4-5-x"),
               .hintsAtHelp = false}),
      m_all(QStringLiteral("all"), QStringLiteral("Also readings without their root (rootless).")) {
    addOption(m_all);
    addArgument(QStringLiteral("FRETS"),
                QStringLiteral("Six marks low E first joined by '-': 0 (open) to 24, or x."));
}

int NameCommand::execute(const CommandContext& context) {
    const QStringList args = arguments();
    if (args.size() != 1)
        return context.usageError(
            QStringLiteral("name takes one FRETS argument, e.g. x-3-2-0-1-0"));
    QString error;
    const std::optional<QList<qint16>> notes = Arguments::fretNotes(args[0], &error);
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
