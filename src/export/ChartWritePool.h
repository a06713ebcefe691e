#pragma once

#include "base/Failure.h"
#include "export/ChartFiles.h"

#include <QImage>
#include <QList>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A few threads that encode and write the chart files of a save-all while the window's thread
// draws the next chords. Files are written in the order they are queued, as far as the threads
// allow, and their results come back in exactly that order. The queue holds at most
// `capacity` files, so memory stays flat however far the drawing runs ahead: submit() waits
// for room.
//
// Example:
//   ChartWritePool pool(files, ChartWritePool::defaultThreads(), 16);
//   pool.submit(144, picture.copy(), "/home/ann/Charts/Cmaj C-G-C-E-G-C 1.jpg", ChartFormat::Jpeg);
//   for (const ChartWritePool::Result& r : pool.takeFinished()) ...  // in submit order
//   pool.waitForAll();
class ChartWritePool {
public:
    struct Result {
        qint32 step;                    // the step number handed to submit()
        QString path;                   // the file
        std::optional<Failure> failure; // empty when the file was written
    };

    // `files` writes each file (ChartFiles::writeChart, whose writer must allow calls from
    // several threads at once); `threads` >= 1 writer threads; `capacity` >= 1 queued files.
    ChartWritePool(const ChartFiles& files, int threads, int capacity);
    // Drops what is still queued and waits for the files being written (see cancel()).
    ~ChartWritePool();
    ChartWritePool(const ChartWritePool&) = delete;
    ChartWritePool& operator=(const ChartWritePool&) = delete;

    // One writer thread per core beyond the first, at least one: the window's thread keeps
    // a core for drawing.
    static int defaultThreads();

    // Queues one file; waits while the queue is full. `picture` must be the caller's own
    // copy: the pool reads it on another thread. Does nothing after cancel().
    void submit(qint32 step, QImage picture, QString path, ChartFormat format);

    // The results of finished files, in submit order, up to the first file not finished yet.
    QList<Result> takeFinished();

    // Waits until every queued file is finished; then takeFinished() returns them all.
    void waitForAll();

    // Drops the queued files that no thread has started (they are never written and report
    // nothing) and waits for the files being written, which end whole or not at all (the
    // writer's temporary file). Later submits are ignored.
    void cancel();

    // How many files wait or are being written.
    int pending() const;

private:
    struct Job {
        qint64 index;
        qint32 step;
        QImage picture;
        QString path;
        ChartFormat format;
    };
    void work();

    const ChartFiles& m_files;
    const int m_capacity;
    mutable std::mutex m_lock;
    std::condition_variable m_jobReady;  // a job queued, or stopping
    std::condition_variable m_roomReady; // room in the queue, or a job finished
    std::deque<Job> m_queue;
    // Results by submit index from m_firstUntaken on; empty slots are unfinished files.
    std::deque<std::optional<Result>> m_results;
    qint64 m_firstUntaken = 0;
    qint64 m_submitted = 0;
    int m_running = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
