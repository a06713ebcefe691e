#pragma once

#include "export/ChartFormat.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// The chords whose files a save-all over the whole catalogue leaves, and their file names.
// The window's save-all visits every entry in catalogue order at every Pitch from C to B and
// writes each chord's pair under its stem (ChartFileNames::saveAllStem), so where stems agree
// the later chord's files replace the earlier ones: the plan holds each stem once, at the
// place of its first chord, with the last chord that has it, fewer than 611 x 12 chords. With
// unique names every chord of the 611 x 12 is kept under its unique stem, so no file
// replaces another.
//
// Example:
//   const SaveAllPlan plan(true);
//   plan.chords()[0]                     // {1, 0, "Cmaj C-G-C-E-G-C #1"}
//   plan.fileName(plan.chords()[0], ChartFileNames::fingeringChart, ChartFormat::Jpeg)
//                                        // "Cmaj C-G-C-E-G-C #1 fingering.jpg"
class SaveAllPlan {
public:
    static constexpr int pitchCount = 12;

    // One chord: catalogue entry 1..611 at Pitch 0..11 and its file stem.
    struct Chord {
        int entry;
        qint16 pitch;
        QString stem;

        bool operator==(const Chord&) const = default;
    };

    // The plan of the window's names, or with `uniqueNames` of every chart kept.
    explicit SaveAllPlan(bool uniqueNames = false);

    // In the order the files are written.
    const QList<Chord>& chords() const { return m_chords; }
    // Two files a chord.
    int fileCount() const { return int(m_chords.size()) * 2; }
    // The file of chart ChartFileNames::fingeringChart or intervalChart of `chord`.
    QString fileName(const Chord& chord, int chart, ChartFormat format) const;

private:
    bool m_uniqueNames;
    QList<Chord> m_chords;
};
