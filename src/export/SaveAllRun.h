#pragma once

#include "export/ChartFileWriter.h"
#include "export/ChartFormat.h"
#include "export/ChartWritePool.h"
#include "export/ExportCommands.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>

class ErrorTrap;

// A save-all in progress, for its lifetime one command of its writer: the window's thread
// draws each chord and queues its charts (queue(), or queueWrite() as the `write` of
// ExportCommands::saveCharts), or export-all queues drawings of them (queueDrawing()); writer
// threads encode and write them (ChartWritePool), and the queuing thread collects the outcomes
// in file order (takeFinished(), or as error boxes with
// reportFinished() and finish()). Ending without waitForAll() or finish() drops the queued
// files and waits for those being written, so no file is left half-written. The window's
// "Save All Charts As Image Files" and `strumvane-charts export-all` both run through it.
//
// Example:
//   SaveAllRun run(writer, SaveAllRun::threadsFor(0));
//   run.queue(0, surface.image(), "/home/ann/Charts/Cmaj C-G-C-E-G-C 1.jpg", ChartFormat::Jpeg);
//   run.waitForAll();
//   for (const ChartWritePool::Result& result : run.takeFinished()) ...  // in queue order
class SaveAllRun {
public:
    // Who writes the files: `writers` threads (>= 1), and with `callerWrites` also the
    // queuing thread, which writes the oldest queued file itself while the queue is full.
    struct Threads {
        int writers;
        bool callerWrites;
    };
    // Files that may wait for the writers: memory stays flat however far the drawing runs ahead.
    static constexpr int queuedFilesLimit = 8;

    // The threads that keep `jobs` cores busy: the queuing thread and jobs - 1 writers, the
    // queuing thread writing too whenever the queue is full; 0 jobs is one per core. One job
    // is one writer beside a queuing thread that writes nothing. threadsFor(4) gives
    // {3, true}, threadsFor(1) {1, false}.
    static Threads threadsFor(int jobs);

    // A run of the window's commands, with their writer and writer threads: `commands` says
    // isSavingAll() meanwhile, and once it is shut down nothing more is reported.
    explicit SaveAllRun(ExportCommands& commands);
    // A run of its own through `writer`.
    SaveAllRun(ChartFileWriter& writer, Threads threads);
    ~SaveAllRun();
    SaveAllRun(const SaveAllRun&) = delete;
    SaveAllRun& operator=(const SaveAllRun&) = delete;

    // Queues a copy of `picture` to be written as `path` (ChartFileWriter::saveChart); waits,
    // or writes, while the queue is full. `step` comes back with the file's result.
    void queue(qint32 step, const QImage& picture, const QString& path, ChartFormat format);
    // queue() as the `write` of ExportCommands::saveCharts.
    ExportCommands::WriteFile queueWrite();
    // Queues a file whose picture the thread that writes it draws (ChartWritePool::DrawChart).
    void queueDrawing(qint32 step, ChartWritePool::DrawChart draw, const QString& path,
                      ChartFormat format);

    // The results of the finished files, in queue order, up to the first file not finished.
    QList<ChartWritePool::Result> takeFinished();
    // Waits for every queued file; then takeFinished() returns them all.
    void waitForAll();

    // Shows the box of every failed file that has finished, in file order, each under its
    // own step number; none once the window's commands are shut down.
    void reportFinished(ErrorTrap& trap);
    // Waits for every queued file, then reports them.
    void finish(ErrorTrap& trap);
    // Drops the queued files and waits for those being written; nothing more is reported.
    void drop();

private:
    ExportCommands* m_commands = nullptr; // the window's commands, or none
    ChartFileWriter::Command m_command;
    std::unique_ptr<ChartWritePool> m_pool;
};
