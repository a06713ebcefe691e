#include "cli/Arguments.h"

#include "base/WholeNumber.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"

#include <QFileInfo>

namespace Arguments {

std::optional<int> wholeNumber(QStringView text, int low, int high) {
    return WholeNumber::parse(text, low, high);
}

std::optional<int> entry(QStringView text, QString* error) {
    const std::optional<int> number = wholeNumber(text, 1, ChordCatalogue::entryCount);
    if (!number && error)
        *error = QStringLiteral("no such entry '%1' (1 to %2)")
                     .arg(text.toString())
                     .arg(ChordCatalogue::entryCount);
    return number;
}

std::optional<qint16> pitch(QStringView text, QString* error) {
    const std::optional<qint16> pitch = ChordTheory::parsePitch(text);
    if (!pitch && error)
        *error = QStringLiteral("no such Pitch '%1'").arg(text.toString());
    return pitch;
}

std::optional<QList<qint16>> fretNotes(QStringView text, QString* error) {
    return ChordNamer::notesOfFrets(text, error);
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
    } kinds[] = {{"bmp", FileKind::Bmp}, {"jpg", FileKind::Jpeg}, {"jpeg", FileKind::Jpeg},
                 {"png", FileKind::Png}, {"svg", FileKind::Svg},  {"pdf", FileKind::Pdf},
                 {"wav", FileKind::Wav}};
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

QString entryHelp() {
    return QStringLiteral("A catalogue entry, 1 to %1, as the window's chord list counts them.")
        .arg(ChordCatalogue::entryCount);
}

QString pitchHelp() {
    return QStringLiteral("The chord's lowest note: a note name in any case with an optional "
                          "sharp or flat (C, c, F#, f\u266F, Bb, B\u266D, ...), or 0 to 11.");
}

} // namespace Arguments
