#include "catalogue/ChordNamer.h"

#include "base/WholeNumber.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordTypeTable.h"
#include "catalogue/PitchClass.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <vector>

namespace {

using PitchClass::mod12;

bool tonesFit(IntervalSet relative, const ChordType& type) {
    return (relative & type.required) == type.required && (relative & type.forbidden()) == 0;
}

// The major triad over another bass is written without its "maj", as the window names
// slash triads ("C/E"); every other type keeps its text.
QString slashPrefix(const ChordType& type) {
    return type.prefix == QLatin1String("maj") ? QString() : type.prefix;
}

int countOf(const QString& text, const char* part) {
    return int(text.count(QLatin1String(part)));
}

struct KeyIndex {
    QHash<QString, std::vector<const ChordType*>> rowsByKey;
    std::vector<QString> keyOfRow; // by position in the table
};

const KeyIndex& keyIndex() {
    static const KeyIndex index = [] {
        KeyIndex k;
        const auto types = ChordTypeTable::types();
        for (const ChordType& type : types) {
            const QString key = ChordNamer::canonicalKey(type.prefix);
            k.rowsByKey[key].push_back(&type);
            k.keyOfRow.push_back(key);
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
    struct Ranked {
        Reading reading;
        int rootless;
        int rootAbove;
        int requiredCount;
        qsizetype textLength;
        qsizetype row;
    };
    std::vector<Ranked> found;
    if (notes.isEmpty())
        return {};
    const IntervalSet pitchClasses = pitchClassSet(notes);
    const qint16 lowest = lowestPitchClass(notes);
    const auto types = ChordTypeTable::types();
    const KeyIndex& index = keyIndex();

    for (qint16 root = 0; root < PitchClass::count; ++root) {
        const IntervalSet relative = rotateDown(pitchClasses, root);
        const qint16 bassAbove = mod12(lowest - root);
        for (size_t row = 0; row < types.size(); ++row) {
            const ChordType& type = types[row];
            if (!tonesFit(relative, type))
                continue;
            if (type.rootless() && !withRootless)
                continue;
            // A slash row only reads over its own bass; root-position and rootless rows over
            // any tone.
            if (!type.rootless() && type.bass != bassAbove && type.bass != 0)
                continue;
            Reading r;
            r.root = root;
            r.bass = lowest;
            r.type = &type;
            r.key = index.keyOfRow[row];
            r.rootSounds = !type.rootless();
            const bool exact = type.bass == bassAbove;
            r.name = ChordTheory::PitchNames[root] + (exact ? type.prefix : slashPrefix(type));
            if (bassAbove != 0)
                r.name += QLatin1Char('/') + ChordTheory::PitchNames[lowest];
            r.omissions = std::popcount(unsigned(type.optional & ~relative)) +
                          countOf(type.chordType, "(no") + countOf(type.chordType, "add");
            found.push_back({r, r.rootSounds ? 0 : 1, bassAbove == 0 ? 0 : 1,
                             std::popcount(unsigned(type.required)), type.chordType.size(),
                             qsizetype(row)});
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Ranked& a, const Ranked& b) {
        return std::tie(a.rootless, a.reading.omissions, a.rootAbove, a.requiredCount, a.textLength,
                        a.row) < std::tie(b.rootless, b.reading.omissions, b.rootAbove,
                                          b.requiredCount, b.textLength, b.row);
    });
    QList<Reading> result;
    QHash<QString, bool> seen;
    for (const Ranked& r : found) {
        if (seen.contains(r.reading.name))
            continue;
        seen.insert(r.reading.name, true);
        result << r.reading;
    }
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
                            .arg(mark.toString(), frets.toString())
                            .arg(highestFret));
        const std::optional<int> fret = WholeNumber::parse(mark, 0, highestFret);
        if (!fret)
            return fail(QStringLiteral("fret %1 in '%2' is over %3")
                            .arg(mark.toString(), frets.toString())
                            .arg(highestFret));
        notes << qint16(ChordTheory::standardOpenStringNotes[i] + *fret);
    }
    if (notes.isEmpty())
        return fail(QStringLiteral("no string sounds in '%1'").arg(frets.toString()));
    return notes;
}

QString ChordNamer::intervalText(const Reading& reading, const QList<qint16>& notes) {
    QStringList names;
    for (const qint16 note : notes)
        names << reading.type->intervalName(note - reading.root);
    return names.join(QLatin1Char('-'));
}
