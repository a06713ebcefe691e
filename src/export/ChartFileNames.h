#pragma once

#include "export/ChartFormat.h"

#include <QString>

// The names of the export commands' files: the folder test, a file's path in the folder text,
// the format's suffix, and how a save-all names the two charts of each chord, the window's way
// and the unique way of `strumvane-charts export-all --unique-names`.
//
// Example:
//   FolderExists("/home/ann/Charts/")                                // true for a directory
//   filePath("/home/ann/Charts", "a.bmp")                            // "/home/ann/Charts/a.bmp"
//   saveAllStem("C/E", "E-C-G-C")                                    // "C_E E-C-G-C"
//   saveAllFileName("C_E E-C-G-C", 1, ChartFormat::Jpeg)             // "C_E E-C-G-C 1.jpg"
//   saveAllFileName("Am7 A-E-G-C #165", 2, ChartFormat::Bmp, true)  // "... #165 interval.bmp"
class ChartFileNames {
public:
    // The two charts of a save-all chord, as saveAllChartName numbers them.
    static constexpr int fingeringChart = 1;
    static constexpr int intervalChart = 2;

    // True when path names an existing directory; false for anything else (missing, a file,
    // the empty text, a name with a NUL), never a failure.
    static bool FolderExists(const QString& path);
    // The folder text joined with a file name. A folder typed without its trailing "/" still
    // receives the file inside it: ("/tmp/out", "a.jpg") and ("/tmp/out/", "a.jpg") both give
    // "/tmp/out/a.jpg"; an empty folder gives the bare file name.
    static QString filePath(const QString& folder, const QString& fileName);
    // name + ".bmp" or ".jpg".
    static QString fileName(const QString& name, ChartFormat format);

    // The save-all file stem: the chord name, one blank and the note names, with every "/",
    // "+" and "\" made "_" so that no name makes a sub-folder: ("Cm6\9", "C-A-Eb-G-D") gives
    // "Cm6_9 C-A-Eb-G-D", "(+11)" becomes "(_11)".
    static QString saveAllStem(const QString& chordName, const QString& noteNames);
    // The stem of a chord under unique names: the stem, " #" and catalogue entry 1..611, so
    // that no other chord has it: ("Am7 A-E-G-C", 165) gives "Am7 A-E-G-C #165".
    static QString uniqueStem(const QString& stem, int entry);
    // The name, without suffix, of fingeringChart (1) or intervalChart (2) under `stem`: the
    // window's names end in the chart's number, ("C_E E-C-G-C", 2) gives "C_E E-C-G-C 2";
    // unique names in its kind, "C_E E-C-G-C #7 interval".
    static QString saveAllChartName(const QString& stem, int chart, bool uniqueNames = false);
    // saveAllChartName with the format's suffix: "C_E E-C-G-C 2.jpg".
    static QString saveAllFileName(const QString& stem, int chart, ChartFormat format,
                                   bool uniqueNames = false);
};
