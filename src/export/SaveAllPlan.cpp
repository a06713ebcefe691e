#include "export/SaveAllPlan.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "export/ChartFileNames.h"

#include <QHash>

SaveAllPlan::SaveAllPlan(bool uniqueNames) : m_uniqueNames(uniqueNames) {
    QHash<QString, qsizetype> byStem;
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const ChordEntry& entry = ChordCatalogue::entry(n);
        const QString pattern = QString::fromLatin1(entry.fretPattern);
        const QString spelling = QString::fromLatin1(entry.spelling);
        const QString type = QString::fromLatin1(entry.chordType);
        for (qint16 pitch = 0; pitch < pitchCount; ++pitch) {
            const ChordTheory::PlacedChord placed =
                ChordTheory::placeChord(pattern, spelling, pitch);
            const QString stem = ChartFileNames::saveAllStem(
                ChordTheory::chordDisplayName(type, pitch, placed.rootShift), placed.noteNames);
            if (uniqueNames) {
                m_chords.append(Chord{n, pitch, ChartFileNames::uniqueStem(stem, n)});
                continue;
            }
            const auto found = byStem.constFind(stem);
            if (found != byStem.constEnd()) {
                m_chords[*found] = Chord{n, pitch, stem};
            } else {
                byStem.insert(stem, m_chords.size());
                m_chords.append(Chord{n, pitch, stem});
            }
        }
    }
}

QString SaveAllPlan::fileName(const Chord& chord, int chart, ChartFormat format) const {
    return ChartFileNames::saveAllFileName(chord.stem, chart, format, m_uniqueNames);
}
