#include "export/ChartFileNames.h"

#include <QFileInfo>

bool ChartFileNames::FolderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString ChartFileNames::filePath(const QString& folder, const QString& fileName) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

QString ChartFileNames::fileName(const QString& name, ChartFormat format) {
    return name + (format == ChartFormat::Bmp ? QStringLiteral(".bmp") : QStringLiteral(".jpg"));
}

QString ChartFileNames::saveAllStem(const QString& chordName, const QString& noteNames) {
    QString stem = chordName + QLatin1Char(' ') + noteNames;
    stem.replace(QLatin1Char('/'), QLatin1Char('_'));
    stem.replace(QLatin1Char('+'), QLatin1Char('_'));
    stem.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return stem;
}

QString ChartFileNames::uniqueStem(const QString& stem, int entry) {
    return stem + QStringLiteral(" #") + QString::number(entry);
}

QString ChartFileNames::saveAllChartName(const QString& stem, int chart, bool uniqueNames) {
    if (!uniqueNames)
        return stem + QLatin1Char(' ') + QString::number(chart);
    return stem +
           (chart == fingeringChart ? QStringLiteral(" fingering") : QStringLiteral(" interval"));
}

QString ChartFileNames::saveAllFileName(const QString& stem, int chart, ChartFormat format,
                                        bool uniqueNames) {
    return fileName(saveAllChartName(stem, chart, uniqueNames), format);
}
