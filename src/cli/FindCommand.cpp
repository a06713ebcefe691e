#include "cli/FindCommand.h"

#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"
#include "chart/VoicingDiagram.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"

namespace {

constexpr int maxSpan = 12;

} // namespace

FindCommand::FindCommand()
    : Command({.name = QStringLiteral("find"),
               .synopsis = QStringLiteral("find NAME | --notes N1,N2,..."),
               .summary = {QStringLiteral("voicings of a chord on any tuning, easiest first, e.g."),
                           QStringLiteral("find Am7 --frets 5-8, find G --instrument ukulele")},
               .description = QStringLiteral(
                   "Finds the voicings of a chord, easiest first: the catalogue's (for the guitar "
                   "in\nstandard tuning without a capo) and generated ones on any instrument, "
                   "tuning\nand capo. Each line: where it comes from (#ENTRY@PITCH or generated), "
                   "its name,\nfret numbers and fingering (0 open, T the thumb) and score, with "
                   "--near the\ndistance, and with a capo the chord the shape makes without it.\n"
                   "Example: strumvane-charts find Am7 --frets 5-8\n"
                   "         strumvane-charts find Bm --capo 2\n"
                   "         strumvane-charts find D7 --near 164@A"),
               .hintsAtHelp = false}),
      m_notes(QStringLiteral("notes"),
              QStringLiteral("Exactly these pitch classes instead of a NAME."),
              QStringLiteral("N1,N2,...")),
      m_frets(QStringLiteral("frets"),
              QStringLiteral("Every sounding string within frets LOW to HIGH, an open string "
                             "being fret 0 (default: generated voicings within 0 to 15)."),
              QStringLiteral("LOW-HIGH")),
      m_strings(QStringLiteral("strings"), QStringLiteral("Exactly K sounding strings."),
                QStringLiteral("K")),
      m_top(QStringLiteral("top"), QStringLiteral("The highest note is NOTE."),
            QStringLiteral("NOTE")),
      m_near(QStringLiteral("near"),
             QStringLiteral("Sort by voice-leading distance from entry ENTRY at PITCH (e.g. "
                            "164@A)."),
             QStringLiteral("ENTRY@PITCH")),
      m_rootless(QStringLiteral("rootless"),
                 QStringLiteral("Also voicings that leave the root out.")),
      m_inversions(QStringLiteral("inversions"),
                   QStringLiteral("Also voicings over another chord tone than the root, named "
                                  "with their bass (C/E).")),
      m_span(QStringLiteral("span"),
             QStringLiteral("Frets the hand covers at most, lowest to highest fretted fret, 1 "
                            "to %1 (default %2).")
                 .arg(QString::number(maxSpan), QString::number(Fingering::defaultSpan)),
             QStringLiteral("N")),
      m_noOpen(QStringLiteral("no-open"), QStringLiteral("No open strings.")),
      m_source(QStringLiteral("source"),
               QStringLiteral("The voicings to list: catalogue, generated or all (default)."),
               QStringLiteral("WHICH"), QStringLiteral("all")) {
    for (const QCommandLineOption* option :
         {&m_notes, &m_frets, &m_strings, &m_top, &m_near, &m_rootless, &m_inversions, &m_span,
          &m_noOpen, &m_source})
        addOption(*option);
    for (const QCommandLineOption& option : Arguments::fretboardOptions())
        addOption(option);
    addArgument(QStringLiteral("NAME"),
                QStringLiteral("A chord name: Am7, Cmaj7, C\u03947, F#\u00F8, "
                               "Eb\u00B07, G+, C/E, Am/G, C6/9."));
}

int FindCommand::execute(const CommandContext& context) {
    VoicingFinder::Query query;
    QString error;
    const std::optional<Fretboard> board = Arguments::fretboard(parser(), &error);
    if (!board)
        return context.usageError(error);
    query.board = *board;
    if (const std::optional<int> status = readChord(query, context))
        return *status;
    if (const std::optional<int> status = readFilters(query, context))
        return *status;

    const QList<VoicingFinder::Row> rows = VoicingFinder::find(query);
    for (const VoicingFinder::Row& row : rows) {
        context.out() << row.source() << '\t' << row.name << '\t' << row.voicing.fretText() << '\t'
                      << row.voicing.fingerText() << '\t' << row.voicing.score;
        if (query.near)
            context.out() << '\t' << row.distance;
        if (query.board.capo() > 0)
            context.out() << '\t'
                          << VoicingDiagram::shapeName(row.voicing, query.board, query.chord,
                                                       row.name.contains(u'/'));
        context.out() << '\n';
    }
    if (rows.isEmpty())
        context.report(QStringLiteral("no voicing matches"));
    return ExitStatus::ok;
}

std::optional<int> FindCommand::readChord(VoicingFinder::Query& query,
                                          const CommandContext& context) const {
    const QStringList args = arguments();
    if (args.size() > 1)
        return context.usageError(QStringLiteral("find takes one NAME"));
    if (args.isEmpty() == !parser().isSet(m_notes))
        return context.usageError(QStringLiteral("find takes a NAME or --notes"));
    if (!args.isEmpty()) {
        QString error;
        query.chord = ChordTones::parse(args[0], &error);
        if (!query.chord)
            return context.usageError(error);
        // A chord the catalogue's names do not reach has generated voicings only.
        query.catalogueChord = ChordFinder::parseChordName(args[0]);
        return std::nullopt;
    }
    IntervalSet notes = 0;
    for (const QString& note : parser().value(m_notes).split(QLatin1Char(','))) {
        const std::optional<qint16> pitch = Arguments::pitch(note.trimmed());
        if (!pitch)
            return context.usageError(QStringLiteral("unknown note '%1' in --notes").arg(note));
        notes |= intervalBit(*pitch);
    }
    query.notes = notes;
    return std::nullopt;
}

std::optional<int> FindCommand::readFilters(VoicingFinder::Query& query,
                                            const CommandContext& context) const {
    const int highest = query.board.highestFret();
    if (parser().isSet(m_frets)) {
        const QString text = parser().value(m_frets);
        const QStringList range = text.split(QLatin1Char('-'));
        const auto fret = [&](int i) {
            return range.size() == 2 ? Arguments::wholeNumber(range[i], 0, highest) : std::nullopt;
        };
        query.lowFret = fret(0);
        query.highFret = fret(1);
        if (!query.lowFret || !query.highFret || *query.lowFret > *query.highFret)
            return context.usageError(
                QStringLiteral("--frets '%1' is no range LOW-HIGH of frets 0 to %2")
                    .arg(text, QString::number(highest)));
    }
    const int strings = query.board.stringCount();
    if (parser().isSet(m_strings)) {
        query.strings = Arguments::wholeNumber(parser().value(m_strings), 1, strings);
        if (!query.strings)
            return context.usageError(
                QStringLiteral("--strings '%1' is not 1 to %2")
                    .arg(parser().value(m_strings), QString::number(strings)));
    }
    if (parser().isSet(m_top)) {
        query.top = Arguments::pitch(parser().value(m_top));
        if (!query.top)
            return context.usageError(
                QStringLiteral("unknown note '%1' for --top").arg(parser().value(m_top)));
    }
    if (parser().isSet(m_near)) {
        const std::optional<Arguments::EntryAtPitch> near =
            Arguments::entryAtPitch(parser().value(m_near));
        if (!near)
            return context.usageError(QStringLiteral("--near '%1' is no ENTRY@PITCH (e.g. 164@A)")
                                          .arg(parser().value(m_near)));
        query.near = &ChordFinder::voicing(near->entry, near->pitch);
    }
    if (parser().isSet(m_span)) {
        const std::optional<int> span = Arguments::wholeNumber(parser().value(m_span), 1, maxSpan);
        if (!span)
            return context.usageError(QStringLiteral("--span '%1' is not 1 to %2")
                                          .arg(parser().value(m_span), QString::number(maxSpan)));
        query.options.span = *span;
    }
    const QString source = parser().value(m_source);
    if (source == QLatin1String("catalogue"))
        query.source = VoicingFinder::Source::Catalogue;
    else if (source == QLatin1String("generated"))
        query.source = VoicingFinder::Source::Generated;
    else if (source != QLatin1String("all"))
        return context.usageError(
            QStringLiteral("--source '%1' is not catalogue, generated or all").arg(source));
    query.options.rootless = parser().isSet(m_rootless);
    query.options.inversions = parser().isSet(m_inversions);
    query.options.openStrings = !parser().isSet(m_noOpen);
    return std::nullopt;
}
