#pragma once

#include "catalogue/ChordEntry.h"
#include "chart/ChordDiagram.h"

#include <QtGlobal>

class ChartSurface;

// The three charts the program draws: fingers on the dots, intervals on the dots, or the
// bare fretboard.
enum class ChordChartKind { Fingering, Interval, Blank };

// Draws one chart of `entry` at `pitch` (0..11) exactly as the main window draws it: the grid,
// then the dots, labels and the chord's name as title (nothing but the grid for Blank).
void drawChordChart(ChartSurface& surface, ChordChartKind kind, const ChordEntry& entry,
                    qint16 pitch, bool leftHanded);

// Draws one chart of a six-string `diagram` in the main window's style: its frets (an open
// string as "o" beside the nut), its fingers ("T" the thumb) or intervals on the dots and its
// name as title. Frets count from the capo, which the chart does not draw.
void drawChordChart(ChartSurface& surface, ChordChartKind kind, const ChordDiagram& diagram,
                    bool leftHanded);
