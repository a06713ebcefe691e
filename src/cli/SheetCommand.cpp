#include "cli/SheetCommand.h"

#include "base/Failure.h"
#include "catalogue/ChordFinder.h"
#include "cli/ChartsTool.h"
#include "cli/CommandText.h"
#include "cli/FindCommand.h"
#include "writers/LessonSheet.h"

#include <QCommandLineParser>
#include <QFileInfo>

int SheetCommand::run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a printable PDF lesson sheet of chord charts.\n"
        "Example: strumvane-charts sheet song.pdf Am7 D7 Gmaj7 6@F --title \"Lesson 3\""));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption titleOption(
        QStringLiteral("title"), QStringLiteral("The sheet's title."), QStringLiteral("TEXT"));
    const QCommandLineOption chartOption(
        QStringLiteral("chart"),
        QStringLiteral("fingering (default), interval, or both charts of each chord."),
        QStringLiteral("kind"), QStringLiteral("fingering"));
    const QCommandLineOption leftOption(QStringLiteral("left-handed"),
                                        QStringLiteral("Mirror the charts."));
    const QCommandLineOption pageOption(QStringLiteral("page"),
                                        QStringLiteral("a4 (default) or letter."),
                                        QStringLiteral("size"), QStringLiteral("a4"));
    const QCommandLineOption columnsOption(
        QStringLiteral("columns"),
        QStringLiteral("Charts side by side, 1 to %1 (default 2).").arg(LessonSheet::maxColumns),
        QStringLiteral("N"), QStringLiteral("2"));
    for (const QCommandLineOption* option :
         {&helpOption, &titleOption, &chartOption, &leftOption, &pageOption, &columnsOption})
        parser.addOption(*option);
    parser.addPositionalArgument(QStringLiteral("sheet"), QString(), QStringLiteral("sheet"));
    parser.addPositionalArgument(QStringLiteral("OUT.pdf"), QStringLiteral("The PDF to write."));
    parser.addPositionalArgument(QStringLiteral("CHORD"),
                                 QStringLiteral("A chord name (Am7) or ENTRY@PITCH (6@F)."),
                                 QStringLiteral("CHORD..."));
    if (const auto status = CommandText::parseCommand(parser, helpOption, QStringLiteral("sheet"),
                                                      arguments, out, err))
        return *status;
    const QStringList positional = parser.positionalArguments().mid(1);
    if (positional.size() < 2)
        return CommandText::usageError(err, QStringLiteral("sheet takes OUT.pdf and at least "
                                                           "one CHORD"));
    const QString fileName = positional[0];
    if (QFileInfo(fileName).suffix().toLower() != QLatin1String("pdf"))
        return CommandText::usageError(
            err, QStringLiteral("the sheet '%1' must be a .pdf file").arg(fileName));

    LessonSheet::Options options;
    options.title = parser.value(titleOption);
    const QString chart = parser.value(chartOption);
    if (chart == QLatin1String("interval")) {
        options.fingeringChart = false;
        options.intervalChart = true;
    } else if (chart == QLatin1String("both")) {
        options.intervalChart = true;
    } else if (chart != QLatin1String("fingering")) {
        return CommandText::usageError(
            err, QStringLiteral("no such chart '%1' (fingering, interval or both)").arg(chart));
    }
    options.leftHanded = parser.isSet(leftOption);
    const QString page = parser.value(pageOption).toLower();
    if (page == QLatin1String("letter"))
        options.page = QPageSize::Letter;
    else if (page != QLatin1String("a4"))
        return CommandText::usageError(
            err, QStringLiteral("no such page '%1' (a4 or letter)").arg(parser.value(pageOption)));
    bool ok = false;
    options.columns = parser.value(columnsOption).toInt(&ok);
    if (!ok || options.columns < 1 || options.columns > LessonSheet::maxColumns)
        return CommandText::usageError(err, QStringLiteral("--columns '%1' is not 1 to %2")
                                                .arg(parser.value(columnsOption))
                                                .arg(LessonSheet::maxColumns));

    // Every chord is resolved before anything is written.
    QList<LessonSheet::Chord> chords;
    for (const QString& text : positional.mid(1)) {
        if (const auto entryAtPitch = FindCommand::parseEntryAtPitch(text)) {
            const auto& v = ChordFinder::voicing(entryAtPitch->first, entryAtPitch->second);
            chords << LessonSheet::Chord{ChordFinder::windowName(v), v.entry, v.pitch};
            continue;
        }
        if (text.contains(QLatin1Char('@')))
            return CommandText::usageError(
                err, QStringLiteral("'%1' is no ENTRY@PITCH (1 to 611 @ a Pitch)").arg(text));
        QString error;
        ChordFinder::Query query;
        query.chord = ChordFinder::parseChordName(text, &error);
        if (!query.chord)
            return CommandText::usageError(err, error);
        const QList<ChordFinder::Found> found = ChordFinder::find(query);
        if (found.isEmpty())
            return CommandText::usageError(
                err, QStringLiteral("the catalogue has no voicing of '%1'").arg(text));
        chords << LessonSheet::Chord{text, found.first().voicing->entry,
                                     found.first().voicing->pitch};
    }

    try {
        LessonSheet::write(fileName, chords, options);
    } catch (const Failure& failure) {
        CommandText::message(
            err, QStringLiteral("cannot write '%1': %2").arg(fileName, failure.description()));
        return ChartsTool::exitFailure;
    }
    return ChartsTool::exitOk;
}
