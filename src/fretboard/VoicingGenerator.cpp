#include "fretboard/VoicingGenerator.h"

#include "catalogue/PitchClass.h"
#include "fretboard/VoicingRanker.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

namespace {

using PitchClass::mod12;

struct Search {
    Search(const Fretboard& b, const VoicingGenerator::Options& o) : board(b), options(o) {}

    const Fretboard& board;
    const VoicingGenerator::Options& options;
    int strings = 0;
    int minSounding = 0;
    qint16 root = 0;
    IntervalSet required = 0; // absolute pitch classes
    IntervalSet chord = 0;    // absolute pitch classes of every chord tone
    int bass = ChordTones::noBass;
    bool foreignBass = false; // a slash chord's bass outside the chord
    bool anyBass = false;     // any chord tone may be the lowest note
    std::array<std::vector<int>, Tuning::maxStrings> candidates;
    std::array<int, Tuning::maxStrings> frets{};
    QList<Voicing> found;

    qint16 pitchClassAt(int string, int fret) const {
        return PitchClass::ofNote(board.note(string, fret));
    }

    void visit(int string, int low, int high, int sounding, IntervalSet covered) {
        if (sounding + (strings - string) < minSounding)
            return;
        if (string == strings) {
            accept(covered);
            return;
        }
        for (const int fret : candidates[string]) {
            frets[string] = fret;
            if (fret < 0) {
                visit(string + 1, low, high, sounding, covered);
                continue;
            }
            int newLow = low;
            int newHigh = high;
            if (fret > 0) {
                newLow = std::min(low, fret);
                newHigh = std::max(high, fret);
                if (newHigh - newLow + 1 > options.span)
                    continue;
            }
            visit(string + 1, newLow, newHigh, sounding + 1,
                  IntervalSet(covered | intervalBit(pitchClassAt(string, fret))));
        }
    }

    void accept(IntervalSet covered) {
        if ((covered & required) != required)
            return;
        int lowest = -1;
        for (int s = 0; s < strings; ++s) {
            if (frets[s] >= 0 && (lowest < 0 || board.note(s, frets[s]) < lowest))
                lowest = board.note(s, frets[s]);
        }
        const qint16 lowestClass = PitchClass::ofNote(lowest);
        if (bass >= 0) {
            if (lowestClass != bass)
                return;
            // A bass from outside the chord sounds only as the bass.
            if (foreignBass) {
                for (int s = 0; s < strings; ++s) {
                    if (frets[s] >= 0 && pitchClassAt(s, frets[s]) == bass &&
                        board.note(s, frets[s]) != lowest)
                        return;
                }
            }
        } else if (!anyBass && lowestClass != root) {
            // Without its root a voicing may stand on any of its tones.
            if (!options.rootless || (covered & intervalBit(root)) != 0)
                return;
        }
        QList<qint16> fretList(frets.begin(), frets.begin() + strings);
        const std::optional<QList<qint8>> fingers =
            Fingering::of(fretList, options.span, board.tuning().thumbOverLowest());
        if (!fingers)
            return;
        found << Voicing::of(board, fretList, *fingers, root);
    }
};

} // namespace

QList<Voicing> VoicingGenerator::generate(const ChordTones& chord, const Fretboard& board,
                                          const Options& options) {
    Search search(board, options);
    search.strings = board.stringCount();
    search.minSounding = std::min(minSounding, search.strings);
    search.root = PitchClass::mod12(chord.root);
    // From intervals above the root to pitch classes.
    const int up = PitchClass::count - search.root;
    IntervalSet required = chord.required;
    if (options.rootless)
        required &= IntervalSet(~intervalBit(0));
    search.required = rotateDown(required, up);
    search.chord = rotateDown(IntervalSet(chord.required | chord.optional | intervalBit(0)), up);
    search.bass = chord.bass;
    search.foreignBass = chord.bass >= 0 && (search.chord & intervalBit(chord.bass)) == 0;
    search.anyBass = options.inversions || board.tuning().reentrant();

    IntervalSet soundable = search.chord;
    if (chord.bass >= 0)
        soundable |= intervalBit(chord.bass);
    const int lowFret = std::max(1, options.lowFret);
    const int highFret = std::min(options.highFret, board.highestFret());
    for (int s = 0; s < search.strings; ++s) {
        std::vector<int>& c = search.candidates[s];
        c.push_back(Fretboard::muted);
        if (options.openStrings && (soundable & intervalBit(search.pitchClassAt(s, 0))))
            c.push_back(0);
        for (int fret = lowFret; fret <= highFret; ++fret) {
            if (board.playable(s, fret) && (soundable & intervalBit(search.pitchClassAt(s, fret))))
                c.push_back(fret);
        }
    }
    search.visit(0, Tuning::highestNote, 0, 0, 0);
    const VoicingRanker ranker(board, chord, options);
    for (Voicing& v : search.found)
        ranker.rank(v);
    std::sort(search.found.begin(), search.found.end(), easierFirst);
    return search.found;
}

bool VoicingGenerator::easierFirst(const Voicing& a, const Voicing& b) {
    const auto key = [](const Voicing& v) {
        return std::tuple(v.score, -v.soundingStrings(), !v.rootPosition(), v.position);
    };
    const auto ka = key(a);
    const auto kb = key(b);
    return ka < kb || (ka == kb && a.frets < b.frets);
}
