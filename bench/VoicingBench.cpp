// How fast the voicing generator answers, each figure beside its target as a ratio (below 1
// is within it), measured in one run:
//   build/bench/strumvane-voicing-bench
#include "fretboard/VoicingGenerator.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double oneChordTargetMs = 5.0;
constexpr double processTargetMs = 50.0;
constexpr double vocabularyTargetMs = 2000.0;
constexpr int repeats = 21; // the median of these is printed
constexpr int processRuns = 5;

double medianMs(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void row(const char* what, double ms, double targetMs) {
    std::printf("%-62s %9.2f ms   %.3f x the %.0f ms target\n", what, ms, ms / targetMs, targetMs);
}

Fretboard boardOf(const char* tuning) {
    return Fretboard(*Tuning::parse(QString::fromLatin1(tuning)));
}

} // namespace

int main() {
    QElapsedTimer clock;
    const struct {
        const char* what;
        const char* chord;
        const char* tuning;
    } chords[] = {
        {"every voicing of Am7, guitar", "Am7", "guitar"},
        {"every voicing of Am7, dadgad", "Am7", "dadgad"},
        {"every voicing of C13, guitar", "C13", "guitar"},
        {"every voicing of Am/G, drop-d", "Am/G", "drop-d"},
        {"every voicing of G, 7-string", "G", "7-string"},
    };
    for (const auto& c : chords) {
        const ChordTones chord = *ChordTones::parse(QString::fromLatin1(c.chord));
        const Fretboard board = boardOf(c.tuning);
        // The first query of a chord's root also makes the triad shapes the ranking compares
        // with: measured once at each of the twelve roots, which no query before has made.
        std::vector<double> first;
        qsizetype count = 0;
        for (qint16 root = 0; root < 12; ++root) {
            ChordTones transposed = chord;
            transposed.root = root;
            if (transposed.bass >= 0)
                transposed.bass = qint16((chord.bass - chord.root + root + 12) % 12);
            clock.start();
            const qsizetype n = VoicingGenerator::generate(transposed, board).size();
            first.push_back(clock.nsecsElapsed() / 1e6);
            if (root == chord.root)
                count = n;
        }
        std::vector<double> later;
        for (int i = 0; i < repeats; ++i) {
            clock.start();
            VoicingGenerator::generate(chord, board);
            later.push_back(clock.nsecsElapsed() / 1e6);
        }
        QByteArray label = QStringLiteral("%1, first query (%2)").arg(c.what).arg(count).toUtf8();
        row(label.constData(), medianMs(first), oneChordTargetMs);
        label = QStringLiteral("%1, later queries").arg(c.what).toUtf8();
        row(label.constData(), medianMs(later), oneChordTargetMs);
    }

    for (const char* tuning : {"guitar", "dadgad"}) {
        const Fretboard board = boardOf(tuning);
        clock.start();
        qsizetype voicings = 0;
        qsizetype chords = 0;
        for (qint16 root = 0; root < 12; ++root) {
            for (const ChordTones& chord : ChordTones::vocabulary(root)) {
                voicings += VoicingGenerator::generate(chord, board).size();
                ++chords;
            }
        }
        const QByteArray label = QStringLiteral("every type at 12 roots, %1 (%2 chords, %3)")
                                     .arg(QLatin1String(tuning))
                                     .arg(chords)
                                     .arg(voicings)
                                     .toUtf8();
        row(label.constData(), clock.nsecsElapsed() / 1e6, vocabularyTargetMs);
    }

    std::vector<double> process;
    for (int i = 0; i < processRuns; ++i) {
        QProcess tool;
        clock.start();
        tool.start(QStringLiteral(CHARTS_TOOL),
                   {QStringLiteral("find"), QStringLiteral("Am7"), QStringLiteral("--tuning"),
                    QStringLiteral("dadgad")});
        tool.waitForFinished();
        process.push_back(clock.nsecsElapsed() / 1e6);
    }
    row("strumvane-charts find Am7 --tuning dadgad, whole process", medianMs(process),
        processTargetMs);
    std::printf("(medians: first queries at the 12 roots, %d later queries, %d processes; one "
                "core)\n",
                repeats, processRuns);
    return 0;
}
