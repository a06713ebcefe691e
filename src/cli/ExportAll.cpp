#include "cli/ExportAll.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "export/ChartFiles.h"
#include "writers/ImageFile.h"
#include "writers/ImageFolder.h"
#include "writers/JpegEncoder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMutex>
#include <QStringList>
#include <chrono>
#include <thread>
#include <vector>

namespace {

QString progressLine(int done, int total, double seconds) {
    constexpr int width = 30;
    const int filled = total > 0 ? done * width / total : width;
    QString line = QStringLiteral("\r[") + QString(filled, QLatin1Char('#')) +
                   QString(width - filled, QLatin1Char('.')) +
                   QStringLiteral("] %1/%2 files").arg(done).arg(total);
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
    const QList<ChartFiles::PlannedChord> chords = ChartFiles::saveAllPlan(options.uniqueNames);
    // For messages only: the files go into the opened folder, wherever it is now.
    const QString shownFolder = QDir(options.folder).absolutePath();
    const ChartFormat format = options.jpeg ? ChartFormat::Jpeg : ChartFormat::Bmp;
    // The window's names end in " 1" and " 2"; unique names say the chart's kind.
    const auto fileName = [&](const QString& stem, int chart) {
        if (!options.uniqueNames)
            return ChartFiles::saveAllFileName(stem, chart, format);
        const QString kind =
            chart == 1 ? QStringLiteral(" fingering") : QStringLiteral(" interval");
        const QString suffix =
            format == ChartFormat::Jpeg ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
        return stem + kind + suffix;
    };
    const int total = int(chords.size()) * 2;
    const int jobs =
        options.jobs > 0 ? options.jobs : int(std::max(1u, std::thread::hardware_concurrency()));

    std::atomic_int next{0};
    std::atomic_int written{0};
    std::atomic_int failed{0};
    QMutex reportLock;
    QStringList failedFiles;

    const auto writeOne = [&](const QString& name, const QByteArray& data) {
        QString reason = QStringLiteral("the image could not be encoded");
        if (!data.isEmpty() && target.writeFile(name, data, &reason) == WriteResult::Written) {
            ++written;
            return;
        }
        ++failed;
        const QMutexLocker locker(&reportLock);
        failedFiles << QStringLiteral("cannot write '%1': %2")
                           .arg(ChartFiles::filePath(shownFolder, name), reason);
    };

    const auto worker = [&] {
        ChartSurface fingering(ChartSurface::arialBold());
        ChartSurface interval(ChartSurface::msSansSerifBold());
        JpegEncoder encoder;
        const auto encode = [&](const QImage& image) {
            if (!options.jpeg)
                return ImageFile::encodeBitmap(image);
            try {
                return encoder.encode(image, ChartFiles::jpegQuality);
            } catch (const Failure&) {
                return QByteArray();
            }
        };
        for (int i = next++; i < chords.size() && !stop; i = next++) {
            const ChartFiles::PlannedChord& chord = chords[i];
            const ChordEntry& entry = ChordCatalogue::entry(chord.entry);
            drawChordChart(fingering, ChordChartKind::Fingering, entry, chord.pitch,
                           options.leftHanded);
            drawChordChart(interval, ChordChartKind::Interval, entry, chord.pitch,
                           options.leftHanded);
            writeOne(fileName(chord.stem, 1), encode(fingering.image()));
            writeOne(fileName(chord.stem, 2), encode(interval.image()));
        }
    };

    QElapsedTimer clock;
    clock.start();
    std::vector<std::thread> threads;
    threads.reserve(size_t(jobs));
    for (int t = 0; t < jobs; ++t)
        threads.emplace_back(worker);

    qsizetype reported = 0;
    const auto reportFailures = [&] {
        const QMutexLocker locker(&reportLock);
        for (; reported < failedFiles.size(); ++reported) {
            if (options.showProgress)
                err << eraseProgressLine();
            err << "strumvane-charts: " << failedFiles[reported] << '\n';
        }
        err.flush();
    };
    while (written + failed < total && !stop) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        reportFailures();
        if (options.showProgress) {
            err << progressLine(written + failed, total, clock.elapsed() / 1000.0);
            err.flush();
        }
        // Workers that stopped early (Ctrl-C) end the wait too.
        if (next >= chords.size() + jobs)
            break;
    }
    for (std::thread& t : threads)
        t.join();
    reportFailures();
    // The run's closing line follows; the bar is done with.
    if (options.showProgress) {
        err << eraseProgressLine();
        err.flush();
    }

    if (failures)
        *failures = failed;
    return written;
}
