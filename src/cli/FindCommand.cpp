#include "cli/FindCommand.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordFinder.h"
#include "catalogue/ChordTheory.h"
#include "cli/ChartsTool.h"
#include "cli/CommandText.h"

#include <QCommandLineParser>

namespace {

std::optional<int> parseWhole(const QString& text, int low, int high) {
    if (!ChordTheory::isFretMark(text) || text.size() > 3)
        return std::nullopt;
    const int value = text.toInt();
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::pair<int, qint16>> FindCommand::parseEntryAtPitch(const QString& text) {
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    if (at <= 0)
        return std::nullopt;
    const std::optional<int> entry = parseWhole(text.left(at), 1, ChordCatalogue::entryCount);
    const std::optional<qint16> pitch = ChordTheory::parsePitch(QStringView(text).mid(at + 1));
    if (!entry || !pitch)
        return std::nullopt;
    return std::pair{*entry, *pitch};
}

int FindCommand::run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Finds the catalogue's voicings of a chord, easiest first.\n"
                       "Example: strumvane-charts find Am7 --frets 5-8\n"
                       "         strumvane-charts find D7 --near 164@A"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption notesOption(
        QStringLiteral("notes"), QStringLiteral("Exactly these pitch classes instead of a NAME."),
        QStringLiteral("N1,N2,..."));
    const QCommandLineOption fretsOption(QStringLiteral("frets"),
                                         QStringLiteral("Every fretted string within LOW to HIGH."),
                                         QStringLiteral("LOW-HIGH"));
    const QCommandLineOption stringsOption(QStringLiteral("strings"),
                                           QStringLiteral("Exactly K sounding strings."),
                                           QStringLiteral("K"));
    const QCommandLineOption topOption(
        QStringLiteral("top"), QStringLiteral("The highest note is NOTE."), QStringLiteral("NOTE"));
    const QCommandLineOption nearOption(
        QStringLiteral("near"),
        QStringLiteral("Sort by voice-leading distance from entry ENTRY at PITCH (e.g. 164@A)."),
        QStringLiteral("ENTRY@PITCH"));
    const QCommandLineOption rootlessOption(
        QStringLiteral("rootless"), QStringLiteral("Also voicings that leave the root out."));
    for (const QCommandLineOption* option :
         {&helpOption, &notesOption, &fretsOption, &stringsOption, &topOption, &nearOption,
          &rootlessOption})
        parser.addOption(*option);
    parser.addPositionalArgument(QStringLiteral("find"), QString(), QStringLiteral("find"));
    parser.addPositionalArgument(
        QStringLiteral("NAME"),
        QStringLiteral("A chord name: Am7, Cmaj7, CΔ7, F#ø, Eb°7, G+, C/E, Dm7/C, C6/9."));
    if (const auto status = CommandText::parseCommand(parser, helpOption, QStringLiteral("find"),
                                                      arguments, out, err))
        return *status;

    const QStringList positional = parser.positionalArguments().mid(1);
    ChordFinder::Query query;
    if (positional.size() > 1)
        return CommandText::usageError(err, QStringLiteral("find takes one NAME"));
    if (positional.isEmpty() == !parser.isSet(notesOption))
        return CommandText::usageError(err, QStringLiteral("find takes a NAME or --notes"));
    if (!positional.isEmpty()) {
        QString error;
        query.chord = ChordFinder::parseChordName(positional[0], &error);
        if (!query.chord)
            return CommandText::usageError(err, error);
    } else {
        IntervalSet notes = 0;
        for (const QString& note : parser.value(notesOption).split(QLatin1Char(','))) {
            const std::optional<qint16> pitch = ChordFinder::parseNoteName(note.trimmed());
            if (!pitch)
                return CommandText::usageError(
                    err, QStringLiteral("unknown note '%1' in --notes").arg(note));
            notes |= intervalBit(*pitch);
        }
        query.notes = notes;
    }
    if (parser.isSet(fretsOption)) {
        const QStringList range = parser.value(fretsOption).split(QLatin1Char('-'));
        const auto low = range.size() == 2 ? parseWhole(range[0], 0, 24) : std::nullopt;
        const auto high = range.size() == 2 ? parseWhole(range[1], 0, 24) : std::nullopt;
        if (!low || !high || *low > *high)
            return CommandText::usageError(
                err, QStringLiteral("--frets '%1' is no range LOW-HIGH of frets 0 to 24")
                         .arg(parser.value(fretsOption)));
        query.lowFret = low;
        query.highFret = high;
    }
    if (parser.isSet(stringsOption)) {
        query.strings = parseWhole(parser.value(stringsOption), 1, 6);
        if (!query.strings)
            return CommandText::usageError(
                err,
                QStringLiteral("--strings '%1' is not 1 to 6").arg(parser.value(stringsOption)));
    }
    if (parser.isSet(topOption)) {
        query.top = ChordFinder::parseNoteName(parser.value(topOption));
        if (!query.top)
            return CommandText::usageError(
                err, QStringLiteral("unknown note '%1' for --top").arg(parser.value(topOption)));
    }
    if (parser.isSet(nearOption)) {
        const auto near = parseEntryAtPitch(parser.value(nearOption));
        if (!near)
            return CommandText::usageError(
                err, QStringLiteral("--near '%1' is no ENTRY@PITCH (e.g. 164@A)")
                         .arg(parser.value(nearOption)));
        query.near = &ChordFinder::voicing(near->first, near->second);
    }
    query.rootless = parser.isSet(rootlessOption);

    const QList<ChordFinder::Found> found = ChordFinder::find(query);
    for (const ChordFinder::Found& f : found) {
        const ChordFinder::Voicing& v = *f.voicing;
        out << v.entry << '\t' << ChordTheory::PitchNames[v.pitch] << '\t'
            << ChordFinder::windowName(v) << '\t' << v.fretNumbers() << '\t'
            << ChordCatalogue::entry(v.entry).fingering << '\t' << v.score;
        if (query.near)
            out << '\t' << f.distance;
        out << '\n';
    }
    if (found.isEmpty())
        CommandText::message(err, QStringLiteral("no voicing of the catalogue matches"));
    return ChartsTool::exitOk;
}
