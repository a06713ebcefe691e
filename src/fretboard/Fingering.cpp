#include "fretboard/Fingering.h"

#include "catalogue/Playability.h"
#include "fretboard/Tuning.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <limits>
#include <span>

namespace {

constexpr int index = 1;
constexpr int thumb = Playability::thumbFinger;
// How far the thumb may stand from the index, in frets, either way.
constexpr int thumbReach = 1;

using Frets = std::array<int, Tuning::maxStrings>;

struct Note {
    int string;
    int fret;
};

// Fretted strings, sorted by fret and then by string; a small fixed list, as this runs for
// every candidate voicing.
struct Notes {
    std::array<Note, Tuning::maxStrings> items{};
    int count = 0;

    const Note* begin() const { return items.data(); }
    const Note* end() const { return items.data() + count; }
    bool empty() const { return count == 0; }
    int size() const { return count; }
    const Note& operator[](int i) const { return items[size_t(i)]; }
    const Note& front() const { return items[0]; }
    // Keeps the order by fret, strings in the order they come.
    void add(Note n) {
        int at = count++;
        while (at > 0 && items[size_t(at - 1)].fret > n.fret) {
            items[size_t(at)] = items[size_t(at - 1)];
            --at;
        }
        items[size_t(at)] = n;
    }
};

struct Search {
    Frets frets{};
    int strings = 0;
    int span = Fingering::defaultSpan;
    int reach = 1;
    Frets best{};
    int bestScore = std::numeric_limits<int>::max();

    void consider(const Frets& fingers) {
        const int score = Playability::of(std::span<const int>(frets.data(), size_t(strings)),
                                          std::span<const int>(fingers.data(), size_t(strings)))
                              .score();
        if (score < bestScore) {
            bestScore = score;
            best = fingers;
        }
    }

    // What one finger stops: a string, or neighbouring strings at the shape's highest fret
    // under a finger laid flat (the ring finger of x-1-3-3-3-1).
    struct Unit {
        int fret;
        int firstString;
        int lastString;
    };
    using Units = std::array<Unit, Tuning::maxStrings>;

    // One unit a note, or (`flat`) with the notes of the highest fret on neighbouring
    // strings joined; the count of units, 0 when `flat` joins nothing.
    static int unitsOf(const Notes& notes, bool flat, Units& units) {
        const int top = notes[notes.size() - 1].fret;
        int count = 0;
        bool joined = false;
        for (const Note& n : notes) {
            if (flat && n.fret == top && count > 0 && units[size_t(count - 1)].fret == top &&
                units[size_t(count - 1)].lastString + 1 == n.string) {
                units[size_t(count - 1)].lastString = n.string;
                joined = true;
                continue;
            }
            units[size_t(count++)] = {n.fret, n.string, n.string};
        }
        return flat && !joined ? 0 : count;
    }

    // Gives `notes` (sorted by fret, then string) fingers from `first` to 4, rising with
    // the fret, in every way the reach allows; `fingers` holds what is already placed,
    // `indexFret` the fret of a barring index (0 for none).
    void assign(const Notes& notes, int first, Frets fingers, int indexFret) {
        // A barre that holds every note leaves nothing to place: the fingering is complete.
        if (notes.empty()) {
            consider(fingers);
            return;
        }
        Units units{};
        for (const bool flat : {false, true}) {
            const int count = unitsOf(notes, flat, units);
            if (count > 0)
                assignUnits(units, count, first, fingers, indexFret);
        }
    }

    void assignUnits(const Units& units, int count, int first, const Frets& fingers,
                     int indexFret) {
        const int available = Fingering::fingerCount - first + 1;
        if (count > available)
            return;
        // Every rising choice of `count` fingers out of first..4, as a bit mask.
        for (unsigned mask = 0; mask < (1u << available); ++mask) {
            if (std::popcount(mask) != count)
                continue;
            std::array<int, Fingering::fingerCount> chosen{};
            int k = 0;
            for (int f = 0; f < available; ++f) {
                if (mask & (1u << f))
                    chosen[size_t(k++)] = first + f;
            }
            bool fits = true;
            for (int i = 0; i < count && fits; ++i) {
                const int fret = units[size_t(i)].fret;
                // The index's barre, then every lower finger already chosen.
                if (indexFret > 0 && fret - indexFret > chosen[size_t(i)] - index + reach)
                    fits = false;
                for (int j = 0; j < i && fits; ++j) {
                    if (fret - units[size_t(j)].fret >
                        chosen[size_t(i)] - chosen[size_t(j)] + reach)
                        fits = false;
                }
            }
            if (!fits)
                continue;
            Frets placed = fingers;
            for (int i = 0; i < count; ++i) {
                for (int s = units[size_t(i)].firstString; s <= units[size_t(i)].lastString; ++s)
                    placed[size_t(s)] = chosen[size_t(i)];
            }
            consider(placed);
        }
    }

    // The notes left for the fingers once the thumb took what it takes.
    void fingersFor(const Notes& notes, const Frets& fingers) {
        if (notes.empty()) {
            consider(fingers);
            return;
        }
        assign(notes, index, fingers, 0);
        // The index barres the lowest fret over a run of neighbouring strings that sound at
        // or above it: the run must hold two notes of that fret, and whatever it does not
        // cover goes to the other fingers, above the barre.
        const int barreFret = notes.front().fret;
        for (int lo = 0; lo < strings; ++lo) {
            if (frets[lo] != barreFret || fingers[lo] != 0)
                continue;
            int hi = lo;
            while (hi + 1 < strings && frets[hi + 1] >= barreFret && fingers[hi + 1] == 0)
                ++hi;
            int covered = 0;
            Frets barred = fingers;
            for (int s = lo; s <= hi; ++s) {
                if (frets[s] == barreFret) {
                    barred[s] = index;
                    ++covered;
                }
            }
            if (covered >= 2) {
                Notes rest;
                bool above = true;
                for (const Note& n : notes) {
                    if (barred[n.string] == index)
                        continue;
                    above = above && n.fret > barreFret;
                    rest.add(n);
                }
                if (above)
                    assign(rest, index + 1, barred, barreFret);
            }
            lo = hi; // the next run starts past this one
        }
    }
};

} // namespace

int Fingering::extraReach(int span) {
    return std::max(1, span - 3);
}

std::optional<QList<qint8>> Fingering::of(const QList<qint16>& frets, int span,
                                          bool thumbOverLowest) {
    Search search;
    search.strings = int(std::min<qsizetype>(frets.size(), Tuning::maxStrings));
    search.span = span;
    search.reach = extraReach(span);
    Notes notes;
    int lowest = std::numeric_limits<int>::max();
    int highest = 0;
    for (int s = 0; s < search.strings; ++s) {
        search.frets[s] = frets[s];
        if (frets[s] > 0) {
            notes.add({s, frets[s]});
            lowest = std::min(lowest, int(frets[s]));
            highest = std::max(highest, int(frets[s]));
        }
    }
    if (!notes.empty() && highest - lowest + 1 > span)
        return std::nullopt;
    const Frets none{};
    search.fingersFor(notes, none);
    // The thumb over the lowest string, when that string is fretted near the index.
    if (thumbOverLowest && search.strings > 0 && frets[0] > 0) {
        Notes rest;
        for (const Note& n : notes) {
            if (n.string != 0)
                rest.add(n);
        }
        if (rest.empty() || std::abs(frets[0] - rest.front().fret) <= thumbReach) {
            Frets withThumb{};
            withThumb[0] = thumb;
            search.fingersFor(rest, withThumb);
        }
    }
    if (search.bestScore == std::numeric_limits<int>::max())
        return std::nullopt;
    QList<qint8> fingers;
    for (int s = 0; s < frets.size(); ++s)
        fingers << qint8(s < search.strings ? search.best[s] : 0);
    return fingers;
}

QString Fingering::text(const QList<qint16>& frets, const QList<qint8>& fingers) {
    QStringList marks;
    for (qsizetype s = 0; s < frets.size(); ++s) {
        const int finger = s < fingers.size() ? fingers[s] : 0;
        if (frets[s] < 0)
            marks << QStringLiteral("x");
        else if (finger == thumb)
            marks << QStringLiteral("T");
        else
            marks << QString::number(frets[s] == 0 ? 0 : finger);
    }
    return marks.join(QLatin1Char('-'));
}
