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

#include <QDir>
#include <QElapsedTimer>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

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

} // namespace

int ExportAll::run(const Options& options, const ImageFolder& target, QTextStream& err,
                   const std::atomic_bool& stop, int* failures) {
    const SaveAllPlan plan(options.uniqueNames);
    // For messages only: the files go into the opened folder, wherever it is now.
    const QString shownFolder = QDir(options.folder).absolutePath();
    const ChartFormat format = options.jpeg ? ChartFormat::Jpeg : ChartFormat::Bmp;
    const int total = plan.fileCount();

    // Outlives the run: its writer threads draw on it.
    ThreadSurfaces surfaces;
    FolderChartWriter writer(target);
    SaveAllRun run(writer, SaveAllRun::threadsFor(options.jobs));
    int written = 0;
    int failed = 0;
    QElapsedTimer clock;
    clock.start();
    qint64 progressShownAt = 0;
    // Counts and names the files finished so far; redraws the progress line now and then.
    const auto collect = [&] {
        for (const ChartWritePool::Result& result : run.takeFinished()) {
            if (!result.failure) {
                ++written;
                continue;
            }
            ++failed;
            if (options.showProgress)
                err << eraseProgressLine();
            err << "strumvane-charts: "
                << CommandContext::printable(
                       QStringLiteral("cannot write '%1': %2")
                           .arg(ChartFileNames::filePath(shownFolder, result.path),
                                result.failure->description()))
                << '\n';
            err.flush();
        }
        if (options.showProgress && clock.elapsed() - progressShownAt >= progressIntervalMs) {
            progressShownAt = clock.elapsed();
            err << progressLine(written + failed, total, progressShownAt / 1000.0);
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
    for (const SaveAllPlan::Chord& chord : plan.chords()) {
        const ChordEntry* entry = &ChordCatalogue::entry(chord.entry);
        for (const auto& chart : charts) {
            if (stop)
                break;
            const auto draw = [&surfaces, entry, kind = chart.kind, pitch = chord.pitch,
                               leftHanded = options.leftHanded]() -> const QImage& {
                ChartSurface& surface = surfaces.surface(kind);
                drawChordChart(surface, kind, *entry, pitch, leftHanded);
                return surface.image();
            };
            run.queueDrawing(0, draw, plan.fileName(chord, chart.chart, format), format);
        }
        if (stop)
            break;
        collect();
    }
    // Interrupted too: what is queued is written whole, and counted.
    run.waitForAll();
    collect();
    // The run's closing line follows; the bar is done with.
    if (options.showProgress) {
        err << eraseProgressLine();
        err.flush();
    }

    if (failures)
        *failures = failed;
    return written;
}
