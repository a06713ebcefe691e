// The save-all plan: which chords leave files, and their names.
#include "catalogue/ChordCatalogue.h"
#include "export/ChartFileNames.h"
#include "export/SaveAllPlan.h"

#include <QSet>
#include <algorithm>
#include <gtest/gtest.h>

// What `export-all` writes: one file pair per distinct stem, held by the last chord with it.
TEST(SaveAllPlanTests, KeepsEachStemOnceWithItsLastChord) {
    const SaveAllPlan plan;
    const QList<SaveAllPlan::Chord>& chords = plan.chords();
    EXPECT_LT(chords.size(), ChordCatalogue::entryCount * SaveAllPlan::pitchCount);
    QSet<QString> stems;
    for (const SaveAllPlan::Chord& chord : chords)
        stems.insert(chord.stem);
    EXPECT_EQ(stems.size(), chords.size());
    // Entry 1 at C comes first; the last entry at B, whose name no other chord has, last.
    EXPECT_EQ(chords.first().entry, 1);
    EXPECT_EQ(chords.first().pitch, 0);
    EXPECT_EQ(chords.last().entry, ChordCatalogue::entryCount);
    EXPECT_EQ(chords.last().pitch, 11);
}

// Both ways of naming a chord's two files: the window's chart number, or the entry number and
// the chart's kind.
TEST(SaveAllPlanTests, FileNames_WindowsAndUniqueNames) {
    const struct {
        bool uniqueNames;
        int chart;
        ChartFormat format;
        const char* name;
    } cases[] = {
        {false, ChartFileNames::fingeringChart, ChartFormat::Jpeg, "Am7 A-E-G-C 1.jpg"},
        {false, ChartFileNames::intervalChart, ChartFormat::Bmp, "Am7 A-E-G-C 2.bmp"},
        {true, ChartFileNames::fingeringChart, ChartFormat::Jpeg, "Am7 A-E-G-C #165 fingering.jpg"},
        {true, ChartFileNames::intervalChart, ChartFormat::Jpeg, "Am7 A-E-G-C #165 interval.jpg"},
        {true, ChartFileNames::intervalChart, ChartFormat::Bmp, "Am7 A-E-G-C #165 interval.bmp"},
    };
    for (const auto& c : cases) {
        const SaveAllPlan plan(c.uniqueNames);
        // Entry 165 at A, "Am7 A-E-G-C", or under the window's names the last chord of that stem.
        const auto chord = std::find_if(plan.chords().cbegin(), plan.chords().cend(),
                                        [](const SaveAllPlan::Chord& x) {
                                            return x.stem == QLatin1String("Am7 A-E-G-C") ||
                                                   x.stem == QLatin1String("Am7 A-E-G-C #165");
                                        });
        ASSERT_NE(chord, plan.chords().cend()) << c.name;
        EXPECT_EQ(plan.fileName(*chord, c.chart, c.format), QString::fromLatin1(c.name));
    }
}
