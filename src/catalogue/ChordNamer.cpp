#include "catalogue/ChordNamer.h"

#include "base/WholeNumber.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordTypeTable.h"
#include "catalogue/ChordVocabulary.h"
#include "catalogue/PitchClass.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <optional>
#include <tuple>
#include <vector>

namespace {

using PitchClass::mod12;

bool tonesFit(IntervalSet relative, const ChordType& type) {
    return (relative & type.required) == type.required && (relative & type.forbidden()) == 0;
}

struct KeyIndex {
    QHash<QString, std::vector<const ChordType*>> rowsByKey;
};

const KeyIndex& keyIndex() {
    static const KeyIndex index = [] {
        KeyIndex k;
        const auto types = ChordTypeTable::types();
        for (const ChordType& type : types) {
            const QString key = ChordNamer::canonicalKey(type.prefix);
            k.rowsByKey[key].push_back(&type);
        }
        return k;
    }();
    return index;
}

// Replaces `from` at the start of `text` by `to` when it is followed by a digit (or, with
// `alone`, when nothing follows).
bool replaceLead(QString& text, qsizetype at, const QString& from, const QString& to,
                 bool beforeDigit, bool alone) {
    if (!QStringView(text).mid(at).startsWith(from))
        return false;
    const qsizetype after = at + from.size();
    const bool atEnd = after == text.size();
    const bool digitNext = !atEnd && text[after].isDigit();
    if ((beforeDigit && digitNext) || (alone && atEnd)) {
        text.replace(at, from.size(), to);
        return true;
    }
    return false;
}

// A reading with what ranks it among the others.
struct Ranked {
    ChordNamer::Reading reading;
    int omissions = 0; // optional tones of the chord that do not sound
    int requiredCount = 0;
    int rootHeight = 0; // how many notes sound below the lowest root: F6/C before Dm7/C
    size_t index = 0;   // in the vocabulary

    static Ranked of(const ChordFormula& f, size_t index, IntervalSet sounding, qint16 root,
                     const QList<qint16>& lowToHigh, bool bassAdded, bool rootSounds) {
        const qint16 bass = PitchClass::ofNote(lowToHigh.first());
        Ranked r;
        r.reading.root = root;
        r.reading.bass = bass;
        r.reading.formula = &f;
        r.reading.rootSounds = rootSounds;
        r.reading.bassAdded = bassAdded;
        r.reading.name = ChordTheory::PitchNames[root] + f.symbol;
        if (bass != root)
            r.reading.name += QLatin1Char('/') + ChordTheory::PitchNames[bass];
        r.omissions = std::popcount(unsigned(f.optional & ~sounding));
        r.requiredCount = std::popcount(unsigned(f.required));
        r.rootHeight = int(lowToHigh.size());
        for (qsizetype i = 0; i < lowToHigh.size(); ++i) {
            if (PitchClass::ofNote(lowToHigh[i]) == root) {
                r.rootHeight = int(i);
                break;
            }
        }
        r.index = index;
        return r;
    }

    // The better of two readings of one root: the plainer chord, the fewer tones left out,
    // the simpler chord.
    auto rootKey() const {
        return std::tuple(int(reading.formula->kind), omissions, requiredCount, index);
    }
    // Rank among all readings (see ChordNamer::readings()).
    auto key() const {
        const ChordFormula& f = *reading.formula;
        const bool rootInBass = reading.root == reading.bass;
        // A triad (C, Cm, Csus4, Cdim, Caug, C5) reads best in any inversion.
        const bool triad =
            f.kind == ChordFormula::Kind::Common && std::popcount(unsigned(f.tones())) <= 3;
        int place;
        if (f.kind == ChordFormula::Kind::Exotic)
            place = 6;
        else if (f.kind == ChordFormula::Kind::Added)
            place = 5;
        else if ((triad && !reading.bassAdded) ||
                 (rootInBass && f.kind == ChordFormula::Kind::Common))
            place = 0; // C6, Cmaj7; a triad in any inversion (C/G before G6sus4)
        else if (rootInBass)
            place = 2; // Dm11 before G7sus4/D
        else if (!reading.bassAdded || triad)
            place = 3; // C7/G, C/D
        else
            place = 4; // D7/F
        return std::tuple(reading.rootSounds ? 0 : 1, place, rootInBass ? 0 : 1, omissions,
                          int(f.kind), rootHeight, requiredCount, index, reading.root);
    }
};

void keepBetter(std::optional<Ranked>& best, const Ranked& candidate) {
    if (!best || candidate.rootKey() < best->rootKey())
        best = candidate;
}

// Whether `relative` (without the root) may be the chord `f` with its root left out: a
// sixth or seventh chord of four tones or more, every other required tone sounding, and at
// least three notes.
bool mayLeaveOutItsRoot(const ChordFormula& f, IntervalSet relative) {
    const IntervalSet sixthOrSeventh = intervalBit(9) | intervalBit(10) | intervalBit(11);
    return f.kind != ChordFormula::Kind::Exotic && std::popcount(unsigned(f.tones())) >= 4 &&
           (f.required & sixthOrSeventh) && std::popcount(unsigned(relative)) >= 3 &&
           f.fits(IntervalSet(relative | 1));
}

} // namespace

QString ChordNamer::canonicalKey(QStringView typeText) {
    QString key = typeText.toString();
    // Minor: "min", "mi" and a leading "-" all mean "m" ("maj" and "ma" are not minor).
    if (key.startsWith(QLatin1String("min")))
        key.replace(0, 3, QStringLiteral("m"));
    else if (key.startsWith(QLatin1String("mi")))
        key.replace(0, 2, QStringLiteral("m"));
    else if (key.startsWith(QLatin1Char('-')))
        key.replace(0, 1, QStringLiteral("m"));
    // Major seventh and up: "maj", "ma", "Δ" before a number are "M", after an optional
    // minor "m" too ("mmaj7" is "mM7").
    const qsizetype at =
        key.startsWith(QLatin1Char('m')) && !key.startsWith(QLatin1String("ma")) ? 1 : 0;
    for (const char* major : {"maj", "ma", "\u0394", "M"}) {
        const QString from = QString::fromUtf8(major);
        if (replaceLead(key, at, from, QStringLiteral("M"), true, false))
            break;
        // Alone, a major mark is the major triad ("CM", "Cmaj", "CΔ").
        if (at == 0 && replaceLead(key, 0, from, QStringLiteral("maj"), false, true))
            break;
    }
    key.replace(QStringLiteral("\u00f87"), QStringLiteral("m7b5"));
    key.replace(QChar(0x00f8), QStringLiteral("m7b5"));
    key.replace(QChar(0x00d8), QStringLiteral("m7b5"));
    key.replace(QChar(0x00b0), QStringLiteral("dim"));
    if (key == QLatin1String("o") || key == QLatin1String("o7"))
        key.replace(0, 1, QStringLiteral("dim"));
    if (key == QLatin1String("+"))
        key = QStringLiteral("aug");
    key.replace(QStringLiteral("(+11)"), QStringLiteral("#11"));
    key.replace(QStringLiteral("+11"), QStringLiteral("#11"));
    key.replace(QChar(0x266f), QLatin1Char('#'));
    key.replace(QChar(0x266d), QLatin1Char('b'));
    if (key.endsWith(QLatin1String("sus")))
        key += QLatin1Char('4');
    if (key.isEmpty())
        key = QStringLiteral("maj");
    return key;
}

bool ChordNamer::isKnownKey(const QString& key) {
    return keyIndex().rowsByKey.contains(key);
}

IntervalSet ChordNamer::pitchClassSet(const QList<qint16>& notes) {
    IntervalSet set = 0;
    for (const qint16 note : notes)
        set |= intervalBit(note);
    return set;
}

qint16 ChordNamer::lowestPitchClass(const QList<qint16>& notes) {
    if (notes.isEmpty())
        return 0;
    return PitchClass::ofNote(*std::min_element(notes.begin(), notes.end()));
}

bool ChordNamer::fits(IntervalSet pitchClasses, qint16 lowestPitchClass, qint16 root,
                      const QString& key, qint16 bass, bool withRootless) {
    const auto rows = keyIndex().rowsByKey.constFind(key);
    if (rows == keyIndex().rowsByKey.cend())
        return false;
    if (bass >= 0 && lowestPitchClass != bass)
        return false;
    const IntervalSet relative = rotateDown(pitchClasses, root);
    const qint16 bassAbove = mod12(lowestPitchClass - root);
    // Over a bass outside the chord (Am/G) the chord's tones sound above the added bass.
    const IntervalSet upper = rotateDown(pitchClasses & ~intervalBit(lowestPitchClass), root);
    for (const ChordType* type : *rows) {
        if (bass >= 0 && type->bass == 0 && (intervalBit(bassAbove) & type->optional) == 0 &&
            (intervalBit(bassAbove) & type->required) == 0 && tonesFit(upper, *type) &&
            (!type->rootless() || withRootless))
            return true;
        if (!tonesFit(relative, *type))
            continue;
        if (type->rootless()) {
            if (withRootless)
                return true;
            continue;
        }
        // The root sounds: a plain name wants it in the bass; a slash name is met by the
        // row's own bass or by a root-position row over another of its tones.
        if (bass < 0 ? bassAbove == 0 && type->bass == 0
                     : bassAbove != 0 && (type->bass == bassAbove || type->bass == 0))
            return true;
    }
    return false;
}

QList<ChordNamer::Reading> ChordNamer::readings(const QList<qint16>& notes, bool withRootless) {
    if (notes.isEmpty())
        return {};
    const IntervalSet pitchClasses = pitchClassSet(notes);
    const qint16 lowest = lowestPitchClass(notes);
    QList<qint16> lowToHigh = notes;
    std::sort(lowToHigh.begin(), lowToHigh.end());
    // The notes above the lowest one; a bass that sounds only there may be a foreign bass.
    const IntervalSet upper = pitchClassSet(lowToHigh.mid(1));
    const bool bassAlone = (upper & intervalBit(lowest)) == 0;
    const auto formulas = ChordVocabulary::formulas();

    std::vector<Ranked> found;
    for (qint16 root = 0; root < PitchClass::count; ++root) {
        const IntervalSet relative = rotateDown(pitchClasses, root);
        const qint16 bassAbove = mod12(lowest - root);
        std::optional<Ranked> rooted, overForeignBass, rootless;
        for (size_t index = 0; index < formulas.size(); ++index) {
            const ChordFormula& f = formulas[index];
            if (relative & 1) {
                if (f.fits(relative))
                    keepBetter(rooted,
                               Ranked::of(f, index, relative, root, lowToHigh, false, true));
                if (bassAbove != 0 && bassAlone && (upper & intervalBit(root)) &&
                    !(f.tones() & intervalBit(bassAbove)) && f.fits(rotateDown(upper, root)))
                    keepBetter(overForeignBass, Ranked::of(f, index, rotateDown(upper, root), root,
                                                           lowToHigh, true, true));
            } else if (withRootless && mayLeaveOutItsRoot(f, relative)) {
                keepBetter(rootless,
                           Ranked::of(f, index, relative | 1, root, lowToHigh, false, false));
            }
        }
        // A chord over one of its tensions gives way to the triad above a foreign bass:
        // C/D, not Cadd9/D (but D7#9/F stays).
        const bool triadAbove =
            overForeignBass &&
            std::popcount(unsigned(overForeignBass->reading.formula->tones())) <= 3;
        if (rooted &&
            (bassAbove == 0 || !rooted->reading.formula->isTension(bassAbove) || !triadAbove))
            found.push_back(*rooted);
        else if (overForeignBass)
            found.push_back(*overForeignBass);
        else if (rootless)
            found.push_back(*rootless);
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Ranked& a, const Ranked& b) { return a.key() < b.key(); });
    QList<Reading> result;
    for (const Ranked& r : found)
        result << r.reading;
    return result;
}

std::optional<QList<qint16>> ChordNamer::notesOfFrets(QStringView frets, QString* error) {
    auto fail = [&](const QString& message) -> std::optional<QList<qint16>> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const QList<QStringView> marks = frets.split(u'-');
    if (marks.size() != int(ChordTheory::standardOpenStringNotes.size()))
        return fail(QStringLiteral("frets '%1' are not six marks joined by '-' (low E first, "
                                   "e.g. x-3-2-0-1-0)")
                        .arg(frets.toString()));
    QList<qint16> notes;
    for (qsizetype i = 0; i < marks.size(); ++i) {
        const QStringView mark = marks[i];
        if (mark == u"x" || mark == u"X")
            continue;
        if (!ChordTheory::isFretMark(mark))
            return fail(QStringLiteral("'%1' in '%2' is no fret (0 to %3 or x)")
                            .arg(mark.toString(), frets.toString(), QString::number(highestFret)));
        const std::optional<int> fret = WholeNumber::parse(mark, 0, highestFret);
        if (!fret)
            return fail(QStringLiteral("fret %1 in '%2' is over %3")
                            .arg(mark.toString(), frets.toString(), QString::number(highestFret)));
        notes << qint16(ChordTheory::standardOpenStringNotes[i] + *fret);
    }
    if (notes.isEmpty())
        return fail(QStringLiteral("no string sounds in '%1'").arg(frets.toString()));
    return notes;
}

QString ChordNamer::intervalText(const Reading& reading, const QList<qint16>& notes) {
    QStringList names;
    for (const qint16 note : notes)
        names << reading.formula->intervalName(note - reading.root);
    return names.join(QLatin1Char('-'));
}
