#include "cli/SongbookCommand.h"

#include "base/Failure.h"
#include "base/WholeNumber.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"
#include "songbook/ChordProReader.h"
#include "songbook/SongChords.h"
#include "songbook/SongFile.h"
#include "writers/SongbookPdf.h"

#include <algorithm>

namespace {

std::optional<SongLayout::Diagrams> diagramsOf(const QString& word) {
    if (word == QLatin1String("top"))
        return SongLayout::Diagrams::Top;
    if (word == QLatin1String("bottom"))
        return SongLayout::Diagrams::Bottom;
    if (word == QLatin1String("none"))
        return SongLayout::Diagrams::None;
    return std::nullopt;
}

} // namespace

SongbookCommand::SongbookCommand()
    : Command({.name = QStringLiteral("songbook"),
               .synopsis = QStringLiteral("songbook OUT.pdf SONG.cho..."),
               .summary = {QStringLiteral("a PDF songbook of ChordPro files, with chord boxes")},
               .description = QStringLiteral(
                   "Writes a printable PDF of ChordPro songs: lyrics with their chords, and a "
                   "chord box\nfor every chord each song uses, on any instrument, tuning and "
                   "capo.\nExample: strumvane-charts songbook book.pdf swing-low.cho "
                   "--transpose 2 --capo 2"),
               .hintsAtHelp = false}),
      m_transpose(QStringLiteral("transpose"),
                  QStringLiteral("Move every song N semitones, -%1 to %1 (--transpose=-2).")
                      .arg(maxTranspose),
                  QStringLiteral("N")),
      m_leftHanded(QStringLiteral("left-handed"), QStringLiteral("Mirror the chord boxes.")),
      m_labels(QStringLiteral("labels"),
               QStringLiteral("In the boxes' dots: fingers (default), intervals, notes or none."),
               QStringLiteral("what"), QStringLiteral("fingers")),
      m_diagrams(QStringLiteral("diagrams"),
                 QStringLiteral("Where the chord boxes go: top (under the title), bottom (after "
                                "the song) or none. Default: as each song's {diagrams} says, "
                                "top."),
                 QStringLiteral("where")),
      m_voiceLead(QStringLiteral("voice-lead"),
                  QStringLiteral("Voice each chord near the chord before it instead of in its "
                                 "easiest shape.")),
      m_page(QStringLiteral("page"), QStringLiteral("a4 (default) or letter."),
             QStringLiteral("size"), QStringLiteral("a4")) {
    for (const QCommandLineOption* option :
         {&m_transpose, &m_leftHanded, &m_labels, &m_diagrams, &m_voiceLead, &m_page})
        addOption(*option);
    for (const QCommandLineOption& option : Arguments::fretboardOptions())
        addOption(option);
    addArgument(QStringLiteral("OUT.pdf"), QStringLiteral("The PDF to write."));
    addArgument(
        QStringLiteral("SONG"),
        QStringLiteral("A ChordPro file (.cho, .crd, .chopro, .pro), UTF-8. With --capo the "
                       "chords are the shapes played with that capo; without it, with "
                       "the file's {capo}."),
        QStringLiteral("SONG.cho..."));
}

std::optional<int> SongbookCommand::transpose(const QString& text) {
    QStringView digits(text);
    int sign = 1;
    if (digits.startsWith(u'-') || digits.startsWith(u'+')) {
        sign = digits.startsWith(u'-') ? -1 : 1;
        digits = digits.mid(1);
    }
    const std::optional<int> semitones = WholeNumber::parse(digits, 0, maxTranspose);
    if (!semitones)
        return std::nullopt;
    return sign * *semitones;
}

int SongbookCommand::execute(const CommandContext& context) {
    const QStringList args = arguments();
    if (args.size() < 2)
        return context.usageError(
            QStringLiteral("songbook takes OUT.pdf and at least one ChordPro file"));
    const QString fileName = args[0];
    if (Arguments::fileKind(fileName) != Arguments::FileKind::Pdf)
        return context.usageError(
            QStringLiteral("the songbook '%1' must be a .pdf file").arg(fileName));
    QString error;
    const std::optional<Fretboard> board = Arguments::fretboard(parser(), &error);
    if (!board)
        return context.usageError(error);
    SongChords::Options chords;
    chords.tuning = board->tuning();
    if (parser().isSet(QStringLiteral("capo")))
        chords.capo = board->capo();
    chords.voiceLead = parser().isSet(m_voiceLead);
    if (parser().isSet(m_transpose)) {
        const std::optional<int> semitones = transpose(parser().value(m_transpose));
        if (!semitones)
            return context.usageError(QStringLiteral("--transpose '%1' is not -%2 to %2")
                                          .arg(parser().value(m_transpose))
                                          .arg(maxTranspose));
        chords.transpose = *semitones;
    }
    SongbookPdf::Options options;
    const std::optional<ChordBox::Labels> labels =
        Arguments::labels(parser().value(m_labels), &error);
    if (!labels)
        return context.usageError(error);
    options.layout.box.labels = *labels;
    options.layout.box.leftHanded = parser().isSet(m_leftHanded);
    if (parser().isSet(m_diagrams)) {
        options.layout.diagrams = diagramsOf(parser().value(m_diagrams));
        if (!options.layout.diagrams)
            return context.usageError(QStringLiteral("no such diagrams '%1' (top, bottom or none)")
                                          .arg(parser().value(m_diagrams)));
    }
    const std::optional<QPageSize::PageSizeId> page =
        Arguments::page(parser().value(m_page), &error);
    if (!page)
        return context.usageError(error);
    options.page = *page;

    // Every file is read before anything is written.
    QList<Song> songs;
    bool unreadable = false;
    ChordProReader::Options reading;
    reading.instrument = board->tuning().instrument();
    for (const QString& path : args.mid(1)) {
        QString reason;
        const std::optional<QString> text = SongFile::read(path, &reason);
        QList<SongWarning> warnings;
        const QList<Song> read =
            text ? ChordProReader::read(*text, path, reading, warnings) : QList<Song>();
        if (text && read.isEmpty())
            reason = QStringLiteral("holds no song");
        if (read.isEmpty()) {
            context.report(QStringLiteral("cannot read '%1': %2").arg(path, reason));
            unreadable = true;
            continue;
        }
        for (Song song : read) {
            SongChords::resolve(song, chords, warnings);
            songs << song;
        }
        // Reading and voicing warn in two rounds; the user reads them in the file's order.
        std::stable_sort(
            warnings.begin(), warnings.end(),
            [](const SongWarning& a, const SongWarning& b) { return a.line < b.line; });
        for (qsizetype i = 0; i < warnings.size() && i < maxWarnings; ++i)
            context.report(warnings[i].text());
        if (warnings.size() > maxWarnings)
            context.report(QStringLiteral("%1: %2 more warnings")
                               .arg(path)
                               .arg(warnings.size() - maxWarnings));
    }
    if (unreadable)
        return ExitStatus::failure;
    if (context.interrupted())
        return ExitStatus::interrupted;
    try {
        SongbookPdf::write(fileName, songs, options);
    } catch (const Failure& failure) {
        context.report(
            QStringLiteral("cannot write '%1': %2").arg(fileName, failure.description()));
        return ExitStatus::failure;
    }
    return ExitStatus::ok;
}
