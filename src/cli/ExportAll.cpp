#include "cli/ExportAll.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "cli/CommandContext.h"
#include "export/ChartFileNames.h"
#include "export/FolderChartWriter.h"
#include "export/SaveAllPlan.h"
#include "export/SaveAllRun.h"
#include "writers/ImageFolder.h"
#include "writers/WriteResult.h"

#include <QDir>
#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <iterator>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr qint64 progressIntervalMs = 100;

// The two chart surfaces of every thread that draws, made at its first chart, in the fonts of
// the window's two pictures so that the pixels are the window's. A surface is drawn on and
// read by its own thread only.
class ThreadSurfaces {
public:
    ChartSurface& surface(ChordChartKind kind) {
        const std::lock_guard<std::mutex> locked(m_lock);
        std::unique_ptr<Pair>& pair = m_byThread[std::this_thread::get_id()];
        if (!pair)
            pair = std::make_unique<Pair>();
        return kind == ChordChartKind::Fingering ? pair->fingering : pair->interval;
    }

private:
    struct Pair {
        ChartSurface fingering{ChartSurface::arialBold()};
        ChartSurface interval{ChartSurface::msSansSerifBold()};
    };
    std::mutex m_lock;
    std::map<std::thread::id, std::unique_ptr<Pair>> m_byThread;
};

QString progressLine(int done, int total, double seconds) {
    constexpr int width = 30;
    const int filled = total > 0 ? done * width / total : width;
    QString line =
        QStringLiteral("\r[") + QString(filled, QLatin1Char('#')) +
        QString(width - filled, QLatin1Char('.')) +
        QStringLiteral("] %1/%2 files").arg(QString::number(done), QString::number(total));
    if (done > 0 && done < total) {
        const double left = seconds / done * (total - done);
        line += QStringLiteral(", about %1 s left").arg(qRound(left));
    }
    return line + QStringLiteral("   ");
}

// Blanks the progress line and returns to its start, so that the next text stands alone.
QString eraseProgressLine() {
    return u'\r' + QString(79, u' ') + u'\r';
}

// Failures told once for each reason: the first file is named, the others are counted.
class FailureTally {
public:
    // Whether `reason` is new: true the first time, after that counted.
    bool first(const QString& reason) {
        auto found = std::find_if(m_reasons.begin(), m_reasons.end(),
                                  [&](const auto& seen) { return seen.first == reason; });
        if (found == m_reasons.end()) {
            m_reasons.emplace_back(reason, 0);
            return true;
        }
        ++found->second;
        return false;
    }
    // The reasons met more than once, in the order first met, with how many more times.
    std::vector<std::pair<QString, int>> repeats() const {
        std::vector<std::pair<QString, int>> more;
        std::copy_if(m_reasons.begin(), m_reasons.end(), std::back_inserter(more),
                     [](const auto& seen) { return seen.second > 0; });
        return more;
    }

private:
    std::vector<std::pair<QString, int>> m_reasons;
};

// Whether a failure for `reason` means that no later file can be written either: the disk
// or the quota is full, or the file system turned read-only.
bool endsTheRun(const QString& reason) {
    static const QStringList everyFileMeetsIt = {
        writeResultText(WriteResult::Failed, ENOSPC),
        writeResultText(WriteResult::Failed, EDQUOT),
        writeResultText(WriteResult::AccessDenied, EROFS),
    };
    return everyFileMeetsIt.contains(reason);
}

} // namespace

ExportAll::Outcome ExportAll::run(const Options& options, const ImageFolder& target,
                                  QTextStream& err, const std::atomic_int& stop) {
    const SaveAllPlan plan(options.uniqueNames);
    // For messages only: the files go into the opened folder, wherever it is now.
    const QString shownFolder = QDir(options.folder).absolutePath();
    const ChartFormat format = options.jpeg ? ChartFormat::Jpeg : ChartFormat::Bmp;
    const int total = plan.fileCount();

    // Outlives the run: its writer threads draw on it.
    ThreadSurfaces surfaces;
    FolderChartWriter writer(target);
    SaveAllRun run(writer, SaveAllRun::threadsFor(options.jobs));
    Outcome outcome;
    std::optional<QString> stoppedFor; // the reason that ended the run
    FailureTally tally;
    QElapsedTimer clock;
    clock.start();
    qint64 progressShownAt = 0;
    const auto say = [&](const QString& line) {
        if (options.showProgress)
            err << eraseProgressLine();
        err << "strumvane-charts: " << CommandContext::printable(line) << '\n';
        err.flush();
    };
    // Counts and names the files finished so far; redraws the progress line now and then.
    const auto collect = [&] {
        for (const ChartWritePool::Result& result : run.takeFinished()) {
            if (!result.failure) {
                ++outcome.written;
                continue;
            }
            ++outcome.failed;
            const QString& reason = result.failure->description();
            if (stoppedFor)
                continue;
            if (target.isRemoved()) {
                // Whatever the system answered for a file, the folder is what is gone.
                stoppedFor = QStringLiteral("the folder was removed");
                continue;
            }
            if (endsTheRun(reason)) {
                stoppedFor = reason;
                continue;
            }
            if (tally.first(reason))
                say(QStringLiteral("cannot write '%1': %2")
                        .arg(ChartFileNames::filePath(shownFolder, result.path), reason));
        }
        if (options.showProgress && !stoppedFor &&
            clock.elapsed() - progressShownAt >= progressIntervalMs) {
            progressShownAt = clock.elapsed();
            err << progressLine(outcome.written + outcome.failed, total, progressShownAt / 1000.0);
            err.flush();
        }
    };

    // Each chart is drawn by the thread that encodes it: a picture handed from one core to
    // another is encoded markedly slower.
    const struct {
        ChordChartKind kind;
        int chart;
    } charts[] = {{ChordChartKind::Fingering, ChartFileNames::fingeringChart},
                  {ChordChartKind::Interval, ChartFileNames::intervalChart}};
    const auto stopping = [&] { return stop != 0 || stoppedFor.has_value(); };
    for (const SaveAllPlan::Chord& chord : plan.chords()) {
        const ChordEntry* entry = &ChordCatalogue::entry(chord.entry);
        for (const auto& chart : charts) {
            if (stopping())
                break;
            const auto draw = [&surfaces, entry, kind = chart.kind, pitch = chord.pitch,
                               leftHanded = options.leftHanded]() -> const QImage& {
                ChartSurface& surface = surfaces.surface(kind);
                drawChordChart(surface, kind, *entry, pitch, leftHanded);
                return surface.image();
            };
            run.queueDrawing(0, draw, plan.fileName(chord, chart.chart, format), format);
        }
        if (stopping())
            break;
        collect();
    }
    // Interrupted too: what is queued is written whole, and counted; after a failure that
    // every file meets, it would only fail.
    if (stoppedFor)
        run.drop();
    else
        run.waitForAll();
    collect();
    // The run's closing lines follow; the bar is done with.
    if (options.showProgress) {
        err << eraseProgressLine();
        err.flush();
    }
    for (const auto& [reason, count] : tally.repeats())
        say(QStringLiteral("cannot write %1 more %2: %3")
                .arg(QString::number(count),
                     count == 1 ? QStringLiteral("file") : QStringLiteral("files"), reason));
    if (stoppedFor) {
        outcome.stoppedByFailure = true;
        // One arg() with every value: a "%3" in the folder's name stays as it is.
        say(QStringLiteral("cannot write into '%1': %2; stopped after %3 of %4 files")
                .arg(shownFolder, *stoppedFor, QString::number(outcome.written),
                     QString::number(total)));
    }
    return outcome;
}
