#include "cli/ExportAll.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "export/ChartFiles.h"
#include "export/ImageFile.h"
#include "export/JpegEncoder.h"

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

} // namespace

int ExportAll::run(const Options& options, QTextStream& err, const std::atomic_bool& stop,
                   int* failures) {
    const QList<ChartFiles::PlannedChord> chords = ChartFiles::saveAllPlan();
    const QString folder = QDir(options.folder).absolutePath();
    const ChartFormat format = options.jpeg ? ChartFormat::Jpeg : ChartFormat::Bmp;
    const int total = int(chords.size()) * 2;
    const int jobs =
        options.jobs > 0 ? options.jobs : int(std::max(1u, std::thread::hardware_concurrency()));

    std::atomic_int next{0};
    std::atomic_int written{0};
    std::atomic_int failed{0};
    QMutex reportLock;
    QStringList failedFiles;

    const auto writeOne = [&](const QString& fileName, const QByteArray& data) {
        if (!data.isEmpty() &&
            ImageFile::writeFile(fileName, data) == ImageFile::WriteResult::Written) {
            ++written;
            return;
        }
        ++failed;
        const QMutexLocker locker(&reportLock);
        failedFiles << fileName;
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
            writeOne(
                ChartFiles::filePath(folder, ChartFiles::saveAllFileName(chord.stem, 1, format)),
                encode(fingering.image()));
            writeOne(
                ChartFiles::filePath(folder, ChartFiles::saveAllFileName(chord.stem, 2, format)),
                encode(interval.image()));
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
                err << '\r' << QString(79, QLatin1Char(' ')) << '\r';
            err << "strumvane-charts: cannot write '" << failedFiles[reported] << "'\n";
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
    if (options.showProgress)
        err << progressLine(written + failed, total, clock.elapsed() / 1000.0) << '\n';

    if (failures)
        *failures = failed;
    return written;
}
