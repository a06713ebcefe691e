#include "export/ChartFiles.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "export/ChartFileWriter.h"
#include "export/ChartWritePool.h"
#include "shell/ErrorTrap.h"

#include <QFileInfo>
#include <QHash>

ChartFiles::ChartFiles(ChartFileWriter& writer)
    : m_writer(writer), m_writeThreads(ChartWritePool::defaultThreads()) {}

bool ChartFiles::FolderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString ChartFiles::filePath(const QString& folder, const QString& fileName) {
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder + fileName;
    return folder + QLatin1Char('/') + fileName;
}

QString ChartFiles::fileName(const QString& name, ChartFormat format) {
    return name + (format == ChartFormat::Bmp ? QStringLiteral(".bmp") : QStringLiteral(".jpg"));
}

QString ChartFiles::saveAllStem(const QString& chordName, const QString& noteNames) {
    QString stem = chordName + QLatin1Char(' ') + noteNames;
    stem.replace(QLatin1Char('/'), QLatin1Char('_'));
    stem.replace(QLatin1Char('+'), QLatin1Char('_'));
    stem.replace(QLatin1Char('\\'), QLatin1Char('_'));
    return stem;
}

QString ChartFiles::saveAllChartName(const QString& stem, int chart) {
    return stem + QLatin1Char(' ') + QString::number(chart);
}

QString ChartFiles::saveAllFileName(const QString& stem, int chart, ChartFormat format) {
    return fileName(saveAllChartName(stem, chart), format);
}

QList<ChartFiles::PlannedChord> ChartFiles::saveAllPlan(bool uniqueNames) {
    QList<PlannedChord> chords;
    QHash<QString, qsizetype> byStem;
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const ChordEntry& entry = ChordCatalogue::entry(n);
        const QString pattern = QString::fromLatin1(entry.fretPattern);
        const QString spelling = QString::fromLatin1(entry.spelling);
        const QString type = QString::fromLatin1(entry.chordType);
        for (qint16 pitch = 0; pitch < pitchCount; ++pitch) {
            const ChordTheory::PlacedChord placed =
                ChordTheory::placeChord(pattern, spelling, pitch);
            const QString stem = saveAllStem(
                ChordTheory::chordDisplayName(type, pitch, placed.rootShift), placed.noteNames);
            if (uniqueNames) {
                chords.append(
                    PlannedChord{n, pitch, stem + QStringLiteral(" #") + QString::number(n)});
                continue;
            }
            const auto found = byStem.constFind(stem);
            if (found != byStem.constEnd()) {
                chords[*found] = PlannedChord{n, pitch, stem};
            } else {
                byStem.insert(stem, chords.size());
                chords.append(PlannedChord{n, pitch, stem});
            }
        }
    }
    return chords;
}

void ChartFiles::saveCharts(ErrorTrap& trap, const FormatSteps& steps, const FormatButtons& format,
                            const std::function<QString()>& folderText, const QList<Chart>& charts,
                            const WriteFile& write) const {
    const auto writeAll = [&](ChartFormat chosen, const QList<qint32>& stepNumbers) {
        // A close request answered while a box was up ends the command: nothing more written.
        for (qsizetype i = 0; i < charts.size() && i < stepNumbers.size() && !m_shutDown; ++i) {
            const qint32 number = stepNumbers[i];
            trap.step(number, [&] {
                const QString path = filePath(folderText(), fileName(charts[i].name, chosen));
                if (write)
                    write(number, *charts[i].picture, path, chosen);
                else
                    writeChart(*charts[i].picture, path, chosen);
            });
        }
    };
    // One command of the writer; inside a save-all it nests in the run's own.
    const WriterCommand command(m_writer);
    if (trap.test(steps.bmpTest, format.bmpChosen))
        writeAll(ChartFormat::Bmp, steps.bmpWrites);
    else if (trap.test(steps.jpegTest, format.jpegChosen))
        writeAll(ChartFormat::Jpeg, steps.jpegWrites);
}

void ChartFiles::writeChart(const QImage& picture, const QString& path, ChartFormat format) const {
    if (format == ChartFormat::Bmp)
        m_writer.saveBitmap(picture, path);
    else
        m_writer.saveJpeg(picture, path, jpegQuality);
}

ChartFiles::WriterCommand::WriterCommand(ChartFileWriter& writer) : m_writer(writer) {
    m_writer.beginCommand();
}

ChartFiles::WriterCommand::~WriterCommand() {
    m_writer.endCommand();
}

ChartFiles::SaveAllRun::SaveAllRun(ChartFiles& files)
    : m_files(files), m_command(files.m_writer),
      m_pool(std::make_unique<ChartWritePool>(
          [&files](const QImage& picture, const QString& path, ChartFormat format) {
              files.writeChart(picture, path, format);
          },
          files.m_writeThreads, queuedFilesLimit, files.m_windowWrites)) {
    m_files.m_savingAll = true;
}

ChartFiles::SaveAllRun::~SaveAllRun() {
    // Every writer thread has stopped before the command ends.
    m_pool.reset();
    m_files.m_savingAll = false;
}

ChartFiles::WriteFile ChartFiles::SaveAllRun::queueWrite() {
    return [this](qint32 step, const QImage& picture, const QString& path, ChartFormat format) {
        // The pool copies it: the surface is drawn again for the next chord meanwhile.
        m_pool->submit(step, picture, path, format);
    };
}

void ChartFiles::SaveAllRun::reportFinished(ErrorTrap& trap) {
    for (const ChartWritePool::Result& result : m_pool->takeFinished()) {
        if (m_files.isShutDown())
            return;
        if (result.failure)
            trap.report(result.step, *result.failure);
    }
}

void ChartFiles::SaveAllRun::finish(ErrorTrap& trap) {
    m_pool->waitForAll();
    reportFinished(trap);
}

void ChartFiles::SaveAllRun::drop() {
    m_pool->cancel();
}
