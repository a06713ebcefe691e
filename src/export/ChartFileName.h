#pragma once

#include <QString>

// The file stem under which a save-all run stores a chord's two charts: the chord's name, one
// blank and its note names, with every "/", "+" and "\" made "_" so that no name makes a
// sub-folder or an awkward file name: ("Cm6\9", "C-A-Eb-G-D") gives "Cm6_9 C-A-Eb-G-D",
// ("C/E", "E-C-G-C") gives "C_E E-C-G-C", "(+11)" becomes "(_11)".
QString chartFileStem(const QString& chordName, const QString& noteNames);
