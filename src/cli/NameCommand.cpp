#include "cli/NameCommand.h"

#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"
#include "cli/ChartsTool.h"
#include "cli/CommandText.h"

#include <QCommandLineParser>

int NameCommand::run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Names a shape: every reading as a chord of the catalogue's types, best "
                       "first.\nExample: strumvane-charts name --all x-3-5-4-5-x"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption allOption(
        QStringLiteral("all"), QStringLiteral("Also readings without their root (rootless)."));
    parser.addOption(helpOption);
    parser.addOption(allOption);
    parser.addPositionalArgument(QStringLiteral("name"), QString(), QStringLiteral("name"));
    parser.addPositionalArgument(
        QStringLiteral("FRETS"),
        QStringLiteral("Six marks low E first joined by '-': 0 (open) to 24, or x."));
    if (const auto status = CommandText::parseCommand(parser, helpOption, QStringLiteral("name"),
                                                      arguments, out, err))
        return *status;
    const QStringList positional = parser.positionalArguments().mid(1);
    if (positional.size() != 1)
        return CommandText::usageError(err, QStringLiteral("name takes one FRETS argument, "
                                                           "e.g. x-3-2-0-1-0"));
    QString error;
    const std::optional<QList<qint16>> notes = ChordNamer::notesOfFrets(positional[0], &error);
    if (!notes)
        return CommandText::usageError(err, error);

    QStringList noteNames;
    for (const qint16 note : *notes)
        noteNames << ChordTheory::PitchNames[PitchClass::ofNote(note)];
    const QString noteText = noteNames.join(QLatin1Char('-'));
    const QList<ChordNamer::Reading> readings =
        ChordNamer::readings(*notes, parser.isSet(allOption));
    for (const ChordNamer::Reading& reading : readings)
        out << reading.name << '\t' << noteText << '\t' << ChordNamer::intervalText(reading, *notes)
            << '\n';
    if (readings.isEmpty())
        CommandText::message(err, QStringLiteral("no chord type of the catalogue reads %1%2")
                                      .arg(positional[0], parser.isSet(allOption)
                                                              ? QString()
                                                              : QStringLiteral(" (try --all)")));
    return ChartsTool::exitOk;
}
