#include "finder/SheetList.h"

#include "base/WholeNumber.h"
#include "chart/VoicingDiagram.h"
#include "finder/FindForm.h"
#include "fretboard/ChordTones.h"
#include "fretboard/Fingering.h"
#include "fretboard/VoicingFinder.h"

#include <QStringList>
#include <QUrl>

namespace {

constexpr QChar fieldSeparator = u'|';
constexpr QChar entrySeparator = u';';
constexpr int fieldCount = 6;
// Characters a field may hold that would end it, and the escape itself.
const QByteArray escaped = QByteArrayLiteral("%|;");

QString encodeField(const QString& text) {
    QString out;
    for (const QChar c : text) {
        if (c.unicode() < 0x80 && escaped.contains(char(c.unicode())))
            out += QStringLiteral("%%1").arg(c.unicode(), 2, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

QString decodeField(QStringView text) {
    return QUrl::fromPercentEncoding(text.toUtf8());
}

FindForm formOf(const SheetList::Entry& entry) {
    FindForm form;
    form.instrument = entry.instrument;
    form.tuning = entry.tuning;
    form.capo = entry.capo;
    return form;
}

} // namespace

std::optional<Fretboard> SheetList::Entry::board() const {
    return formOf(*this).board();
}

ChordDiagram SheetList::Entry::diagram() const {
    const Fretboard fretboard = board().value_or(Fretboard());
    const std::optional<ChordTones> chord = ChordTones::parse(name);
    // The root the name gives, else the one the notes read as.
    Voicing voicing = VoicingDiagram::ofFrets(frets, fretboard);
    if (chord)
        voicing = Voicing::of(fretboard, frets, fingers, chord->root);
    else
        voicing.fingers = fingers;
    return VoicingDiagram::of(voicing, fretboard, name, chord);
}

QString SheetList::Entry::text() const {
    return QStringList{encodeField(name),          encodeField(instrument),
                       encodeField(tuning),        QString::number(capo),
                       Fretboard::fretText(frets), Fingering::text(frets, fingers)}
        .join(fieldSeparator);
}

std::optional<SheetList::Entry> SheetList::Entry::fromText(QStringView line) {
    const QList<QStringView> fields = line.split(fieldSeparator);
    if (fields.size() != fieldCount)
        return std::nullopt;
    Entry entry;
    entry.name = decodeField(fields[0]);
    entry.instrument = decodeField(fields[1]);
    entry.tuning = decodeField(fields[2]);
    const std::optional<int> capo = WholeNumber::parse(fields[3], 0, Fretboard::maxCapo);
    if (!capo)
        return std::nullopt;
    entry.capo = *capo;
    const std::optional<Fretboard> fretboard = entry.board();
    if (!fretboard)
        return std::nullopt;
    const std::optional<QList<qint16>> frets = fretboard->parseFrets(fields[4]);
    if (!frets)
        return std::nullopt;
    entry.frets = *frets;
    // Fingers as Fingering::text() writes them, a mark a string.
    const QList<QStringView> marks = fields[5].split(u'-');
    if (marks.size() != frets->size())
        return std::nullopt;
    static const QString fingerMarks = QStringLiteral("x01234T");
    for (qsizetype s = 0; s < marks.size(); ++s) {
        if (marks[s].size() != 1 || !fingerMarks.contains(marks[s][0]))
            return std::nullopt;
        // "x" exactly on the muted strings; a finger only on a fretted one, which may have
        // none ("0") when one hand cannot play the shape.
        const qint16 fret = (*frets)[s];
        const bool muted = marks[s] == u"x";
        if (muted != (fret < 0) || (fret == 0 && marks[s] != u"0"))
            return std::nullopt;
    }
    entry.fingers = VoicingFinder::fingersOf(fields[5]);
    return entry;
}

bool SheetList::add(const Entry& entry) {
    if (isFull() || !Entry::fromText(entry.text()))
        return false;
    m_entries << entry;
    return true;
}

bool SheetList::move(int from, int to) {
    if (from < 0 || from >= count() || to < 0 || to >= count())
        return false;
    m_entries.move(from, to);
    return true;
}

bool SheetList::remove(int index) {
    if (index < 0 || index >= count())
        return false;
    m_entries.removeAt(index);
    return true;
}

QString SheetList::text() const {
    QStringList lines;
    for (const Entry& entry : m_entries)
        lines << entry.text();
    return lines.join(entrySeparator);
}

SheetList SheetList::fromText(const QString& title, QStringView text) {
    SheetList sheet;
    sheet.m_title = title;
    for (const QStringView line : text.split(entrySeparator, Qt::SkipEmptyParts)) {
        if (sheet.isFull())
            break;
        if (const std::optional<Entry> entry = Entry::fromText(line))
            sheet.m_entries << *entry;
    }
    return sheet;
}
