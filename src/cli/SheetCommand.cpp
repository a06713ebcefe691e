#include "cli/SheetCommand.h"

#include "base/Failure.h"
#include "catalogue/ChordFinder.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"

SheetCommand::SheetCommand()
    : Command({.name = QStringLiteral("sheet"),
               .synopsis = QStringLiteral("sheet OUT.pdf CHORD..."),
               .summary = {QStringLiteral("a PDF lesson sheet, e.g. sheet song.pdf Am7 D7 6@F")},
               .description = QStringLiteral(
                   "Writes a printable PDF lesson sheet of chord charts.\n"
                   "Example: strumvane-charts sheet song.pdf Am7 D7 Gmaj7 6@F --title \"Lesson "
                   "3\""),
               .hintsAtHelp = false}),
      m_title(QStringLiteral("title"), QStringLiteral("The sheet's title."),
              QStringLiteral("TEXT")),
      m_chart(QStringLiteral("chart"),
              QStringLiteral("The charts of each chord: fingering (default), interval, blank or "
                             "both (fingering and interval)."),
              QStringLiteral("kind"), QStringLiteral("fingering")),
      m_leftHanded(QStringLiteral("left-handed"), QStringLiteral("Mirror the charts.")),
      m_page(QStringLiteral("page"), QStringLiteral("a4 (default) or letter."),
             QStringLiteral("size"), QStringLiteral("a4")),
      m_columns(
          QStringLiteral("columns"),
          QStringLiteral("Charts side by side, 1 to %1 (default 2).").arg(LessonSheet::maxColumns),
          QStringLiteral("N"), QStringLiteral("2")) {
    for (const QCommandLineOption* option :
         {&m_title, &m_chart, &m_leftHanded, &m_page, &m_columns})
        addOption(*option);
    addArgument(QStringLiteral("OUT.pdf"), QStringLiteral("The PDF to write."));
    addArgument(QStringLiteral("CHORD"), QStringLiteral("A chord name (Am7) or ENTRY@PITCH (6@F)."),
                QStringLiteral("CHORD..."));
}

int SheetCommand::execute(const CommandContext& context) {
    const QStringList args = arguments();
    if (args.size() < 2)
        return context.usageError(QStringLiteral("sheet takes OUT.pdf and at least one CHORD"));
    const QString fileName = args[0];
    if (Arguments::fileKind(fileName) != Arguments::FileKind::Pdf)
        return context.usageError(
            QStringLiteral("the sheet '%1' must be a .pdf file").arg(fileName));
    LessonSheet::Options options;
    if (const std::optional<int> status = readOptions(options, context))
        return *status;
    QList<LessonSheet::Chord> chords;
    if (const std::optional<int> status = readChords(args.mid(1), chords, context))
        return *status;

    try {
        LessonSheet::write(fileName, chords, options);
    } catch (const Failure& failure) {
        context.report(
            QStringLiteral("cannot write '%1': %2").arg(fileName, failure.description()));
        return ExitStatus::failure;
    }
    return ExitStatus::ok;
}

std::optional<int> SheetCommand::readOptions(LessonSheet::Options& options,
                                             const CommandContext& context) const {
    options.title = parser().value(m_title);
    QString error;
    const std::optional<QList<ChordChartKind>> charts =
        Arguments::charts(parser().value(m_chart), &error);
    if (!charts)
        return context.usageError(error);
    options.charts = *charts;
    options.leftHanded = parser().isSet(m_leftHanded);
    const QString page = parser().value(m_page).toLower();
    if (page == QLatin1String("letter"))
        options.page = QPageSize::Letter;
    else if (page != QLatin1String("a4"))
        return context.usageError(
            QStringLiteral("no such page '%1' (a4 or letter)").arg(parser().value(m_page)));
    const QString columns = parser().value(m_columns);
    const std::optional<int> count = Arguments::wholeNumber(columns, 1, LessonSheet::maxColumns);
    if (!count)
        return context.usageError(QStringLiteral("--columns '%1' is not 1 to %2")
                                      .arg(columns)
                                      .arg(LessonSheet::maxColumns));
    options.columns = *count;
    return std::nullopt;
}

std::optional<int> SheetCommand::readChords(const QStringList& texts,
                                            QList<LessonSheet::Chord>& chords,
                                            const CommandContext& context) {
    for (const QString& text : texts) {
        if (const auto entryAtPitch = Arguments::entryAtPitch(text)) {
            const auto& v = ChordFinder::voicing(entryAtPitch->entry, entryAtPitch->pitch);
            chords << LessonSheet::Chord{ChordFinder::windowName(v), v.entry, v.pitch};
            continue;
        }
        if (text.contains(QLatin1Char('@')))
            return context.usageError(
                QStringLiteral("'%1' is no ENTRY@PITCH (1 to 611 @ a Pitch)").arg(text));
        QString error;
        ChordFinder::Query query;
        query.chord = ChordFinder::parseChordName(text, &error);
        if (!query.chord)
            return context.usageError(error);
        const QList<ChordFinder::Found> found = ChordFinder::find(query);
        if (found.isEmpty())
            return context.usageError(
                QStringLiteral("the catalogue has no voicing of '%1'").arg(text));
        chords << LessonSheet::Chord{text, found.first().voicing->entry,
                                     found.first().voicing->pitch};
    }
    return std::nullopt;
}
