#include "chart/ChordDiagram.h"

#include "catalogue/ChordTheory.h"

#include <QStringList>
#include <algorithm>

namespace {

constexpr int lowestFinger = 1;
constexpr int highestFinger = 4;

bool isFinger(int finger) {
    return finger >= lowestFinger && finger <= highestFinger;
}

// The catalogue's finger marks: "1" to "4", "T" for the thumb, "x" for none.
int fingerOfMark(const QString& mark) {
    if (mark == QLatin1String("T"))
        return ChordDiagram::thumb;
    bool ok = false;
    const int finger = mark.toInt(&ok);
    return ok && isFinger(finger) ? finger : ChordDiagram::noFinger;
}

} // namespace

std::optional<QString> ChordDiagram::problem() const {
    if (strings.size() < minStrings || strings.size() > maxStrings)
        return QStringLiteral("%1 strings (%2 to %3)")
            .arg(QString::number(strings.size()), QString::number(minStrings),
                 QString::number(maxStrings));
    if (capo < 0 || capo > maxCapo)
        return QStringLiteral("capo at fret %1 (0 to %2)")
            .arg(QString::number(capo), QString::number(maxCapo));
    for (qsizetype i = 0; i < strings.size(); ++i) {
        const String& s = strings[i];
        if (s.fret < muted || s.fret > maxFret)
            return QStringLiteral("fret %1 on string %2 (0 to %3)")
                .arg(QString::number(s.fret), QString::number(i + 1), QString::number(maxFret));
        if (s.finger != noFinger && s.finger != thumb && !isFinger(s.finger))
            return QStringLiteral("finger %1 on string %2")
                .arg(QString::number(s.finger), QString::number(i + 1));
    }
    return std::nullopt;
}

int ChordDiagram::lowestFret() const {
    int lowest = 0;
    for (const String& s : strings) {
        if (s.fret > open && (lowest == 0 || s.fret < lowest))
            lowest = s.fret;
    }
    return lowest;
}

int ChordDiagram::highestFret() const {
    int highest = 0;
    for (const String& s : strings)
        highest = std::max(highest, s.fret);
    return highest;
}

QList<ChordDiagram::Barre> ChordDiagram::barres() const {
    QList<Barre> found;
    for (qsizetype first = 0; first < strings.size(); ++first) {
        const String& start = strings[first];
        if (start.fret <= open || !isFinger(start.finger))
            continue;
        const bool covered = std::any_of(found.cbegin(), found.cend(), [&](const Barre& b) {
            return b.fret == start.fret && b.finger == start.finger && b.first <= first &&
                   first <= b.last;
        });
        if (covered)
            continue;
        // Walk up while the finger can lie flat: every string it passes sounds at its fret or
        // higher, or is muted; the barre ends at the last string it stops itself.
        qsizetype last = first;
        for (qsizetype i = first + 1; i < strings.size(); ++i) {
            const String& s = strings[i];
            if (s.fret != muted && s.fret < start.fret)
                break;
            if (s.fret == start.fret && s.finger == start.finger)
                last = i;
        }
        if (last > first)
            found << Barre{start.fret, start.finger, int(first), int(last)};
    }
    std::sort(found.begin(), found.end(), [](const Barre& a, const Barre& b) {
        return a.fret != b.fret ? a.fret < b.fret : a.first < b.first;
    });
    return found;
}

QString ChordDiagram::fretText() const {
    QStringList marks;
    for (const String& s : strings)
        marks << (s.fret == muted ? QStringLiteral("x") : QString::number(s.fret));
    return marks.join(u'-');
}

ChordDiagram ChordDiagram::fromCatalogue(const ChordEntry& entry, qint16 pitch) {
    const QString spelling = QString::fromLatin1(entry.spelling);
    const ChordTheory::PlacedChord placed =
        ChordTheory::placeChord(QString::fromLatin1(entry.fretPattern), spelling, pitch);
    const QStringList frets = placed.fretNumbers.split(u'-');
    const QStringList fingers = QString::fromLatin1(entry.fingering).split(u'-');
    const QStringList intervals = spelling.split(u'-');

    ChordDiagram diagram;
    diagram.name = ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType), pitch,
                                                 placed.rootShift);
    qsizetype sounding = 0;
    for (qsizetype i = 0; i < frets.size(); ++i) {
        String s;
        if (ChordTheory::isFretMark(frets[i])) {
            s.fret = frets[i].toInt();
            s.finger = i < fingers.size() ? fingerOfMark(fingers[i]) : noFinger;
            s.interval = i < intervals.size() ? intervals[i] : QString();
            if (sounding < placed.notes.size())
                s.note = ChordTheory::PitchNames[PitchClass::ofNote(placed.notes[sounding++])];
        }
        diagram.strings << s;
    }
    return diagram;
}
