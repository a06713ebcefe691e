// chord-wave-probe FILE NOTE...: whether a WAV file holds the chord of the MIDI notes given -
// sound after silence, each note's fundamental well above the semitones beside it, and quiet
// at the end. Prints what it measured. Exit status 0 when it does, 1 when not, 2 for bad use.
#include "support/ChordSpectrum.h"

#include <cstdio>

namespace {

constexpr double onsetThreshold = 0.002; // RMS; the file driver's silence is exact zeros
constexpr double settle = 0.1;           // seconds after the onset, past the attack
constexpr double window = 0.8;           // seconds analysed
constexpr double neighbourFactor = 10;
constexpr double quietShare = 0.01; // of the held sound's RMS, over the last 0.3 s

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: chord-wave-probe FILE NOTE...\n");
        return 2;
    }
    const ChordSpectrum::Wave wave = ChordSpectrum::readWave(QString::fromLocal8Bit(argv[1]));
    if (!wave.error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(wave.error));
        return 1;
    }
    QList<int> notes;
    for (int i = 2; i < argc; ++i)
        notes << QByteArray(argv[i]).toInt();

    const double start = ChordSpectrum::onset(wave, onsetThreshold);
    std::printf("%.2f s of sound, onset at %.2f s\n", wave.seconds(), start);
    if (start < 0 || start + settle + window > wave.seconds()) {
        std::printf("no chord long enough in the file\n");
        return 1;
    }
    QStringList problems;
    const double held = ChordSpectrum::rms(wave, start + settle, window);
    const double tail = ChordSpectrum::rms(wave, wave.seconds() - 0.3, 0.3);
    for (const QString& line : ChordSpectrum::compareWithNeighbours(
             wave, start + settle, window, notes, neighbourFactor, &problems))
        std::printf("%s\n", qPrintable(line));
    std::printf("RMS held %.4f, last 0.3 s %.6f\n", held, tail);
    if (tail > held * quietShare)
        problems << QStringLiteral("not quiet at the end");
    for (const QString& problem : problems)
        std::printf("FAIL: %s\n", qPrintable(problem));
    return problems.isEmpty() ? 0 : 1;
}
