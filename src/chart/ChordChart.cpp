#include "chart/ChordChart.h"

#include "catalogue/ChordTheory.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSurface.h"

#include <QStringList>

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

void drawChordChart(ChartSurface& surface, ChordChartKind kind, const ChordDiagram& diagram,
                    bool leftHanded) {
    ChartRenderer::DrawChartGrid(surface, leftHanded);
    if (kind == ChordChartKind::Blank)
        return;
    const bool fingering = kind == ChordChartKind::Fingering;
    QStringList labels;
    for (const ChordDiagram::String& s : diagram.strings) {
        if (s.fret == ChordDiagram::muted)
            labels << QStringLiteral("x");
        else if (!fingering)
            labels << s.interval;
        else if (s.finger == ChordDiagram::thumb)
            labels << QStringLiteral("T");
        else
            labels << (s.finger == ChordDiagram::noFinger ? QString() : QString::number(s.finger));
    }
    ChartRenderer::DrawChordMarks(surface, diagram.fretText(), labels.join(u'-'),
                                  fingering ? ChartStyle::fingering() : ChartStyle::interval(),
                                  diagram.name, leftHanded);
}
