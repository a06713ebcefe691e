// How fast the chord finder's results follow the keyboard: from a keystroke in the chord field
// to the grid of boxes painted, in the real window (offscreen), beside the 50 ms target as a
// ratio (below 1 is within it):
//   build/bench/strumvane-finder-bench
#include "finder/ChordBoxGrid.h"
#include "finder/FinderSettings.h"
#include "finder/FinderWindow.h"
#include "finder/SaveFileDialog.h"
#include "shell/SettingsStore.h"
#include "sound/MidiPort.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double targetMs = 50.0;
constexpr int rounds = 5; // each chord is typed this many times

class SilentPort : public MidiPort {
public:
    qint32 open() override { return 0; }
    void sendShortMessage(quint32) override {}
    qint32 close() override { return 0; }
};

class NoDialog : public SaveFileDialog {
public:
    QString chooseSaveFile(QWidget*, const QString&, const QString&, const QString&,
                           const QString&) override {
        return {};
    }
};

// Counts the paints of the grid, so that a keystroke's time ends with its boxes drawn.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

double percentile(std::vector<double> samples, double share) {
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, size_t(share * double(samples.size())))];
}

void row(const char* what, const std::vector<double>& ms) {
    const double median = percentile(ms, 0.5);
    const double worst = *std::max_element(ms.begin(), ms.end());
    std::printf("%-46s median %6.2f ms  %.3f x target   worst %6.2f ms  %.3f x target\n", what,
                median, median / targetMs, worst, worst / targetMs);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SettingsStore store(dir.filePath(QStringLiteral("Quillmoor.ini")),
                        QLatin1String(FinderSettings::group));
    SilentPort port;
    NoDialog dialog;
    FinderWindow window(FinderServices{store, port, dialog, {}});
    window.start();
    window.show();
    QTest::qWait(100);
    auto* chord = window.findChild<QLineEdit*>(QStringLiteral("chordEdit"));
    auto* grid = window.findChild<ChordBoxGrid*>(QStringLiteral("grid"));
    auto* instrument = window.findChild<QComboBox*>(QStringLiteral("instrumentBox"));
    auto* capo = window.findChild<QSpinBox*>(QStringLiteral("capoSpin"));
    PaintCounter counter;
    grid->viewport()->installEventFilter(&counter);

    const struct {
        const char* what;
        const char* instrument;
        int capo;
        const char* chord;
    } cases[] = {
        {"guitar: Am7", "guitar", 0, "Am7"},         {"guitar: F#m7b5", "guitar", 0, "F#m7b5"},
        {"guitar: Cmaj7", "guitar", 0, "Cmaj7"},     {"guitar: C/G", "guitar", 0, "C/G"},
        {"guitar, capo 3: G13", "guitar", 3, "G13"}, {"7-string: Ebadd9", "7-string", 0, "Ebadd9"},
        {"ukulele: Bbmaj7", "ukulele", 0, "Bbmaj7"},
    };
    std::vector<double> all;
    for (const auto& c : cases) {
        instrument->setCurrentIndex(instrument->findData(QLatin1String(c.instrument)));
        capo->setValue(c.capo);
        std::vector<double> keystrokes;
        QElapsedTimer clock;
        for (int round = 0; round < rounds; ++round) {
            chord->clear();
            QApplication::processEvents();
            for (const char key : QByteArray(c.chord)) {
                const int before = counter.paints;
                clock.start();
                QTest::keyClick(chord, key);
                // The event loop delivers the grid's repaint; the time ends when it is done.
                while (counter.paints == before)
                    QApplication::processEvents();
                keystrokes.push_back(clock.nsecsElapsed() / 1e6);
            }
        }
        row(c.what, keystrokes);
        all.insert(all.end(), keystrokes.begin(), keystrokes.end());
    }
    row("every keystroke above", all);
    std::printf("(%zu keystrokes: keystroke, search, boxes and the grid painted; %d rounds)\n",
                all.size(), rounds);
    return 0;
}
