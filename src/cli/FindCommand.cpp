#include "cli/FindCommand.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"

namespace {

constexpr int stringCount = int(ChordTheory::standardOpenStringNotes.size());

} // namespace

FindCommand::FindCommand()
    : Command({.name = QStringLiteral("find"),
               .synopsis = QStringLiteral("find NAME | --notes N1,N2,..."),
               .summary = {QStringLiteral("voicings of a chord, easiest first, e.g."),
                           QStringLiteral("find Am7 --frets 5-8, find D7 --near 164@A")},
               .description =
                   QStringLiteral("Finds the catalogue's voicings of a chord, easiest first.\n"
                                  "Example: strumvane-charts find Am7 --frets 5-8\n"
                                  "         strumvane-charts find D7 --near 164@A"),
               .hintsAtHelp = false}),
      m_notes(QStringLiteral("notes"),
              QStringLiteral("Exactly these pitch classes instead of a NAME."),
              QStringLiteral("N1,N2,...")),
      m_frets(QStringLiteral("frets"), QStringLiteral("Every fretted string within LOW to HIGH."),
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
                 QStringLiteral("Also voicings that leave the root out.")) {
    for (const QCommandLineOption* option :
         {&m_notes, &m_frets, &m_strings, &m_top, &m_near, &m_rootless})
        addOption(*option);
    addArgument(QStringLiteral("NAME"),
                QStringLiteral("A chord name: Am7, Cmaj7, C\u03947, F#\u00F8, "
                               "Eb\u00B07, G+, C/E, Dm7/C, C6/9."));
}

int FindCommand::execute(const CommandContext& context) {
    ChordFinder::Query query;
    if (const std::optional<int> status = readChord(query, context))
        return *status;
    if (const std::optional<int> status = readFilters(query, context))
        return *status;

    const QList<ChordFinder::Found> found = ChordFinder::find(query);
    for (const ChordFinder::Found& f : found) {
        const ChordFinder::Voicing& v = *f.voicing;
        context.out() << v.entry << '\t' << ChordTheory::PitchNames[v.pitch] << '\t'
                      << ChordFinder::windowName(v) << '\t' << v.fretNumbers() << '\t'
                      << ChordCatalogue::entry(v.entry).fingering << '\t' << v.score;
        if (query.near)
            context.out() << '\t' << f.distance;
        context.out() << '\n';
    }
    if (found.isEmpty())
        context.report(QStringLiteral("no voicing of the catalogue matches"));
    return ExitStatus::ok;
}

std::optional<int> FindCommand::readChord(ChordFinder::Query& query,
                                          const CommandContext& context) const {
    const QStringList args = arguments();
    if (args.size() > 1)
        return context.usageError(QStringLiteral("find takes one NAME"));
    if (args.isEmpty() == !parser().isSet(m_notes))
        return context.usageError(QStringLiteral("find takes a NAME or --notes"));
    if (!args.isEmpty()) {
        QString error;
        query.chord = ChordFinder::parseChordName(args[0], &error);
        if (!query.chord)
            return context.usageError(error);
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

std::optional<int> FindCommand::readFilters(ChordFinder::Query& query,
                                            const CommandContext& context) const {
    if (parser().isSet(m_frets)) {
        const QString text = parser().value(m_frets);
        const QStringList range = text.split(QLatin1Char('-'));
        const auto fret = [&](int i) {
            return range.size() == 2 ? Arguments::wholeNumber(range[i], 0, ChordNamer::highestFret)
                                     : std::nullopt;
        };
        query.lowFret = fret(0);
        query.highFret = fret(1);
        if (!query.lowFret || !query.highFret || *query.lowFret > *query.highFret)
            return context.usageError(
                QStringLiteral("--frets '%1' is no range LOW-HIGH of frets 0 to 24").arg(text));
    }
    if (parser().isSet(m_strings)) {
        query.strings = Arguments::wholeNumber(parser().value(m_strings), 1, stringCount);
        if (!query.strings)
            return context.usageError(
                QStringLiteral("--strings '%1' is not 1 to 6").arg(parser().value(m_strings)));
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
    query.rootless = parser().isSet(m_rootless);
    return std::nullopt;
}
