#include "export/ExportCommands.h"

#include "export/ChartFileNames.h"
#include "export/ChartFileWriter.h"
#include "export/SaveAllRun.h"
#include "shell/ErrorTrap.h"

ExportCommands::ExportCommands(ChartFileWriter& writer) : m_writer(writer) {
    const SaveAllRun::Threads threads = SaveAllRun::threadsFor(0);
    m_writeThreads = threads.writers;
    m_windowWrites = threads.callerWrites;
}

void ExportCommands::saveCharts(ErrorTrap& trap, const FormatSteps& steps,
                                const FormatButtons& format,
                                const std::function<QString()>& folderText,
                                const QList<Chart>& charts, const WriteFile& write) const {
    const auto writeAll = [&](ChartFormat chosen, const QList<qint32>& stepNumbers) {
        // A close request answered while a box was up ends the command: nothing more written.
        for (qsizetype i = 0; i < charts.size() && i < stepNumbers.size() && !m_shutDown; ++i) {
            const qint32 number = stepNumbers[i];
            trap.step(number, [&] {
                const QString path = ChartFileNames::filePath(
                    folderText(), ChartFileNames::fileName(charts[i].name, chosen));
                if (write)
                    write(number, *charts[i].picture, path, chosen);
                else
                    m_writer.saveChart(*charts[i].picture, path, chosen);
            });
        }
    };
    // One command of the writer; inside a save-all it nests in the run's own.
    const ChartFileWriter::Command command(m_writer);
    if (trap.test(steps.bmpTest, format.bmpChosen))
        writeAll(ChartFormat::Bmp, steps.bmpWrites);
    else if (trap.test(steps.jpegTest, format.jpegChosen))
        writeAll(ChartFormat::Jpeg, steps.jpegWrites);
}
