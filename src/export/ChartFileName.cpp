#include "export/ChartFileName.h"

QString chartFileStem(const QString& chordName, const QString& noteNames) {
    QString stem = chordName + QLatin1Char(' ') + noteNames;
    stem.replace(QLatin1Char('/'), QLatin1Char('_'));
    stem.replace(QLatin1Char('+'), QLatin1Char('_'));
    stem.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return stem;
}
