// Measures a save-all run against the floor of the machine: the time to encode and write the
// same number of chart images with libjpeg-turbo alone. Prints a table and the ratios; only
// ratios from one run mean anything on a noisy machine.
//
//   build/bench/strumvane-bench [--quick]
//
// --quick skips the two window save-all runs and the tool run (the slow rows); --save-all-only
// runs nothing but the window's JPG save-all (for a profiler).

#include "browser/Form1.h"
#include "catalogue/ChordCatalogue.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "export/FolderDialog.h"
#include "export/ImageFileWriter.h"
#include "shell/Clock.h"
#include "shell/MessageBoxes.h"
#include "shell/RandomSource.h"
#include "shell/SettingsStore.h"
#include "shell/WebLauncher.h"
#include "sound/MidiPort.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QProcess>
#include <QRadioButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
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

// Records the resident memory at the first and the last file of a run.
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
        if (calls == 0)
            firstRss = memoryKb("VmRSS:");
        if (++calls == saveAllFiles)
            lastRss = memoryKb("VmRSS:");
    }
    int calls = 0;
    long firstRss = -1;
    long lastRss = -1;
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

double floorSeconds(const QString& folder) {
    // 128 real charts, drawn once; then encode-and-write only, one thread.
    std::vector<QImage> charts;
    ChartSurface surface;
    for (int i = 0; i < 128; ++i) {
        drawChordChart(surface, i % 2 ? ChordChartKind::Interval : ChordChartKind::Fingering,
                       ChordCatalogue::entry(1 + (i * 37) % 611), qint16(i % 12), false);
        charts.push_back(surface.image().copy());
    }
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
    long firstRss = 0;
    long lastRss = 0;
    long peakRss = 0;
    int errors = 0;
};

SaveAllResult windowSaveAll(const QString& folder, const QString& configFolder, bool bmp) {
    MeasuringWriter writer;
    BenchWindow window(configFolder + QStringLiteral("/Quillmoor.ini"), writer, folder);
    Form1& form = window.form;
    QuietBoxes& boxes = window.boxes;
    form.setFolderText(folder + QLatin1Char('/'));
    (bmp ? form.Option3 : form.Option2)->setChecked(true);
    form.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    form.PushButton4_Click();
    SaveAllResult result;
    result.seconds = timer.elapsed() / 1000.0;
    result.firstRss = writer.firstRss;
    result.lastRss = writer.lastRss;
    result.peakRss = memoryKb("VmHWM:");
    result.errors = boxes.errors;
    if (boxes.last != QLatin1String("Done."))
        std::fprintf(stderr, "the run did not end with Done.\n");
    return result;
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

void clickToRedraw(const QString& configFolder, double* mean, double* p99) {
    ImageFileWriter writer;
    BenchWindow window(configFolder + QStringLiteral("/Redraw.ini"), writer, configFolder);
    Form1& form = window.form;
    form.show();
    QApplication::processEvents();
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int i = 0; i < 2000; ++i) {
        timer.start();
        // Alternate a chord-line click with a Pitch click, as a user browsing would.
        if (i % 2 == 0)
            form.ListView1->setCurrentRow((i * 7919) % 611);
        else
            form.Option1[size_t((i * 5) % 12)]->click();
        ms.push_back(timer.nsecsElapsed() / 1e6);
        QApplication::processEvents();
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double v : ms)
        sum += v;
    *mean = sum / double(ms.size());
    *p99 = ms[ms.size() * 99 / 100];
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

    double saveAllJpgRatio = 0;
    double saveAllBmpRatio = 0;
    double exportAllRatio = 0;
    if (!quick) {
        const QString config = fresh();
        const SaveAllResult jpg = windowSaveAll(fresh(), config, false);
        std::printf("%-44s %10.2f s  (%d error boxes)\n", "2 window save-all, JPG", jpg.seconds,
                    jpg.errors);
        std::printf("%-44s %7ld kB peak; %ld kB at first file, %ld kB at last\n",
                    "6 memory (RSS) of the JPG save-all", jpg.peakRss, jpg.firstRss, jpg.lastRss);
        double floorAfter = measureFloor();
        saveAllJpgRatio = jpg.seconds / ((floorBefore + floorAfter) / 2);

        floorBefore = floorAfter;
        const SaveAllResult bmp = windowSaveAll(fresh(), config, true);
        std::printf("%-44s %10.2f s  (%d error boxes)\n", "3 window save-all, BMP", bmp.seconds,
                    bmp.errors);
        floorAfter = measureFloor();
        saveAllBmpRatio = bmp.seconds / ((floorBefore + floorAfter) / 2);

        floorBefore = floorAfter;
        const double exportAll = toolExportAll(fresh());
        std::printf("%-44s %10.2f s\n", "4 strumvane-charts export-all, JPG", exportAll);
        floorAfter = measureFloor();
        exportAllRatio = exportAll / ((floorBefore + floorAfter) / 2);
    }

    double mean = 0;
    double p99 = 0;
    clickToRedraw(fresh(), &mean, &p99);
    std::printf("%-44s %10.3f ms mean, %.3f ms 99th percentile\n", "5 click to redraw (2,000)",
                mean, p99);

    if (!quick)
        std::printf("ratios to the floors around each row: save-all JPG / floor = %.2f, "
                    "save-all BMP / floor = %.2f, export-all / floor = %.2f\n",
                    saveAllJpgRatio, saveAllBmpRatio, exportAllRatio);
    return 0;
}
