#pragma once

#include "base/Failure.h"
#include "export/ChartFormat.h"

#include <QImage>
#include <QList>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// A few threads that encode and write the chart files of a save-all while the queuing thread
// draws the next chords. A file comes either as a picture, which the pool copies (the window
// draws the next chord on the same surface meanwhile), or as a drawing that the thread writing
// the file makes itself (export-all), so that its pixels are encoded on the core that drew
// them. Files are written in the order they are queued, as far as the threads allow, and their
// results come back in exactly that order. The queue holds at most `capacity` files, so memory
// stays flat however far the queuing runs ahead: a submit waits for room, or with
// `callerWrites` writes the oldest queued file itself meanwhile (its core would idle otherwise).
//
// Example:
//   ChartWritePool pool(saveChart, ChartWritePool::defaultThreads(), 16);
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

    // Writes one file; throws its Failure. Called from several threads at once.
    using WriteChart =
        std::function<void(const QImage& picture, const QString& path, ChartFormat format)>;
    // Draws the picture of one file on the thread that writes it and returns it, unchanged
    // until that thread draws again; throws its Failure. Called from several threads at once,
    // each drawing on surfaces of its own.
    using DrawChart = std::function<const QImage&()>;

    // `write` writes each file (ChartFileWriter::saveChart); `threads` >= 1 writer threads;
    // `capacity` >= 1 queued files; `callerWrites`: a submit that finds the queue full
    // writes files itself until there is room, instead of waiting.
    ChartWritePool(WriteChart write, int threads, int capacity, bool callerWrites = false);
    // Drops what is still queued and waits for the files being written (see cancel()).
    ~ChartWritePool();
    ChartWritePool(const ChartWritePool&) = delete;
    ChartWritePool& operator=(const ChartWritePool&) = delete;

    // One writer thread per core beyond the first, at least one: the queuing thread keeps
    // a core for drawing.
    static int defaultThreads();

    // Queues a copy of `picture` to be written as `path`; while the queue is full, waits or
    // writes (callerWrites). The copies go into pictures the pool keeps for the whole run,
    // allocated at the first submit, so memory stays the same from the first file to the
    // last. Does nothing after cancel().
    void submit(qint32 step, const QImage& picture, QString path, ChartFormat format);
    // Queues a file whose picture the thread that writes it draws with `draw`: nothing is
    // copied. Otherwise as submit().
    void submitDrawing(qint32 step, DrawChart draw, QString path, ChartFormat format);

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
        QImage picture; // a copy, or null for a drawing
        DrawChart draw; // empty for a picture
        QString path;
        ChartFormat format;
    };
    void work();
    // Returns once the queue has room or the pool stops: waits, or with callerWrites writes
    // the oldest queued files. `locked` is held on entry and on return.
    void makeRoom(std::unique_lock<std::mutex>& locked);
    // Queues `job` under the next submit index; releases `locked`.
    void enqueue(Job job, std::unique_lock<std::mutex>& locked);
    // Takes the oldest queued file, draws it when it is a drawing, and writes it: `locked` is
    // held on entry and on return, released while the file is drawn and written.
    void writeOldest(std::unique_lock<std::mutex>& locked);
    // A copy of `picture` in a kept picture when one of its size and format is free, else a
    // new one; `locked` is held on entry and on return.
    QImage copyOf(const QImage& picture, std::unique_lock<std::mutex>& locked);

    const WriteChart m_write;
    const int m_capacity;
    const bool m_callerWrites;
    mutable std::mutex m_lock;
    std::condition_variable m_jobReady;  // a job queued, or stopping
    std::condition_variable m_roomReady; // room in the queue, or a job finished
    std::deque<Job> m_queue;
    std::vector<QImage> m_spare; // written pictures, for the next copies
    bool m_spareMade = false;
    // Results by submit index from m_firstUntaken on; empty slots are unfinished files.
    std::deque<std::optional<Result>> m_results;
    qint64 m_firstUntaken = 0;
    qint64 m_submitted = 0;
    int m_running = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};
