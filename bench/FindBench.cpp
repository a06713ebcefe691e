// How fast `strumvane-charts find` answers over the whole catalogue. Prints each figure beside
// the 50 ms target as a ratio, measured in one run:
//   build/bench/strumvane-find-bench
#include "catalogue/ChordFinder.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr double targetMs = 50.0;
constexpr int repeats = 21; // the median of these is printed

double medianMs(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

void row(const char* what, double ms) {
    std::printf("%-52s %8.2f ms   %.3f x target\n", what, ms, ms / targetMs);
}

} // namespace

int main() {
    QElapsedTimer clock;
    clock.start();
    const qsizetype count = ChordFinder::voicings().size(); // built once, as the tool does
    row("place all voicings (first query only)", clock.nsecsElapsed() / 1e6);

    const auto am7 = ChordFinder::parseChordName(u"Am7");
    const auto d7 = ChordFinder::parseChordName(u"D7");
    const auto slash = ChordFinder::parseChordName(u"Am7/C");
    const ChordFinder::Voicing& from = ChordFinder::voicing(164, 9);
    struct Case {
        const char* what;
        ChordFinder::Query query;
    };
    const auto query = [](auto fill) {
        ChordFinder::Query q;
        fill(q);
        return q;
    };
    const std::vector<Case> cases = {
        {"find Am7", query([&](auto& q) { q.chord = am7; })},
        {"find Am7 --frets 5-8", query([&](auto& q) {
             q.chord = am7;
             q.lowFret = 5;
             q.highFret = 8;
         })},
        {"find Am7/C --rootless", query([&](auto& q) {
             q.chord = slash;
             q.rootless = true;
         })},
        {"find D7 --near 164@A", query([&](auto& q) {
             q.chord = d7;
             q.near = &from;
         })},
    };
    for (const Case& c : cases) {
        std::vector<double> samples;
        for (int i = 0; i < repeats; ++i) {
            clock.restart();
            const auto found = ChordFinder::find(c.query);
            samples.push_back(clock.nsecsElapsed() / 1e6);
            if (found.isEmpty())
                std::fprintf(stderr, "%s found nothing\n", c.what);
        }
        row(c.what, medianMs(samples));
    }

    std::vector<double> process;
    for (int i = 0; i < 5; ++i) {
        QProcess tool;
        clock.restart();
        tool.start(QStringLiteral(CHARTS_TOOL), {QStringLiteral("find"), QStringLiteral("Am7")});
        tool.waitForFinished();
        process.push_back(clock.nsecsElapsed() / 1e6);
    }
    row("strumvane-charts find Am7, whole process", medianMs(process));
    std::printf("(%lld voicings searched; medians of %d runs, 5 for the process)\n",
                static_cast<long long>(count), repeats);
    return 0;
}
