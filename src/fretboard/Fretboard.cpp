#include "fretboard/Fretboard.h"

#include "base/WholeNumber.h"
#include "catalogue/ChordTheory.h"

#include <QStringList>

Fretboard::Fretboard(Tuning tuning, int capo) : m_tuning(std::move(tuning)), m_capo(capo) {}

bool Fretboard::playable(int string, int fret) const {
    if (fret == 0)
        return true;
    return fret > 0 && fret <= highestFret() && m_capo + fret > m_tuning.startFret(string);
}

QList<qint16> Fretboard::notes(const QList<qint16>& frets) const {
    QList<qint16> sounding;
    for (int s = 0; s < frets.size() && s < stringCount(); ++s) {
        if (frets[s] >= 0)
            sounding << note(s, frets[s]);
    }
    return sounding;
}

std::optional<QList<qint16>> Fretboard::parseFrets(QStringView text, QString* error) const {
    auto fail = [&](const QString& message) -> std::optional<QList<qint16>> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const QString whole = text.toString();
    const QList<QStringView> marks = text.split(u'-');
    if (marks.size() != stringCount())
        return fail(QStringLiteral("frets '%1' have %2 marks, but %3 has %4 strings (one mark "
                                   "a string, lowest first, joined by '-', e.g. %5)")
                        .arg(whole, QString::number(marks.size()), description(),
                             QString::number(stringCount()),
                             stringCount() == 6
                                 ? QStringLiteral("x-3-2-0-1-0")
                                 : QString(QStringLiteral("0-")).repeated(stringCount() - 1) +
                                       QStringLiteral("0")));
    QList<qint16> frets;
    bool sounding = false;
    for (int s = 0; s < marks.size(); ++s) {
        const QStringView mark = marks[s];
        if (mark == u"x" || mark == u"X") {
            frets << qint16(muted);
            continue;
        }
        if (!ChordTheory::isFretMark(mark))
            return fail(QStringLiteral("'%1' in '%2' is no fret (0 to %3 or x)")
                            .arg(mark.toString(), whole, QString::number(highestFret())));
        const std::optional<int> fret = WholeNumber::parse(mark, 0, highestFret());
        if (!fret)
            return fail(QStringLiteral("fret %1 in '%2' is over %3, the highest fret%4")
                            .arg(mark.toString(), whole, QString::number(highestFret()),
                                 m_capo > 0 ? QStringLiteral(" above the capo") : QString()));
        if (!playable(s, *fret))
            return fail(QStringLiteral("fret %1 in '%2' is not on string %3, which starts at "
                                       "fret %4")
                            .arg(QString::number(*fret), whole, QString::number(s + 1),
                                 QString::number(m_tuning.startFret(s))));
        frets << qint16(*fret);
        sounding = true;
    }
    if (!sounding)
        return fail(QStringLiteral("no string sounds in '%1'").arg(whole));
    return frets;
}

QString Fretboard::fretText(const QList<qint16>& frets) {
    QStringList marks;
    for (const qint16 fret : frets)
        marks << (fret < 0 ? QStringLiteral("x") : QString::number(fret));
    return marks.join(QLatin1Char('-'));
}

QString Fretboard::description() const {
    QString text = m_tuning.name();
    if (m_capo > 0)
        text += QStringLiteral(", capo %1").arg(m_capo);
    return text;
}
