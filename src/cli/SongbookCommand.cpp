#include "cli/SongbookCommand.h"

#include "base/Failure.h"
#include "base/WholeNumber.h"
#include "cli/Arguments.h"
#include "cli/CommandContext.h"
#include "cli/ExitStatus.h"
#include "cli/OutputFile.h"
#include "songbook/ChordProReader.h"
#include "songbook/SongChords.h"
#include "songbook/SongFile.h"
#include "writers/MusicXmlScore.h"
#include "writers/SongbookPdf.h"

#include <QSet>
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
               .synopsis = QStringLiteral("songbook OUT.pdf|OUT.musicxml SONG.cho..."),
               .summary = {QStringLiteral("a PDF songbook of ChordPro files, with chord boxes")},
               .description = QStringLiteral(
                   "Writes a printable PDF of ChordPro songs: lyrics with their chords, and a "
                   "chord box\nfor every chord each song uses, on any instrument, tuning and "
                   "capo. To OUT.musicxml\nit writes the songs' chord diagrams as a MusicXML "
                   "score, one measure per chord in\norder of first use.\n"
                   "Example: strumvane-charts songbook book.pdf swing-low.cho --transpose 2 "
                   "--capo 2"),
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
    addArgument(QStringLiteral("OUT"),
                QStringLiteral("The PDF (.pdf) or MusicXML score (.musicxml) to write."),
                QStringLiteral("OUT.pdf|OUT.musicxml"));
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
        return context.usageError(QStringLiteral(
            "songbook takes OUT.pdf or OUT.musicxml and at least one ChordPro file"));
    const QString fileName = args[0];
    const std::optional<Arguments::FileKind> kind = Arguments::fileKind(fileName);
    if (kind != Arguments::FileKind::Pdf && kind != Arguments::FileKind::MusicXml)
        return context.usageError(
            QStringLiteral("the songbook '%1' must be a .pdf or .musicxml file").arg(fileName));
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
            return context.usageError(
                QStringLiteral("--transpose '%1' is not -%2 to %2")
                    .arg(parser().value(m_transpose), QString::number(maxTranspose)));
        chords.transpose = *semitones;
    }
    // Usage errors come before any file is read.
    if (kind == Arguments::FileKind::MusicXml) {
        for (const QCommandLineOption* option : {&m_leftHanded, &m_labels, &m_diagrams, &m_page}) {
            if (parser().isSet(*option))
                return context.usageError(
                    QStringLiteral("--%1 is for PDF songbooks; a MusicXML score takes "
                                   "--transpose, --capo, --instrument, --tuning and --voice-lead")
                        .arg(option->names().first()));
        }
    } else {
        if (!Arguments::labels(parser().value(m_labels), &error) ||
            !Arguments::page(parser().value(m_page), &error))
            return context.usageError(error);
        if (parser().isSet(m_diagrams) && !diagramsOf(parser().value(m_diagrams)))
            return context.usageError(QStringLiteral("no such diagrams '%1' (top, bottom or none)")
                                          .arg(parser().value(m_diagrams)));
    }

    const std::optional<QList<Song>> songs = readSongs(args.mid(1), chords, context);
    if (!songs)
        return ExitStatus::failure;
    if (context.interrupted())
        return context.interruptedStatus();
    return kind == Arguments::FileKind::MusicXml ? writeMusicXml(fileName, *songs, context)
                                                 : writePdf(fileName, *songs, context);
}

std::optional<QList<Song>> SongbookCommand::readSongs(const QStringList& paths,
                                                      const SongChords::Options& chords,
                                                      const CommandContext& context) {
    QList<Song> songs;
    bool unreadable = false;
    ChordProReader::Options reading;
    reading.instrument = chords.tuning.instrument();
    for (const QString& path : paths) {
        // The caller ends the run with the interrupted status.
        if (context.interrupted())
            return songs;
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
                               .arg(path, QString::number(warnings.size() - maxWarnings)));
    }
    if (unreadable)
        return std::nullopt;
    return songs;
}

int SongbookCommand::writePdf(const QString& fileName, const QList<Song>& songs,
                              const CommandContext& context) const {
    // Each was read when the command started.
    SongbookPdf::Options options;
    options.page = *Arguments::page(parser().value(m_page));
    options.layout.box.labels = *Arguments::labels(parser().value(m_labels));
    options.layout.box.leftHanded = parser().isSet(m_leftHanded);
    if (parser().isSet(m_diagrams))
        options.layout.diagrams = diagramsOf(parser().value(m_diagrams));
    options.stopped = [&] { return context.interrupted(); };
    return OutputFile(context, fileName).writeEncoded([&] {
        return SongbookPdf::encode(songs, options);
    });
}

int SongbookCommand::writeMusicXml(const QString& fileName, const QList<Song>& songs,
                                   const CommandContext& context) const {
    // One score has one capo: songs whose own {capo} differs need one given.
    for (const Song& song : songs) {
        if (song.board.capo() != songs.first().board.capo())
            return context.usageError(
                QStringLiteral("'%1' and '%2' ask for capo %3 and capo %4; give --capo for "
                               "one MusicXML score")
                    .arg(songs.first().file, song.file, QString::number(songs.first().board.capo()),
                         QString::number(song.board.capo())));
    }
    MusicXmlScore::Score score;
    score.board = songs.first().board;
    score.instrument = MusicXmlScore::partName(score.board.tuning());
    if (songs.size() == 1)
        score.title = songs.first().title;
    QSet<QString> taken;
    for (const Song& song : songs) {
        for (const Song::Chord& chord : song.chords) {
            if (!chord.inStrip || !chord.voicing || taken.contains(chord.name))
                continue;
            taken.insert(chord.name);
            score.chords << MusicXmlScore::Chord{chord.name, chord.symbol,
                                                 SongLayout::diagramOf(song, chord)};
        }
    }
    if (score.chords.isEmpty()) {
        context.report(
            QStringLiteral("cannot write '%1': no chord of the songs has a diagram").arg(fileName));
        return ExitStatus::failure;
    }
    return OutputFile(context, fileName).writeEncoded([&] { return MusicXmlScore::encode(score); });
}
