#include "catalogue/ChordFinder.h"

#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordNamer.h"
#include "catalogue/ChordSymbol.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordTypeTable.h"
#include "catalogue/PitchClass.h"
#include "catalogue/Playability.h"

#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace {

constexpr int stringCount = 6;

using PitchClass::mod12;

// The relative frets of an entry, low E first; -1 for "x".
std::array<qint16, stringCount> relativeFrets(const char* pattern) {
    std::array<qint16, stringCount> frets;
    frets.fill(-1);
    int string = 0;
    int value = -1;
    for (const char* p = pattern;; ++p) {
        if (*p >= '0' && *p <= '9') {
            value = (value < 0 ? 0 : value * 10) + (*p - '0');
        } else if (*p == '-' || *p == '\0') {
            if (string < stringCount)
                frets[string++] = qint16(value);
            value = -1;
            if (*p == '\0')
                break;
        }
    }
    return frets;
}

QList<ChordFinder::Voicing> buildVoicings() {
    QList<ChordFinder::Voicing> all;
    all.reserve(ChordCatalogue::entryCount * PitchClass::count);
    const auto& open = ChordTheory::standardOpenStringNotes;
    int n = 0;
    for (const ChordEntry& entry : ChordCatalogue::entries()) {
        ++n;
        const auto relative = relativeFrets(entry.fretPattern);
        const int score = Playability::of(QString::fromLatin1(entry.fretPattern),
                                          QString::fromLatin1(entry.fingering))
                              .score();
        int first = 0;
        while (first < stringCount && relative[first] < 0)
            ++first;
        const int sounded = first < stringCount ? relative[first] + open[first] : 0;
        for (qint16 pitch = 0; pitch < PitchClass::count; ++pitch) {
            ChordFinder::Voicing v;
            v.entry = n;
            v.pitch = pitch;
            v.score = score;
            // The window's rule: the smallest upward shift that makes the lowest sounding
            // string sound the Pitch.
            const int shift = mod12(pitch - sounded);
            for (int s = 0; s < stringCount; ++s) {
                if (relative[s] < 0) {
                    v.frets[s] = -1;
                    continue;
                }
                v.frets[s] = qint16(relative[s] + shift);
                v.notes << qint16(open[s] + v.frets[s]);
            }
            v.pitchClasses = ChordNamer::pitchClassSet(v.notes);
            v.lowestPitchClass = ChordNamer::lowestPitchClass(v.notes);
            v.topPitchClass =
                v.notes.isEmpty()
                    ? 0
                    : PitchClass::ofNote(*std::max_element(v.notes.begin(), v.notes.end()));
            all << v;
        }
    }
    return all;
}

// The fret where the hand stands: the lowest fretted fret (0 when only open strings sound).
int handPosition(const ChordFinder::Voicing& v) {
    int lowest = 0;
    for (const qint16 fret : v.frets) {
        if (fret > 0 && (lowest == 0 || fret < lowest))
            lowest = fret;
    }
    return lowest;
}

int nearestDistance(int note, const QList<qint16>& notes) {
    int best = -1;
    for (const qint16 other : notes) {
        const int d = std::abs(note - other);
        if (best < 0 || d < best)
            best = d;
    }
    return best < 0 ? 0 : best;
}

} // namespace

std::optional<ChordFinder::ChordName> ChordFinder::parseChordName(QStringView text,
                                                                  QString* error) {
    auto fail = [&](const QString& message) -> std::optional<ChordName> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const QString whole = text.toString();
    if (!ChordTheory::parseNoteName(text.left(1)))
        return fail(QStringLiteral("no root note (A to G) at the start of '%1'").arg(whole));

    QString symbolError;
    if (ChordSymbol::isAmbiguous(text)) {
        ChordSymbol::parse(text, &symbolError);
        return fail(symbolError);
    }
    ChordName name;
    QStringView head = text;
    const qsizetype slash = text.lastIndexOf(u'/');
    if (slash > 0) {
        if (const auto bass = ChordTheory::parseNoteName(text.mid(slash + 1))) {
            name.bass = *bass;
            head = text.left(slash);
        }
    }
    // A root with an accidental wins when the rest is a known type ("Bb7"); else the plain
    // letter does.
    for (const qsizetype rootLength : {2, 1}) {
        const std::optional<qint16> root = head.size() >= rootLength
                                               ? ChordTheory::parseNoteName(head.left(rootLength))
                                               : std::nullopt;
        if (!root)
            continue; // no accidental after the letter
        QString typeText = head.mid(rootLength).toString();
        // "6/9" is the six-nine chord the catalogue writes "6\9".
        typeText.replace(QStringLiteral("6/9"), QStringLiteral("6\\9"));
        const QString key = ChordNamer::canonicalKey(typeText);
        if (ChordNamer::isKnownKey(key)) {
            name.root = *root;
            name.key = key;
            if (name.bass == name.root)
                name.bass = -1; // "C/C" is C
            return name;
        }
    }
    // A chord symbol in another spelling: the catalogue type of the same chord with its
    // root in the bass, the first in table order ("7" before "7(no5th)").
    const std::optional<ChordSymbol> symbol = ChordSymbol::parse(text, &symbolError);
    if (!symbol)
        return fail(symbolError);
    name.root = symbol->root();
    name.bass = symbol->bass();
    name.key.clear();
    for (const ChordType& type : ChordTypeTable::types()) {
        if (type.formula == &symbol->formula() && type.bass == 0 && !type.rootless()) {
            name.key = ChordNamer::canonicalKey(type.prefix);
            break;
        }
    }
    return name;
}

QString ChordFinder::Voicing::fretNumbers() const {
    QStringList marks;
    for (const qint16 fret : frets)
        marks << (fret < 0 ? QStringLiteral("x") : QString::number(fret));
    return marks.join(QLatin1Char('-'));
}

const QList<ChordFinder::Voicing>& ChordFinder::voicings() {
    static const QList<Voicing> all = buildVoicings();
    return all;
}

const ChordFinder::Voicing& ChordFinder::voicing(int entry, qint16 pitch) {
    if (entry < 1 || entry > ChordCatalogue::entryCount || pitch < 0 || pitch >= PitchClass::count)
        throw Failure::subscriptOutOfRange();
    return voicings()[(entry - 1) * PitchClass::count + pitch];
}

QString ChordFinder::windowName(const Voicing& voicing) {
    const ChordEntry& entry = ChordCatalogue::entry(voicing.entry);
    const ChordTheory::PlacedChord placed = ChordTheory::placeChord(
        QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), voicing.pitch);
    return ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType), voicing.pitch,
                                         placed.rootShift);
}

QList<ChordFinder::Found> ChordFinder::find(const Query& query) {
    QList<Found> found;
    for (const Voicing& v : voicings()) {
        if (query.notes && v.pitchClasses != *query.notes)
            continue;
        if (query.strings && v.soundingStrings() != *query.strings)
            continue;
        if (query.top && v.topPitchClass != *query.top)
            continue;
        if (query.lowFret || query.highFret) {
            bool inside = true;
            for (const qint16 fret : v.frets) {
                if (fret < 0)
                    continue;
                if ((query.lowFret && fret < *query.lowFret) ||
                    (query.highFret && fret > *query.highFret))
                    inside = false;
            }
            if (!inside)
                continue;
        }
        if (query.chord && !ChordNamer::fits(v.pitchClasses, v.lowestPitchClass, query.chord->root,
                                             query.chord->key, query.chord->bass, query.rootless))
            continue;
        Found f{&v, query.near ? voiceLeadingDistance(*query.near, v) : 0, false};
        if (query.chord) {
            const auto named = parseChordName(windowName(v));
            f.namedAsAsked = named && named->root == query.chord->root &&
                             named->key == query.chord->key && named->bass == query.chord->bass;
        }
        found << f;
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tuple(a.distance, a.voicing->score, !a.namedAsAsked) <
               std::tuple(b.distance, b.voicing->score, !b.namedAsAsked);
    });
    return found;
}

int ChordFinder::voiceLeadingDistance(const Voicing& from, const Voicing& to) {
    const auto& open = ChordTheory::standardOpenStringNotes;
    std::array<int, stringCount> fromNotes{};
    std::array<int, stringCount> toNotes{};
    for (int s = 0; s < stringCount; ++s) {
        fromNotes[s] = from.frets[s] < 0 ? -1 : open[s] + from.frets[s];
        toNotes[s] = to.frets[s] < 0 ? -1 : open[s] + to.frets[s];
    }
    return voiceLeadingDistance(fromNotes, handPosition(from), toNotes, handPosition(to));
}

int ChordFinder::voiceLeadingDistance(std::span<const int> fromNotes, int fromPosition,
                                      std::span<const int> toNotes, int toPosition) {
    QList<qint16> fromSounding;
    QList<qint16> toSounding;
    for (const int note : fromNotes) {
        if (note >= 0)
            fromSounding << qint16(note);
    }
    for (const int note : toNotes) {
        if (note >= 0)
            toSounding << qint16(note);
    }
    int distance = std::abs(fromPosition - toPosition);
    const size_t strings = std::max(fromNotes.size(), toNotes.size());
    for (size_t s = 0; s < strings; ++s) {
        const int a = s < fromNotes.size() ? fromNotes[s] : -1;
        const int b = s < toNotes.size() ? toNotes[s] : -1;
        if (a >= 0 && b >= 0)
            distance += std::abs(a - b);
        else if (a >= 0)
            distance += nearestDistance(a, toSounding);
        else if (b >= 0)
            distance += nearestDistance(b, fromSounding);
    }
    return distance;
}
