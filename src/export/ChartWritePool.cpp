#include "export/ChartWritePool.h"

#include "shell/ApplicationError.h"

#include <algorithm>
#include <cstring>
#include <utility>

ChartWritePool::ChartWritePool(WriteChart write, int threads, int capacity, bool callerWrites)
    : m_write(std::move(write)), m_capacity(std::max(1, capacity)), m_callerWrites(callerWrites) {
    const int count = std::max(1, threads);
    m_threads.reserve(size_t(count));
    for (int i = 0; i < count; ++i)
        m_threads.emplace_back([this] { work(); });
}

ChartWritePool::~ChartWritePool() {
    cancel();
    {
        const std::lock_guard<std::mutex> locked(m_lock);
        m_stopping = true;
    }
    m_jobReady.notify_all();
    for (std::thread& thread : m_threads)
        thread.join();
}

int ChartWritePool::defaultThreads() {
    return std::max(1, int(std::thread::hardware_concurrency()) - 1);
}

void ChartWritePool::submit(qint32 step, const QImage& picture, QString path, ChartFormat format) {
    std::unique_lock<std::mutex> locked(m_lock);
    makeRoom(locked);
    if (m_stopping)
        return;
    QImage copy = copyOf(picture, locked);
    if (m_stopping) {
        m_spare.push_back(std::move(copy));
        return;
    }
    enqueue(Job{0, step, std::move(copy), {}, std::move(path), format}, locked);
}

void ChartWritePool::submitDrawing(qint32 step, DrawChart draw, QString path, ChartFormat format) {
    std::unique_lock<std::mutex> locked(m_lock);
    makeRoom(locked);
    if (!m_stopping)
        enqueue(Job{0, step, QImage(), std::move(draw), std::move(path), format}, locked);
}

QList<ChartWritePool::Result> ChartWritePool::takeFinished() {
    QList<Result> finished;
    const std::lock_guard<std::mutex> locked(m_lock);
    while (!m_results.empty() && m_results.front()) {
        finished.append(std::move(*m_results.front()));
        m_results.pop_front();
        ++m_firstUntaken;
    }
    return finished;
}

void ChartWritePool::waitForAll() {
    std::unique_lock<std::mutex> locked(m_lock);
    m_roomReady.wait(locked, [this] { return m_queue.empty() && m_running == 0; });
}

void ChartWritePool::cancel() {
    std::unique_lock<std::mutex> locked(m_lock);
    m_queue.clear();
    m_stopping = true;
    m_roomReady.notify_all();
    m_roomReady.wait(locked, [this] { return m_running == 0; });
    // Nothing of a cancelled run is reported, not even the files finished before.
    m_results.clear();
    m_firstUntaken = m_submitted;
}

int ChartWritePool::pending() const {
    const std::lock_guard<std::mutex> locked(m_lock);
    return int(m_queue.size()) + m_running;
}

void ChartWritePool::work() {
    std::unique_lock<std::mutex> locked(m_lock);
    for (;;) {
        m_jobReady.wait(locked, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return; // stopping
        writeOldest(locked);
    }
}

void ChartWritePool::makeRoom(std::unique_lock<std::mutex>& locked) {
    if (m_callerWrites) {
        while (!m_stopping && int(m_queue.size()) >= m_capacity)
            writeOldest(locked);
    } else {
        m_roomReady.wait(locked, [this] { return m_stopping || int(m_queue.size()) < m_capacity; });
    }
}

void ChartWritePool::enqueue(Job job, std::unique_lock<std::mutex>& locked) {
    job.index = m_submitted++;
    m_queue.push_back(std::move(job));
    m_results.emplace_back();
    locked.unlock();
    m_jobReady.notify_one();
}

void ChartWritePool::writeOldest(std::unique_lock<std::mutex>& locked) {
    Job job = std::move(m_queue.front());
    m_queue.pop_front();
    ++m_running;
    locked.unlock();
    m_roomReady.notify_one();

    Result result{job.step, job.path, std::nullopt};
    try {
        m_write(job.draw ? job.draw() : job.picture, job.path, job.format);
    } catch (...) {
        result.failure = failureFromCurrentException();
    }
    locked.lock();
    if (!job.draw)
        m_spare.push_back(std::move(job.picture));
    --m_running;
    const qint64 slot = job.index - m_firstUntaken;
    if (slot >= 0 && slot < qint64(m_results.size()))
        m_results[size_t(slot)] = std::move(result);
    m_roomReady.notify_all();
}

QImage ChartWritePool::copyOf(const QImage& picture, std::unique_lock<std::mutex>& locked) {
    if (!m_spareMade) {
        // Every picture the run can hold at once: the queue, one per writer and the one being
        // queued. Filled now, so that their memory is taken before the first file.
        m_spareMade = true;
        const size_t most = size_t(m_capacity) + m_threads.size() + 2;
        for (size_t i = 0; i < most; ++i) {
            QImage kept(picture.size(), picture.format());
            kept.fill(0);
            m_spare.push_back(std::move(kept));
        }
    }
    const auto fits = [&](const QImage& kept) {
        return kept.size() == picture.size() && kept.format() == picture.format() &&
               kept.bytesPerLine() == picture.bytesPerLine();
    };
    for (auto it = m_spare.begin(); it != m_spare.end(); ++it) {
        if (!fits(*it))
            continue;
        QImage copy = std::move(*it);
        m_spare.erase(it);
        locked.unlock();
        // The kept picture is no one else's: bits() does not copy it again.
        std::memcpy(copy.bits(), picture.constBits(), size_t(picture.sizeInBytes()));
        copy.setDotsPerMeterX(picture.dotsPerMeterX());
        copy.setDotsPerMeterY(picture.dotsPerMeterY());
        copy.setColorTable(picture.colorTable());
        copy.setDevicePixelRatio(picture.devicePixelRatio());
        locked.lock();
        return copy;
    }
    locked.unlock();
    QImage copy = picture.copy();
    locked.lock();
    return copy;
}
