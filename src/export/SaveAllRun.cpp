#include "export/SaveAllRun.h"

#include "shell/ErrorTrap.h"

#include <utility>

SaveAllRun::Threads SaveAllRun::threadsFor(int jobs) {
    if (jobs == 1)
        return {1, false};
    const int writers = jobs > 1 ? jobs - 1 : ChartWritePool::defaultThreads();
    return {writers, true};
}

SaveAllRun::SaveAllRun(ExportCommands& commands)
    : SaveAllRun(commands.writer(), {commands.writeThreads(), commands.windowWrites()}) {
    m_commands = &commands;
    m_commands->m_savingAll = true;
}

SaveAllRun::SaveAllRun(ChartFileWriter& writer, Threads threads)
    : m_command(writer),
      m_pool(std::make_unique<ChartWritePool>(
          [&writer](const QImage& picture, const QString& path, ChartFormat format) {
              writer.saveChart(picture, path, format);
          },
          threads.writers, queuedFilesLimit, threads.callerWrites)) {}

SaveAllRun::~SaveAllRun() {
    // Every writer thread has stopped before the command ends.
    m_pool.reset();
    if (m_commands)
        m_commands->m_savingAll = false;
}

void SaveAllRun::queue(qint32 step, const QImage& picture, const QString& path,
                       ChartFormat format) {
    // The pool copies it: the surface is drawn again for the next chord meanwhile.
    m_pool->submit(step, picture, path, format);
}

void SaveAllRun::queueDrawing(qint32 step, ChartWritePool::DrawChart draw, const QString& path,
                              ChartFormat format) {
    m_pool->submitDrawing(step, std::move(draw), path, format);
}

ExportCommands::WriteFile SaveAllRun::queueWrite() {
    return [this](qint32 step, const QImage& picture, const QString& path, ChartFormat format) {
        queue(step, picture, path, format);
    };
}

QList<ChartWritePool::Result> SaveAllRun::takeFinished() {
    return m_pool->takeFinished();
}

void SaveAllRun::waitForAll() {
    m_pool->waitForAll();
}

void SaveAllRun::reportFinished(ErrorTrap& trap) {
    for (const ChartWritePool::Result& result : m_pool->takeFinished()) {
        if (m_commands && m_commands->isShutDown())
            return;
        if (result.failure)
            trap.report(result.step, *result.failure);
    }
}

void SaveAllRun::finish(ErrorTrap& trap) {
    m_pool->waitForAll();
    reportFinished(trap);
}

void SaveAllRun::drop() {
    m_pool->cancel();
}
