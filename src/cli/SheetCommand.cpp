#include "cli/SheetCommand.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordFinder.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordTypeTable.h"
#include "chart/ChordDiagram.h"
#include "chart/VoicingDiagram.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"
#include "cli/OutputFile.h"
#include "fretboard/VoicingFinder.h"
#include "writers/MusicXmlScore.h"

#include <QHash>

namespace {

// How many of the window's charts stand side by side unless --columns says otherwise.
constexpr int fretboardColumns = 2;

std::optional<ChordBoxSheet::Captions> readCaptions(const QString& word) {
    if (word == QLatin1String("frets"))
        return ChordBoxSheet::Captions::Frets;
    if (word == QLatin1String("shape"))
        return ChordBoxSheet::Captions::Shape;
    if (word == QLatin1String("none"))
        return ChordBoxSheet::Captions::None;
    return std::nullopt;
}

// What a resolved CHORD names: the chord its caption reads as; for a catalogue voicing, whose
// window name may use the catalogue's own spellings ("Fm6\9(addb7)/C"), the chord its type
// sounds on the root and over the bass the name writes.
std::optional<ChordSymbol> symbolOf(const LessonSheet::Chord& chord) {
    if (chord.diagram)
        return ChordSymbol::parse(chord.caption);
    const ChordType* type =
        ChordTypeTable::find(QString::fromLatin1(ChordCatalogue::entry(chord.entry).chordType));
    const QString& name = chord.caption;
    std::optional<qint16> root = ChordTheory::parseNoteName(QStringView(name).left(2));
    if (!root)
        root = ChordTheory::parseNoteName(QStringView(name).left(1));
    if (!type || !type->formula || !root)
        return ChordSymbol::parse(name);
    const qsizetype slash = name.lastIndexOf(u'/');
    const std::optional<qint16> bass =
        slash > 0 ? ChordTheory::parseNoteName(QStringView(name).mid(slash + 1)) : std::nullopt;
    return ChordSymbol(*root, *type->formula, bass.value_or(ChordSymbol::rootInBass));
}

} // namespace

SheetCommand::SheetCommand()
    : Command({.name = QStringLiteral("sheet"),
               .synopsis = QStringLiteral("sheet OUT.pdf|OUT.musicxml CHORD..."),
               .summary = {QStringLiteral("a PDF lesson sheet, e.g. sheet song.pdf Am7 D7 6@F"),
                           QStringLiteral("x-3-2-0-1-0")},
               .description = QStringLiteral(
                   "Writes a printable PDF lesson sheet: chord boxes filling the page (24 fit on\n"
                   "an A4 page), or with --style fretboard the window's charts, on any\n"
                   "instrument, tuning and capo. To OUT.musicxml it writes the chords as a\n"
                   "MusicXML 4.0 score instead, one measure each with its chord symbol and\n"
                   "diagram, for notation programs (--title and the fretboard options apply).\n"
                   "Example: strumvane-charts sheet song.pdf Am7 D7 Gmaj7 6@F --title \"Lesson "
                   "3\""),
               .hintsAtHelp = false}),
      m_title(QStringLiteral("title"), QStringLiteral("The sheet's title."),
              QStringLiteral("TEXT")),
      m_style(QStringLiteral("style"),
              QStringLiteral("box (default): chord boxes as chord books print them; fretboard: "
                             "the window's charts (the default when --chart is given)."),
              QStringLiteral("style")),
      m_labels(QStringLiteral("labels"),
               QStringLiteral("In the boxes' dots: fingers (default), intervals, notes or none."),
               QStringLiteral("what"), QStringLiteral("fingers")),
      m_captions(QStringLiteral("captions"),
                 QStringLiteral("Under each box: frets (default), shape (the open shape under a "
                                "capo, where known) or none."),
                 QStringLiteral("what"), QStringLiteral("frets")),
      m_chart(QStringLiteral("chart"),
              QStringLiteral("The window's charts of each chord: fingering (default), interval, "
                             "blank or both (fingering and interval)."),
              QStringLiteral("kind"), QStringLiteral("fingering")),
      m_leftHanded(QStringLiteral("left-handed"), QStringLiteral("Mirror the boxes or charts.")),
      m_page(QStringLiteral("page"), QStringLiteral("a4 (default) or letter."),
             QStringLiteral("size"), QStringLiteral("a4")),
      m_columns(QStringLiteral("columns"),
                QStringLiteral("Boxes side by side, 1 to %1 (default: as many as stay legible, "
                               "up to %2), or charts, 1 to %3 (default %4).")
                    .arg(QString::number(ChordBoxSheet::maxColumns),
                         QString::number(ChordBoxSheet::autoColumns),
                         QString::number(LessonSheet::maxColumns),
                         QString::number(fretboardColumns)),
                QStringLiteral("N")) {
    for (const QCommandLineOption* option :
         {&m_title, &m_style, &m_labels, &m_captions, &m_chart, &m_leftHanded, &m_page, &m_columns})
        addOption(*option);
    for (const QCommandLineOption& option : Arguments::fretboardOptions())
        addOption(option);
    addArgument(QStringLiteral("OUT"),
                QStringLiteral("The PDF (.pdf) or MusicXML score (.musicxml) to write."),
                QStringLiteral("OUT.pdf|OUT.musicxml"));
    addArgument(QStringLiteral("CHORD"),
                QStringLiteral("A chord name (Am7: its easiest voicing on the instrument, tuning "
                               "and capo), FRETS (x-3-2-0-1-0) or ENTRY@PITCH (6@F)."),
                QStringLiteral("CHORD..."));
}

int SheetCommand::execute(const CommandContext& context) {
    const QStringList args = arguments();
    if (args.size() < 2)
        return context.usageError(
            QStringLiteral("sheet takes OUT.pdf or OUT.musicxml and at least one CHORD"));
    const QString fileName = args[0];
    const std::optional<Arguments::FileKind> kind = Arguments::fileKind(fileName);
    if (kind != Arguments::FileKind::Pdf && kind != Arguments::FileKind::MusicXml)
        return context.usageError(
            QStringLiteral("the sheet '%1' must be a .pdf or .musicxml file").arg(fileName));
    QString error;
    const std::optional<Fretboard> board = Arguments::fretboard(parser(), &error);
    if (!board)
        return context.usageError(error);
    if (kind == Arguments::FileKind::MusicXml)
        return writeMusicXml(context, fileName, args.mid(1), *board);
    Arguments::Style style = Arguments::Style::Box;
    if (const std::optional<int> status = readStyle(style, context))
        return *status;
    if (style == Arguments::Style::Fretboard && board->stringCount() != Arguments::chartStrings)
        return context.usageError(
            QStringLiteral("the window's charts have six strings; the %1 takes chord boxes")
                .arg(board->description()));
    const int maxColumns =
        style == Arguments::Style::Box ? ChordBoxSheet::maxColumns : LessonSheet::maxColumns;
    Common common;
    if (const std::optional<int> status = readCommon(common, maxColumns, context))
        return *status;

    if (style == Arguments::Style::Fretboard) {
        LessonSheet::Options options;
        options.title = common.title;
        options.leftHanded = common.leftHanded;
        options.page = common.page;
        options.columns = common.columns.value_or(fretboardColumns);
        const std::optional<QList<ChordChartKind>> charts =
            Arguments::charts(parser().value(m_chart), &error);
        if (!charts)
            return context.usageError(error);
        options.charts = *charts;
        QList<LessonSheet::Chord> chords;
        if (const std::optional<int> status = readChords(args.mid(1), *board, chords, context))
            return *status;
        options.stopped = [&] { return context.interrupted(); };
        return OutputFile(context, fileName).writeEncoded([&] {
            return LessonSheet::encode(chords, options);
        });
    }

    ChordBoxSheet::Options options;
    options.title = common.title;
    options.box.leftHanded = common.leftHanded;
    options.page = common.page;
    options.columns = common.columns.value_or(0);
    if (const std::optional<int> status = readBoxOptions(options, context))
        return *status;
    QList<LessonSheet::Chord> chords;
    if (const std::optional<int> status = readChords(args.mid(1), *board, chords, context))
        return *status;
    QList<ChordDiagram> diagrams;
    for (const LessonSheet::Chord& chord : chords)
        diagrams << diagramOf(chord);
    options.stopped = [&] { return context.interrupted(); };
    return OutputFile(context, fileName).writeEncoded([&] {
        return ChordBoxSheet::encode(diagrams, options);
    });
}

ChordDiagram SheetCommand::diagramOf(const LessonSheet::Chord& chord) {
    ChordDiagram diagram =
        chord.diagram
            ? *chord.diagram
            : ChordDiagram::fromCatalogue(ChordCatalogue::entry(chord.entry), chord.pitch);
    diagram.name = chord.caption;
    return diagram;
}

int SheetCommand::writeMusicXml(const CommandContext& context, const QString& fileName,
                                const QStringList& chordTexts, const Fretboard& board) const {
    // The score has no page, style or handedness: it is laid out by the program that opens it.
    for (const QCommandLineOption* option :
         {&m_style, &m_labels, &m_captions, &m_chart, &m_leftHanded, &m_page, &m_columns}) {
        if (parser().isSet(*option))
            return context.usageError(QStringLiteral("--%1 is for PDF sheets; a MusicXML sheet "
                                                     "takes --title, --instrument, --tuning "
                                                     "and --capo")
                                          .arg(option->names().first()));
    }
    QList<LessonSheet::Chord> chords;
    if (const std::optional<int> status = readChords(chordTexts, board, chords, context))
        return *status;
    MusicXmlScore::Score score;
    score.title = parser().value(m_title);
    score.instrument = MusicXmlScore::partName(board.tuning());
    score.board = board;
    for (const LessonSheet::Chord& chord : chords)
        score.chords << MusicXmlScore::Chord{chord.caption, symbolOf(chord), diagramOf(chord)};
    return OutputFile(context, fileName).writeEncoded([&] { return MusicXmlScore::encode(score); });
}

std::optional<int> SheetCommand::readStyle(Arguments::Style& style,
                                           const CommandContext& context) const {
    // --chart names the window's charts, so on its own it asks for them.
    style = parser().isSet(m_chart) ? Arguments::Style::Fretboard : Arguments::Style::Box;
    QString error;
    if (parser().isSet(m_style)) {
        const std::optional<Arguments::Style> read =
            Arguments::style(parser().value(m_style), &error);
        if (!read)
            return context.usageError(error);
        style = *read;
    }
    if (style == Arguments::Style::Box && parser().isSet(m_chart))
        return context.usageError(
            QStringLiteral("--chart picks the window's charts; boxes take --labels"));
    if (style == Arguments::Style::Fretboard &&
        (parser().isSet(m_labels) || parser().isSet(m_captions)))
        return context.usageError(
            QStringLiteral("--labels and --captions are for chord boxes, not --style fretboard"));
    return std::nullopt;
}

std::optional<int> SheetCommand::readCommon(Common& common, int maxColumns,
                                            const CommandContext& context) const {
    common.title = parser().value(m_title);
    common.leftHanded = parser().isSet(m_leftHanded);
    QString error;
    const std::optional<QPageSize::PageSizeId> page =
        Arguments::page(parser().value(m_page), &error);
    if (!page)
        return context.usageError(error);
    common.page = *page;
    if (parser().isSet(m_columns)) {
        const QString columns = parser().value(m_columns);
        common.columns = Arguments::wholeNumber(columns, 1, maxColumns);
        if (!common.columns)
            return context.usageError(QStringLiteral("--columns '%1' is not 1 to %2")
                                          .arg(columns, QString::number(maxColumns)));
    }
    return std::nullopt;
}

std::optional<int> SheetCommand::readBoxOptions(ChordBoxSheet::Options& options,
                                                const CommandContext& context) const {
    QString error;
    const std::optional<ChordBox::Labels> labels =
        Arguments::labels(parser().value(m_labels), &error);
    if (!labels)
        return context.usageError(error);
    options.box.labels = *labels;
    const std::optional<ChordBoxSheet::Captions> captions =
        readCaptions(parser().value(m_captions));
    if (!captions)
        return context.usageError(QStringLiteral("no such captions '%1' (frets, shape or none)")
                                      .arg(parser().value(m_captions)));
    options.captions = *captions;
    return std::nullopt;
}

std::optional<int> SheetCommand::readChords(const QStringList& texts, const Fretboard& board,
                                            QList<LessonSheet::Chord>& chords,
                                            const CommandContext& context) {
    // A song names the same few chords again and again: each is looked up once.
    QHash<QString, LessonSheet::Chord> resolved;
    for (const QString& text : texts) {
        // Finding the easiest voicing of a name takes a while: a long sheet stops here.
        if (context.interrupted())
            return context.interruptedStatus();
        auto known = resolved.constFind(text);
        if (known == resolved.constEnd()) {
            LessonSheet::Chord chord;
            if (const std::optional<int> status = readChord(text, board, chord, context))
                return status;
            known = resolved.insert(text, chord);
        }
        chords << *known;
    }
    return std::nullopt;
}

std::optional<int> SheetCommand::readChord(const QString& text, const Fretboard& board,
                                           LessonSheet::Chord& chord,
                                           const CommandContext& context) {
    const bool catalogue = Arguments::isCatalogueFretboard(board);
    chord.caption = text;
    if (Arguments::looksLikeFrets(text)) {
        QString error;
        const std::optional<QList<qint16>> frets = Arguments::frets(text, board, &error);
        if (!frets)
            return context.usageError(error);
        const Voicing voicing = VoicingDiagram::ofFrets(*frets, board);
        const QString name = VoicingDiagram::nameOf(voicing.notes);
        chord.caption = name.isEmpty() ? text : name;
        chord.diagram = VoicingDiagram::of(voicing, board, chord.caption, std::nullopt);
        return std::nullopt;
    }
    if (const auto entryAtPitch = Arguments::entryAtPitch(text)) {
        if (!catalogue)
            return context.usageError(
                QStringLiteral("'%1' is a voicing of the guitar in standard tuning; write "
                               "FRETS or a chord name for the %2")
                    .arg(text, board.description()));
        const auto& v = ChordFinder::voicing(entryAtPitch->entry, entryAtPitch->pitch);
        chord.caption = ChordFinder::windowName(v);
        chord.entry = v.entry;
        chord.pitch = v.pitch;
        return std::nullopt;
    }
    if (text.contains(QLatin1Char('@')))
        return context.usageError(
            QStringLiteral("'%1' is no ENTRY@PITCH (1 to 611 @ a Pitch)").arg(text));
    // A chord name: its easiest voicing, the catalogue's or a generated one.
    QString error;
    VoicingFinder::Query query;
    query.board = board;
    query.chord = ChordTones::parse(text, &error);
    if (!query.chord)
        return context.usageError(error);
    query.catalogueChord = ChordFinder::parseChordName(text);
    const QList<VoicingFinder::Row> found = VoicingFinder::find(query);
    if (found.isEmpty())
        return context.usageError(
            QStringLiteral("no voicing of '%1' on the %2").arg(text, board.description()));
    const VoicingFinder::Row& easiest = found.first();
    if (easiest.fromCatalogue()) {
        chord.entry = easiest.entry;
        chord.pitch = easiest.pitch;
    } else {
        chord.diagram = VoicingDiagram::of(easiest.voicing, board, text, query.chord);
    }
    return std::nullopt;
}
