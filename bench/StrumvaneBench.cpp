// Measures a save-all run against the floor of the machine: the time to encode and write the
// same number of chart images with libjpeg-turbo alone. Prints each row between floors
// measured around it, the memory of the runs, where a run's time goes and the limit that sets,
// and the ratios; only ratios from one run mean anything on a noisy machine.
//
//   build/bench/strumvane-bench [--quick]
//
// --quick skips the two window save-all runs and the tool run (the slow rows); --save-all-only
// runs nothing but the window's JPG save-all (for a profiler).

#include "catalogue/ChordCatalogue.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "export/ChartFileWriter.h"
#include "export/ImageFileWriter.h"
#include "shell/Clock.h"
#include "shell/FolderDialog.h"
#include "shell/MessageBoxes.h"
#include "shell/RandomSource.h"
#include "shell/SettingsStore.h"
#include "shell/WebLauncher.h"
#include "sound/MidiPort.h"
#include "window/Form1.h"
#include "writers/ImageFile.h"
#include "writers/ImageFolder.h"
#include "writers/JpegWriter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>
#include <turbojpeg.h>
#include <vector>

namespace {

constexpr int saveAllFiles = 611 * 12 * 2;

struct QuietBoxes : MessageBoxes {
    void information(const QString&, const QString& text) override { last = text; }
    void applicationError(const QString& text) override {
        ++errors;
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
    }
    QString last;
    int errors = 0;
};
struct NoFolderDialog : FolderDialog {
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
};
struct NoMidi : MidiPort {
    qint32 open() override { return 0; }
    void sendShortMessage(quint32) override {}
    qint32 close() override { return 0; }
};
struct NoWeb : WebLauncher {
    void openUrl(const QUrl&) override {}
};
struct FixedRandom : RandomSource {
    void seed(quint32) override {}
    double nextUniform() override { return 0.5; }
};
struct NoonClock : Clock {
    double secondsSinceMidnight() const override { return 43200; }
};

// Resident memory in kB from /proc/self/status: "VmRSS" now or "VmHWM" at its peak.
long memoryKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Records the resident memory at the first file of a run, at every 1,000th and at the last.
// The writer threads call it, several at once.
struct MeasuringWriter : ImageFileWriter {
    void saveBitmap(const QImage& picture, const QString& fileName) override {
        sample();
        ImageFileWriter::saveBitmap(picture, fileName);
    }
    void saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) override {
        sample();
        ImageFileWriter::saveJpeg(picture, fileName, quality);
    }
    void sample() {
        const int call = ++calls;
        if (call == 1 || call % 1000 == 0 || call == saveAllFiles) {
            const long rss = memoryKb("VmRSS:");
            const std::lock_guard<std::mutex> locked(lock);
            samples.push_back({call, rss});
        }
    }
    long rssAt(int call) const {
        for (const auto& [at, rss] : samples) {
            if (at == call)
                return rss;
        }
        return -1;
    }
    std::atomic<int> calls{0};
    std::mutex lock;
    std::vector<std::pair<int, long>> samples; // (file number, kB)
};

// Writes nothing: a save-all through it costs what the window's thread does (the displays,
// the copies, the hand-over), the part no writer thread can take.
struct NullWriter : ChartFileWriter {
    void saveBitmap(const QImage&, const QString&) override {}
    void saveJpeg(const QImage&, const QString&, quint8) override {}
};

// The real window on quiet stand-ins for the desktop, started up.
struct BenchWindow {
    BenchWindow(const QString& settingsFile, ChartFileWriter& writer, const QString& folder)
        : settings(settingsFile),
          form(Form1Services{settings, boxes, dialog, midi, writer, web, random, clock, folder,
                             [folder] { return folder; }}) {
        form.Form_Load();
    }
    SettingsStore settings;
    QuietBoxes boxes;
    NoFolderDialog dialog;
    NoMidi midi;
    NoWeb web;
    FixedRandom random;
    NoonClock clock;
    Form1 form;
};

// 128 real charts of both kinds, drawn once, for the rows that time only encoding and files.
std::vector<QImage> sampleCharts() {
    std::vector<QImage> charts;
    ChartSurface surface;
    for (int i = 0; i < 128; ++i) {
        drawChordChart(surface, i % 2 ? ChordChartKind::Interval : ChordChartKind::Fingering,
                       ChordCatalogue::entry(1 + (i * 37) % 611), qint16(i % 12), false);
        charts.push_back(surface.image().copy());
    }
    return charts;
}

double floorSeconds(const QString& folder) {
    // Encode-and-write only, one thread.
    const std::vector<QImage> charts = sampleCharts();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < saveAllFiles; ++i) {
        const QImage& image = charts[size_t(i) % charts.size()];
        tjhandle handle = tjInitCompress();
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        tjCompress2(handle, image.constBits(), image.width(), int(image.bytesPerLine()),
                    image.height(), TJPF_BGRX, &jpeg, &size, TJSAMP_444, 100, 0);
        const QByteArray name = QFile::encodeName(folder + QStringLiteral("/floor %1.jpg").arg(i));
        if (FILE* file = std::fopen(name.constData(), "wb")) {
            std::fwrite(jpeg, 1, size, file);
            std::fclose(file);
        }
        tjFree(jpeg);
        tjDestroy(handle);
    }
    return timer.elapsed() / 1000.0;
}

struct SaveAllResult {
    double seconds = 0;
    long restRss = 0; // the window started, before the run
    long firstRss = 0;
    long lastRss = 0;
    long peakRss = 0;
    std::vector<std::pair<int, long>> profile;
    int errors = 0;
};

SaveAllResult windowSaveAll(const QString& folder, const QString& configFolder, bool bmp,
                            ChartFileWriter* writerInstead = nullptr) {
    MeasuringWriter measuring;
    ChartFileWriter& writer = writerInstead ? *writerInstead : measuring;
    BenchWindow window(configFolder + QStringLiteral("/Quillmoor.ini"), writer, folder);
    Form1& form = window.form;
    QuietBoxes& boxes = window.boxes;
    // Driven as a user would, through the controls' names.
    form.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(folder + QLatin1Char('/'));
    form.findChild<QRadioButton*>(bmp ? QStringLiteral("Option3") : QStringLiteral("Option2"))
        ->setChecked(true);
    form.show();
    QApplication::processEvents();

    SaveAllResult result;
    result.restRss = memoryKb("VmRSS:");
    QElapsedTimer timer;
    timer.start();
    form.findChild<QPushButton*>(QStringLiteral("PushButton4"))->click();
    result.seconds = timer.elapsed() / 1000.0;
    result.firstRss = measuring.rssAt(1);
    result.lastRss = measuring.rssAt(saveAllFiles);
    result.profile = measuring.samples;
    std::sort(result.profile.begin(), result.profile.end());
    result.peakRss = memoryKb("VmHWM:");
    result.errors = boxes.errors;
    if (boxes.last != QLatin1String("Done."))
        std::fprintf(stderr, "the run did not end with Done.\n");
    return result;
}

// The parts of a save-all's work, each alone on one thread over 14,664 files.
struct Breakdown {
    double displays = 0;   // the window's run with a writer that writes nothing
    double copies = 0;     // copying a chart for the writer threads
    double jpegEncode = 0; // libjpeg-turbo at quality 100
    double bmpEncode = 0;  // the 8-bit grey bitmap
    double jpegFiles = 0;  // creating the JPEG files from ready bytes
    double bmpFiles = 0;   // creating the BMP files from ready bytes
};

Breakdown measureBreakdown(const QString& configFolder, const std::function<QString()>& fresh) {
    Breakdown parts;
    NullWriter nothing;
    parts.displays = windowSaveAll(fresh(), configFolder, false, &nothing).seconds;

    const std::vector<QImage> charts = sampleCharts();
    const auto chart = [&](int i) -> const QImage& { return charts[size_t(i) % charts.size()]; };
    QElapsedTimer timer;
    timer.start();
    qint64 keep = 0;
    for (int i = 0; i < saveAllFiles; ++i)
        keep += chart(i).copy().sizeInBytes();
    parts.copies = timer.elapsed() / 1000.0;

    std::vector<QByteArray> jpegs;
    std::vector<QByteArray> bmps;
    timer.start();
    for (int i = 0; i < saveAllFiles; ++i) {
        const QByteArray bytes = JpegWriter::encodeJpeg(chart(i), ChartFileWriter::jpegQuality);
        if (jpegs.size() < charts.size())
            jpegs.push_back(bytes);
    }
    parts.jpegEncode = timer.elapsed() / 1000.0;
    timer.start();
    for (int i = 0; i < saveAllFiles; ++i) {
        const QByteArray bytes = ImageFile::encodeBitmap(chart(i));
        if (bmps.size() < charts.size())
            bmps.push_back(bytes);
    }
    parts.bmpEncode = timer.elapsed() / 1000.0;

    const auto createFiles = [&](const std::vector<QByteArray>& files, const char* suffix) {
        const ImageFolder folder(fresh());
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < saveAllFiles; ++i)
            folder.writeFile(QStringLiteral("file %1.%2").arg(i).arg(QLatin1String(suffix)),
                             files[size_t(i) % files.size()]);
        return clock.elapsed() / 1000.0;
    };
    parts.jpegFiles = createFiles(jpegs, "jpg");
    parts.bmpFiles = createFiles(bmps, "bmp");
    if (keep == 0)
        std::fprintf(stderr, "no copies made\n");
    return parts;
}

double toolExportAll(const QString& folder) {
    QElapsedTimer timer;
    timer.start();
    QProcess tool;
    tool.start(QStringLiteral(CHARTS_TOOL), {QStringLiteral("export-all"), folder});
    tool.waitForFinished(-1);
    if (tool.exitCode() != 0)
        std::fprintf(stderr, "export-all failed: %s\n", tool.readAllStandardError().constData());
    return timer.elapsed() / 1000.0;
}

struct Timings {
    double mean = 0;
    double p99 = 0;
};

Timings summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    return {sum / double(ms.size()), ms[ms.size() * 99 / 100]};
}

constexpr int clicks = 2000;

// Alternates a chord-line click with a Pitch click, as a user browsing would.
Timings clickToRedraw(const QString& configFolder) {
    ImageFileWriter writer;
    BenchWindow window(configFolder + QStringLiteral("/Redraw.ini"), writer, configFolder);
    Form1& form = window.form;
    auto* list = form.findChild<QListWidget*>(QStringLiteral("ListView1"));
    std::vector<QRadioButton*> pitches;
    for (int p = 0; p < 12; ++p)
        pitches.push_back(form.findChild<QRadioButton*>(QStringLiteral("Option1_%1").arg(p)));
    form.show();
    QApplication::processEvents();
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i < clicks; ++i) {
        timer.start();
        if (i % 2 == 0)
            list->setCurrentRow((i * 7919) % 611);
        else
            pitches[size_t((i * 5) % 12)]->click();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        QApplication::processEvents();
    }
    return summarise(ms);
}

// The least a click can cost: drawing its two charts, with no window around them.
Timings redrawFloor() {
    ChartSurface fingering;
    ChartSurface intervals;
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i < clicks; ++i) {
        const ChordEntry& entry = ChordCatalogue::entry(1 + (i * 7919) % 611);
        timer.start();
        drawChordChart(fingering, ChordChartKind::Fingering, entry, qint16((i * 5) % 12), false);
        drawChordChart(intervals, ChordChartKind::Interval, entry, qint16((i * 5) % 12), false);
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    return summarise(ms);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool quick = app.arguments().contains(QStringLiteral("--quick"));
    if (app.arguments().contains(QStringLiteral("--save-all-only"))) {
        QTemporaryDir out;
        QTemporaryDir config;
        const SaveAllResult jpg = windowSaveAll(out.path(), config.path(), false);
        std::printf("window save-all, JPG: %.2f s\n", jpg.seconds);
        return 0;
    }

    // Every folder is kept until the end: ext4 allocates new files slowly right after many
    // deletions, which would make each row pay for the clean-up of the row before it.
    std::vector<std::unique_ptr<QTemporaryDir>> folders;
    const auto fresh = [&folders] {
        folders.push_back(std::make_unique<QTemporaryDir>(
            QDir::tempPath() + QStringLiteral("/strumvane-bench-XXXXXX")));
        return folders.back()->path();
    };

    // The file system is part of the floor, and it changes under the run: ext4 creates files
    // several times slower for a minute after many deletions. So the floor is measured again
    // next to every long row, and each row is compared with the mean of the floors around it.
    std::printf("%-44s %12s\n", "measure", "value");
    std::vector<double> floors;
    const auto measureFloor = [&] {
        floors.push_back(floorSeconds(fresh()));
        std::printf("%-44s %10.2f s  (%.3f ms a file)\n",
                    "1 JPG floor: 14,664 encode+write, 1 thread", floors.back(),
                    floors.back() * 1000 / saveAllFiles);
        return floors.back();
    };
    // The first run of file creations after start pays for a cold file system (it is often
    // twice as slow as the next): one unreported round warms it up.
    floorSeconds(fresh());
    double floorBefore = measureFloor();

    const auto floorsAround = [&](double before, double after) { return (before + after) / 2; };
    double saveAllJpgRatio = 0;
    double saveAllBmpRatio = 0;
    double exportAllRatio = 0;
    if (!quick) {
        const QString config = fresh();
        const SaveAllResult jpg = windowSaveAll(fresh(), config, false);
        std::printf("%-44s %10.2f s  (%d error boxes)\n", "2 window save-all, JPG", jpg.seconds,
                    jpg.errors);
        double floorAfter = measureFloor();
        saveAllJpgRatio = jpg.seconds / floorsAround(floorBefore, floorAfter);

        floorBefore = floorAfter;
        const SaveAllResult bmp = windowSaveAll(fresh(), config, true);
        std::printf("%-44s %10.2f s  (%d error boxes)\n", "3 window save-all, BMP", bmp.seconds,
                    bmp.errors);
        floorAfter = measureFloor();
        saveAllBmpRatio = bmp.seconds / floorsAround(floorBefore, floorAfter);

        floorBefore = floorAfter;
        const double exportAll = toolExportAll(fresh());
        std::printf("%-44s %10.2f s\n", "4 strumvane-charts export-all, JPG", exportAll);
        floorAfter = measureFloor();
        exportAllRatio = exportAll / floorsAround(floorBefore, floorAfter);

        // Memory: the floor is the started window at rest; growth is first file to last.
        for (const auto& [name, run] : {std::pair{"JPG", &jpg}, std::pair{"BMP", &bmp}}) {
            std::printf("6 memory (RSS) of the %s save-all          %7ld kB at rest (floor), "
                        "%ld kB peak (%+ld), first file %ld kB, last %ld kB: growth %+ld kB\n",
                        name, run->restRss, run->peakRss, run->peakRss - run->restRss,
                        run->firstRss, run->lastRss, run->lastRss - run->firstRss);
            std::printf("  kB by file:");
            for (const auto& [file, rss] : run->profile)
                std::printf(" %d:%ld", file, rss);
            std::printf("\n");
        }

        // Where the time goes: each part alone, one thread, beside the floor.
        floorBefore = floorAfter;
        const Breakdown parts = measureBreakdown(config, fresh);
        floorAfter = measureFloor();
        const double floor = floorsAround(floorBefore, floorAfter);
        std::printf("7 where a save-all's time goes, each part alone on one thread:\n");
        const std::pair<const char*, double> rows[] = {
            {"displays (the run, writing nothing)", parts.displays},
            {"copies for the writer threads", parts.copies},
            {"JPEG encode", parts.jpegEncode},
            {"BMP encode", parts.bmpEncode},
            {"JPEG file creation", parts.jpegFiles},
            {"BMP file creation", parts.bmpFiles},
        };
        for (const auto& [name, seconds] : rows)
            std::printf("  %-42s %10.2f s  (%.2f x floor)\n", name, seconds, seconds / floor);
        // Only the window's thread can do the displays; the writer threads, and the window's
        // thread while the queue is full, do the rest. The run cannot be shorter than the
        // displays, nor than all the work spread evenly over every core.
        const int cores = std::max(1, int(std::thread::hardware_concurrency()));
        const auto limit = [&](double writing) {
            return std::max(parts.displays, (parts.displays + writing) / double(cores)) / floor;
        };
        std::printf("  machine limit (%d cores): save-all JPG >= %.2f x floor, BMP >= %.2f x "
                    "floor\n",
                    cores, limit(parts.jpegEncode + parts.jpegFiles),
                    limit(parts.bmpEncode + parts.bmpFiles));
        floorBefore = floorAfter;
    }

    const Timings floorClick = redrawFloor();
    const Timings click = clickToRedraw(fresh());
    const double floorAfterClick = measureFloor();
    std::printf("%-44s %10.3f ms mean, %.3f ms 99th percentile\n", "5 click to redraw (2,000)",
                click.mean, click.p99);
    std::printf("%-44s %10.3f ms mean, %.3f ms 99th percentile (floors around: %.2f s, "
                "%.2f s)\n",
                "  floor: the two charts drawn alone", floorClick.mean, floorClick.p99, floorBefore,
                floorAfterClick);

    if (!quick)
        std::printf("ratios to the floors around each row: save-all JPG / floor = %.2f, "
                    "save-all BMP / floor = %.2f, export-all / floor = %.2f\n",
                    saveAllJpgRatio, saveAllBmpRatio, exportAllRatio);
    return 0;
}
