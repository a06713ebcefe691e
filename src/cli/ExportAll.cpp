#include "cli/ExportAll.h"

#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "export/ChartFileName.h"
#include "export/ImageFile.h"
#include "export/ImageFolder.h"
#include "export/JpegEncoder.h"
#include "shell/Failure.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
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

QList<ExportAll::Chord> ExportAll::plan() {
    QList<Chord> chords;
    QHash<QString, qsizetype> byStem;
    for (int n = 1; n <= ChordCatalogue::entryCount; ++n) {
        const ChordEntry& entry = ChordCatalogue::entry(n);
        const QString pattern = QString::fromLatin1(entry.fretPattern);
        const QString spelling = QString::fromLatin1(entry.spelling);
        const QString type = QString::fromLatin1(entry.chordType);
        for (qint16 pitch = 0; pitch < 12; ++pitch) {
            const ChordTheory::PlacedChord placed =
                ChordTheory::placeChord(pattern, spelling, pitch);
            const QString stem = chartFileStem(
                ChordTheory::chordDisplayName(type, pitch, placed.rootShift), placed.noteNames);
            const auto found = byStem.constFind(stem);
            if (found != byStem.constEnd()) {
                // The window writes the later chord over the earlier one.
                chords[*found] = Chord{n, pitch, stem};
            } else {
                byStem.insert(stem, chords.size());
                chords.append(Chord{n, pitch, stem});
            }
        }
    }
    return chords;
}

int ExportAll::run(const Options& options, const ImageFolder& target, QTextStream& err,
                   const std::atomic_bool& stop, int* failures) {
    const QList<Chord> chords = plan();
    // For messages only: the files go into the opened folder, wherever it is now.
    const QString shownFolder = QDir(options.folder).absolutePath() + QLatin1Char('/');
    const QString suffix = options.jpeg ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
    const int total = int(chords.size()) * 2;
    const int jobs =
        options.jobs > 0 ? options.jobs : int(std::max(1u, std::thread::hardware_concurrency()));

    std::atomic_int next{0};
    std::atomic_int written{0};
    std::atomic_int failed{0};
    QMutex reportLock;
    QStringList failedFiles;

    const auto writeOne = [&](const QString& name, const QByteArray& data) {
        if (!data.isEmpty() && target.writeFile(name, data) == ImageFile::WriteResult::Written) {
            ++written;
            return;
        }
        ++failed;
        const QMutexLocker locker(&reportLock);
        failedFiles << shownFolder + name;
    };

    const auto worker = [&] {
        ChartSurface fingering(ChartSurface::arialBold());
        ChartSurface interval(ChartSurface::msSansSerifBold());
        JpegEncoder encoder;
        const auto encode = [&](const QImage& image) {
            if (!options.jpeg)
                return ImageFile::encodeBitmap(image);
            try {
                return encoder.encode(image, 100);
            } catch (const Failure&) {
                return QByteArray();
            }
        };
        for (int i = next++; i < chords.size() && !stop; i = next++) {
            const Chord& chord = chords[i];
            const ChordEntry& entry = ChordCatalogue::entry(chord.entry);
            drawChordChart(fingering, ChordChartKind::Fingering, entry, chord.pitch,
                           options.leftHanded);
            drawChordChart(interval, ChordChartKind::Interval, entry, chord.pitch,
                           options.leftHanded);
            writeOne(chord.stem + QStringLiteral(" 1") + suffix, encode(fingering.image()));
            writeOne(chord.stem + QStringLiteral(" 2") + suffix, encode(interval.image()));
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
