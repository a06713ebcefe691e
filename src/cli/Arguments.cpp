#include "cli/Arguments.h"

#include "base/WholeNumber.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "fretboard/VoicingFinder.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace Arguments {

std::optional<int> wholeNumber(QStringView text, int low, int high) {
    return WholeNumber::parse(text, low, high);
}

std::optional<double> decimalNumber(QStringView text, double low, double high) {
    return WholeNumber::parseDecimal(text, low, high);
}

std::optional<int> entry(QStringView text, QString* error) {
    const std::optional<int> number = wholeNumber(text, 1, ChordCatalogue::entryCount);
    if (!number && error)
        *error = QStringLiteral("no such entry '%1' (1 to %2)")
                     .arg(text.toString(), QString::number(ChordCatalogue::entryCount));
    return number;
}

std::optional<qint16> pitch(QStringView text, QString* error) {
    const std::optional<qint16> pitch = ChordTheory::parsePitch(text);
    if (!pitch && error)
        *error = QStringLiteral("no such Pitch '%1'").arg(text.toString());
    return pitch;
}

std::optional<QList<qint16>> frets(QStringView text, const Fretboard& board, QString* error) {
    return board.parseFrets(text, error);
}

std::optional<QList<qint16>> fretNotes(QStringView text, QString* error, const Fretboard& board) {
    const std::optional<QList<qint16>> read = board.parseFrets(text, error);
    if (!read)
        return std::nullopt;
    return board.notes(*read);
}

bool looksLikeFrets(QStringView text) {
    static const QRegularExpression frets(QStringLiteral("^[0-9xX]+(-[0-9xX]+)+$"));
    return frets.match(text).hasMatch();
}

bool isCatalogueFretboard(const Fretboard& board) {
    return VoicingFinder::catalogueApplies(board);
}

QList<QCommandLineOption> fretboardOptions() {
    return {
        QCommandLineOption(QStringLiteral("instrument"),
                           QStringLiteral("The instrument: %1 (default guitar).")
                               .arg(Tuning::instrumentNames().join(QStringLiteral(", "))),
                           QStringLiteral("NAME")),
        QCommandLineOption(
            QStringLiteral("tuning"),
            QStringLiteral("The tuning: a preset (%1), notes lowest string first ('D2 A2 D3 "
                           "G3 A3 D4') or note names (DADGAD) in the instrument's octaves.")
                .arg(Tuning::presetNames().join(QStringLiteral(", "))),
            QStringLiteral("T")),
        QCommandLineOption(QStringLiteral("capo"),
                           QStringLiteral("A capo at fret N, 0 to %1; frets count from it.")
                               .arg(Fretboard::maxCapo),
                           QStringLiteral("N")),
    };
}

std::optional<Fretboard> fretboard(const QCommandLineParser& parser, QString* error) {
    auto fail = [&](const QString& message) -> std::optional<Fretboard> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    std::optional<Tuning> instrument;
    if (parser.isSet(QStringLiteral("instrument"))) {
        const QString name = parser.value(QStringLiteral("instrument"));
        if (Tuning::isInstrument(name))
            instrument = Tuning::preset(name);
        if (!instrument)
            return fail(QStringLiteral("unknown instrument '%1' (%2)")
                            .arg(name, Tuning::instrumentNames().join(QStringLiteral(", "))));
    }
    Tuning tuning = instrument ? *instrument : Tuning();
    if (parser.isSet(QStringLiteral("tuning"))) {
        const QString text = parser.value(QStringLiteral("tuning"));
        const std::optional<Tuning> read =
            instrument ? Tuning::parseFor(*instrument, text, error) : Tuning::parse(text, error);
        if (!read)
            return std::nullopt;
        tuning = *read;
    }
    int capo = 0;
    if (parser.isSet(QStringLiteral("capo"))) {
        const QString text = parser.value(QStringLiteral("capo"));
        const std::optional<int> fret = wholeNumber(text, 0, Fretboard::maxCapo);
        if (!fret)
            return fail(QStringLiteral("no such capo '%1' (0 to %2)")
                            .arg(text, QString::number(Fretboard::maxCapo)));
        capo = *fret;
    }
    return Fretboard(tuning, capo);
}

std::optional<EntryAtPitch> entryAtPitch(QStringView text) {
    const qsizetype at = text.indexOf(u'@');
    if (at <= 0)
        return std::nullopt;
    const std::optional<int> number = entry(text.left(at));
    const std::optional<qint16> note = pitch(text.mid(at + 1));
    if (!number || !note)
        return std::nullopt;
    return EntryAtPitch{*number, *note};
}

std::optional<FileKind> fileKind(const QString& fileName) {
    static const struct {
        const char* suffix;
        FileKind kind;
    } kinds[] = {{"bmp", FileKind::Bmp}, {"jpg", FileKind::Jpeg},         {"jpeg", FileKind::Jpeg},
                 {"png", FileKind::Png}, {"svg", FileKind::Svg},          {"pdf", FileKind::Pdf},
                 {"wav", FileKind::Wav}, {"musicxml", FileKind::MusicXml}};
    const QString suffix = QFileInfo(fileName).suffix();
    for (const auto& k : kinds) {
        if (suffix.compare(QLatin1String(k.suffix), Qt::CaseInsensitive) == 0)
            return k.kind;
    }
    return std::nullopt;
}

std::optional<QList<ChordChartKind>> charts(const QString& word, QString* error) {
    if (word == QLatin1String("fingering"))
        return QList<ChordChartKind>{ChordChartKind::Fingering};
    if (word == QLatin1String("interval"))
        return QList<ChordChartKind>{ChordChartKind::Interval};
    if (word == QLatin1String("blank"))
        return QList<ChordChartKind>{ChordChartKind::Blank};
    if (word == QLatin1String("both"))
        return QList<ChordChartKind>{ChordChartKind::Fingering, ChordChartKind::Interval};
    if (error)
        *error =
            QStringLiteral("no such chart '%1' (fingering, interval, blank or both)").arg(word);
    return std::nullopt;
}

std::optional<Style> style(const QString& word, QString* error) {
    if (word == QLatin1String("box"))
        return Style::Box;
    if (word == QLatin1String("fretboard"))
        return Style::Fretboard;
    if (error)
        *error = QStringLiteral("no such style '%1' (box or fretboard)").arg(word);
    return std::nullopt;
}

std::optional<ChordBox::Labels> labels(const QString& word, QString* error) {
    static const struct {
        const char* word;
        ChordBox::Labels labels;
    } words[] = {{"fingers", ChordBox::Labels::Fingers},
                 {"intervals", ChordBox::Labels::Intervals},
                 {"notes", ChordBox::Labels::Notes},
                 {"none", ChordBox::Labels::None}};
    for (const auto& w : words) {
        if (word == QLatin1String(w.word))
            return w.labels;
    }
    if (error)
        *error =
            QStringLiteral("no such labels '%1' (fingers, intervals, notes or none)").arg(word);
    return std::nullopt;
}

std::optional<QPageSize::PageSizeId> page(const QString& word, QString* error) {
    const QString lower = word.toLower();
    if (lower == QLatin1String("a4"))
        return QPageSize::A4;
    if (lower == QLatin1String("letter"))
        return QPageSize::Letter;
    if (error)
        *error = QStringLiteral("no such page '%1' (a4 or letter)").arg(word);
    return std::nullopt;
}

QString entryHelp() {
    return QStringLiteral("A catalogue entry, 1 to %1, as the window's chord list counts them.")
        .arg(ChordCatalogue::entryCount);
}

QString fretsHelp() {
    return QStringLiteral("A shape: one mark a string, lowest string first, joined by '-': a fret "
                          "0 (open, or at the capo) and up, or x (x-3-2-0-1-0).");
}

QString pitchHelp() {
    return QStringLiteral("The chord's lowest note: a note name in any case with an optional "
                          "sharp or flat (C, c, F#, f\u266F, Bb, B\u266D, ...), or 0 to 11.");
}

} // namespace Arguments
