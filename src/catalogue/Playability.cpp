#include "catalogue/Playability.h"

#include <QList>
#include <algorithm>
#include <array>
#include <vector>

Playability Playability::of(QStringView frets, QStringView fingering) {
    const QList<QStringView> fretMarks = frets.split(u'-');
    const QList<QStringView> fingerMarks = fingering.split(u'-');
    std::vector<int> fretNumbers;
    std::vector<int> fingerNumbers;
    for (qsizetype i = 0; i < fretMarks.size(); ++i) {
        bool ok = false;
        const int fret = fretMarks[i].toInt(&ok);
        fretNumbers.push_back(ok && fret >= 0 ? fret : mutedString);
        const QStringView finger = i < fingerMarks.size() ? fingerMarks[i] : QStringView();
        const int f = finger.toInt(&ok);
        if (finger == u"T")
            fingerNumbers.push_back(thumbFinger);
        else
            fingerNumbers.push_back(ok && f >= 1 && f < thumbFinger ? f : noFinger);
    }
    return of(fretNumbers, fingerNumbers);
}

Playability Playability::of(std::span<const int> frets, std::span<const int> fingers) {
    Playability p;
    constexpr int fingerCount = 4;
    std::array<int, fingerCount + 1> lowestFretOf{}; // by finger 1..4; 0 = not used
    std::array<int, fingerCount + 1> stringsOf{};
    int lowest = -1;
    int highest = -1;
    int firstSounding = -1;
    int lastSounding = -1;
    for (size_t i = 0; i < frets.size(); ++i) {
        const int fret = frets[i];
        if (fret < 0)
            continue;
        if (firstSounding < 0)
            firstSounding = int(i);
        lastSounding = int(i);
        if (fret == 0)
            continue; // an open string needs no hand
        lowest = lowest < 0 ? fret : std::min(lowest, fret);
        highest = std::max(highest, fret);
        const int f = i < fingers.size() ? fingers[i] : noFinger;
        if (f == thumbFinger) {
            p.thumb = 1;
            continue;
        }
        if (f < 1 || f > fingerCount)
            continue;
        ++stringsOf[f];
        lowestFretOf[f] = lowestFretOf[f] == 0 ? fret : std::min(lowestFretOf[f], fret);
    }
    if (lowest > 0)
        p.span = highest - lowest;
    for (int i = firstSounding + 1; firstSounding >= 0 && i < lastSounding; ++i) {
        if (frets[i] < 0)
            ++p.mutedInner;
    }
    int previousFinger = 0;
    for (int f = 1; f <= fingerCount; ++f) {
        if (stringsOf[f] == 0)
            continue;
        ++p.fingers;
        if (stringsOf[f] >= 2)
            ++p.barres;
        if (previousFinger > 0) {
            const int opened =
                (lowestFretOf[f] - lowestFretOf[previousFinger]) - (f - previousFinger);
            p.stretches += std::max(0, opened);
        }
        previousFinger = f;
    }
    return p;
}

QString Playability::description() const {
    return QStringLiteral("%1 (span %2, fingers %3, barres %4, stretches %5, muted inner %6, "
                          "thumb %7)")
        .arg(QString::number(score()), QString::number(span), QString::number(fingers),
             QString::number(barres), QString::number(stretches), QString::number(mutedInner),
             QString::number(thumb));
}
