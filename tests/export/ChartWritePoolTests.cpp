// The save-all's writer threads on their own (also built with ThreadSanitizer): results in
// submit order whatever order the threads finish in, a bounded queue, a cancel that drops
// what waits and never hangs, and drawings made where they are written.
#include "base/Failure.h"
#include "export/ChartWritePool.h"
#include "support/Printers.h"

#include <QStringList>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace {

// Takes a little while per file, fails the names ending in "3", and counts how many files it
// holds at once.
class SlowWriter {
public:
    void write(const QImage& picture, const QString& fileName) {
        const int now = ++inside;
        int seen = mostInside.load();
        while (now > seen && !mostInside.compare_exchange_weak(seen, now)) {
        }
        // Reading the pixels is what an encoder does; a shared picture would race here.
        volatile uchar first = picture.constBits()[0];
        (void)first;
        std::this_thread::sleep_for(std::chrono::microseconds(200 + 300 * (fileName.size() % 3)));
        {
            const std::lock_guard<std::mutex> locked(lock);
            written << fileName;
        }
        --inside;
        if (fileName.endsWith(u'3'))
            throw Failure::permissionDenied();
    }
    std::mutex lock;
    QStringList written;
    std::atomic_int inside{0};
    std::atomic_int mostInside{0};
};

// The pool's write function on `writer`.
ChartWritePool::WriteChart writeWith(SlowWriter& writer) {
    return [&writer](const QImage& picture, const QString& path, ChartFormat) {
        writer.write(picture, path);
    };
}

QImage picture() {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

// Also when the submitting thread writes files itself while the queue is full.
TEST(ChartWritePoolTests, ResultsComeInSubmitOrderWithTheirSteps) {
    const struct {
        int threads;
        bool callerWrites;
    } cases[] = {{3, false}, {1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.threads);
        SlowWriter writer;
        const ChartWritePool::WriteChart write = writeWith(writer);
        ChartWritePool pool(write, c.threads, 4, c.callerWrites);
        const int writers = c.threads + (c.callerWrites ? 1 : 0);
        QList<ChartWritePool::Result> results;
        for (int i = 0; i < 60; ++i) {
            pool.submit(i % 2 ? 146 : 144, picture(), QStringLiteral("file %1").arg(i),
                        ChartFormat::Jpeg);
            EXPECT_LE(pool.pending(), 4 + c.threads); // the queue plus one file per thread
            results += pool.takeFinished();
        }
        pool.waitForAll();
        results += pool.takeFinished();
        ASSERT_EQ(results.size(), 60);
        for (int i = 0; i < 60; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(results[i].path, QStringLiteral("file %1").arg(i));
            EXPECT_EQ(results[i].step, i % 2 ? 146 : 144);
            EXPECT_EQ(results[i].failure.has_value(), i % 10 == 3);
        }
        EXPECT_EQ(writer.written.size(), 60);
        EXPECT_LE(writer.mostInside.load(), writers);
        if (c.callerWrites) {
            EXPECT_EQ(writer.mostInside.load(), 2) << "the submitting thread never wrote";
        }
        EXPECT_TRUE(pool.takeFinished().isEmpty());
    }
}

TEST(ChartWritePoolTests, CancelDropsQueuedFilesAndReportsNothing) {
    SlowWriter writer;
    const ChartWritePool::WriteChart write = writeWith(writer);
    ChartWritePool pool(write, 2, 8);
    for (int i = 0; i < 10; ++i)
        pool.submit(138, picture(), QStringLiteral("file %1").arg(i), ChartFormat::Bmp);
    pool.cancel();
    EXPECT_EQ(pool.pending(), 0);
    EXPECT_LT(writer.written.size(), 10);
    EXPECT_TRUE(pool.takeFinished().isEmpty());
    pool.submit(138, picture(), QStringLiteral("late"), ChartFormat::Bmp);
    pool.waitForAll();
    EXPECT_FALSE(writer.written.contains(QStringLiteral("late")));
}

TEST(ChartWritePoolTests, DestroyedWhileBusyEndsWithoutHang) {
    SlowWriter writer;
    const ChartWritePool::WriteChart write = writeWith(writer);
    {
        ChartWritePool pool(write, 3, 16);
        for (int i = 0; i < 16; ++i)
            pool.submit(140, picture(), QStringLiteral("file %1").arg(i), ChartFormat::Bmp);
    }
    EXPECT_EQ(writer.inside.load(), 0);
    EXPECT_EQ(ChartWritePool::defaultThreads(),
              std::max(1, int(std::thread::hardware_concurrency()) - 1));
}

// A drawing is made by the thread that writes its file, on that thread's own picture, and a
// drawing that fails is that file's failure.
TEST(ChartWritePoolTests, DrawingsAreDrawnByTheThreadThatWritesThem) {
    const struct {
        int threads;
        bool callerWrites;
    } cases[] = {{2, false}, {1, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.threads);
        std::mutex lock;
        std::map<std::thread::id, QImage> pictures; // each drawing thread's own
        QStringList mismatches;
        std::set<std::thread::id> writers;
        const auto own = [&]() -> QImage& {
            const std::lock_guard<std::mutex> locked(lock);
            QImage& mine = pictures[std::this_thread::get_id()];
            if (mine.isNull())
                mine = picture();
            return mine;
        };
        ChartWritePool pool(
            [&](const QImage& drawn, const QString& path, ChartFormat) {
                std::this_thread::sleep_for(std::chrono::microseconds(300));
                const bool fromThisThread = drawn.constBits() == own().constBits();
                const bool thisFile = drawn.pixel(0, 0) == qRgb(0, 0, int(path.toUInt()));
                const std::lock_guard<std::mutex> locked(lock);
                writers.insert(std::this_thread::get_id());
                if (!fromThisThread || !thisFile)
                    mismatches << path;
            },
            c.threads, 4, c.callerWrites);
        for (int i = 0; i < 40; ++i) {
            pool.submitDrawing(
                150,
                [&, i]() -> const QImage& {
                    if (i == 7)
                        throw Failure::outOfMemory();
                    QImage& mine = own();
                    mine.setPixel(0, 0, qRgb(0, 0, i));
                    return mine;
                },
                QString::number(i), ChartFormat::Jpeg);
        }
        pool.waitForAll();
        const QList<ChartWritePool::Result> results = pool.takeFinished();
        ASSERT_EQ(results.size(), 40);
        for (int i = 0; i < 40; ++i) {
            EXPECT_EQ(results[i].path, QString::number(i));
            EXPECT_EQ(results[i].failure.has_value(), i == 7);
        }
        EXPECT_TRUE(mismatches.isEmpty()) << mismatches.join(u' ').toStdString();
        EXPECT_EQ(writers.count(std::this_thread::get_id()), c.callerWrites ? 1u : 0u);
    }
}
