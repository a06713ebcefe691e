#include "chart/ChordChart.h"

#include "catalogue/ChordTheory.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSurface.h"

void drawChordChart(ChartSurface& surface, ChordChartKind kind, const ChordEntry& entry,
                    qint16 pitch, bool leftHanded) {
    ChartRenderer::DrawChartGrid(surface, leftHanded);
    if (kind == ChordChartKind::Blank)
        return;
    const ChordTheory::PlacedChord chord = ChordTheory::placeChord(
        QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), pitch);
    const QString title =
        ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType), pitch, chord.rootShift);
    const bool fingering = kind == ChordChartKind::Fingering;
    ChartRenderer::DrawChordMarks(surface, chord.fretNumbers,
                                  QString::fromLatin1(fingering ? entry.fingering : entry.spelling),
                                  fingering ? ChartStyle::fingering() : ChartStyle::interval(),
                                  title, leftHanded);
}
