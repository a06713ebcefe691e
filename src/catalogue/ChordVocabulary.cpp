#include "catalogue/ChordVocabulary.h"

#include "catalogue/ChordTheory.h"

#include <QHash>
#include <vector>

namespace {

using Kind = ChordFormula::Kind;

// Intervals are written as chord books spell them above the root ("+11" is "#11"; the
// diminished seventh is spelled 6, as the catalogue spells it). The fifth is optional where
// players leave it out of sevenths and extended chords; the ninth of an eleventh or
// thirteenth chord is optional too. The chord-book 11 keeps its third (R 3 b7 11); without
// the third the same notes are a 9sus4. A thirteenth leaves the eleventh out, a minor
// thirteenth may keep it.
struct Entry {
    const char* symbol;
    const char* required;
    const char* optional;
    Kind kind;
};

const Entry namedChords[] = {
    // The everyday chords.
    {"", "R 3 5", "", Kind::Common},
    {"m", "R b3 5", "", Kind::Common},
    {"5", "R 5", "", Kind::Common},
    {"7", "R 3 b7", "5", Kind::Common},
    {"maj7", "R 3 7", "5", Kind::Common},
    {"m7", "R b3 b7", "5", Kind::Common},
    {"6", "R 3 6", "5", Kind::Common},
    {"m6", "R b3 6", "5", Kind::Common},
    {"add9", "R 3 9", "5", Kind::Common},
    {"sus2", "R 2 5", "", Kind::Common},
    {"sus4", "R 4 5", "", Kind::Common},
    {"7sus4", "R 4 b7", "5", Kind::Common},
    {"9", "R 3 b7 9", "5", Kind::Common},
    {"11", "R 3 b7 11", "5 9", Kind::Common},
    {"13", "R 3 b7 13", "5 9", Kind::Common},
    {"dim", "R b3 b5", "", Kind::Common},
    {"dim7", "R b3 b5 6", "", Kind::Common},
    {"m7b5", "R b3 b5 b7", "", Kind::Common},
    {"aug", "R 3 #5", "", Kind::Common},
    // The rest of the chord books.
    {"m9", "R b3 b7 9", "5", Kind::Plain},
    {"maj9", "R 3 7 9", "5", Kind::Plain},
    {"m11", "R b3 b7 11", "5 9", Kind::Plain},
    {"maj11", "R 3 7 9 11", "5", Kind::Plain},
    {"m13", "R b3 b7 13", "5 9 11", Kind::Plain},
    {"maj13", "R 3 7 13", "5 9", Kind::Plain},
    {"6/9", "R 3 6 9", "5", Kind::Plain},
    {"m6/9", "R b3 6 9", "5", Kind::Plain},
    {"m(add9)", "R b3 9", "5", Kind::Plain},
    {"add11", "R 3 11", "5", Kind::Plain},
    {"m(add11)", "R b3 11", "5", Kind::Plain},
    {"7sus2", "R 2 b7", "5", Kind::Plain},
    {"9sus4", "R 4 b7 9", "5", Kind::Plain},
    {"13sus4", "R 4 b7 13", "5 9", Kind::Plain},
    {"maj7sus4", "R 4 7", "5", Kind::Plain},
    {"maj7sus2", "R 2 7", "5", Kind::Plain},
    {"6sus4", "R 4 6", "5", Kind::Plain},
    {"7b5", "R 3 b5 b7", "", Kind::Plain},
    {"7#5", "R 3 #5 b7", "", Kind::Plain},
    {"7b9", "R 3 b7 b9", "5", Kind::Plain},
    {"7#9", "R 3 b7 #9", "5", Kind::Plain},
    {"7#11", "R 3 b7 #11", "5", Kind::Plain},
    {"7b13", "R 3 5 b7 b13", "", Kind::Plain},
    {"9b5", "R 3 b5 b7 9", "", Kind::Plain},
    {"9#5", "R 3 #5 b7 9", "", Kind::Plain},
    {"9#11", "R 3 b7 9 #11", "5", Kind::Plain},
    {"13#11", "R 3 b7 #11 13", "5 9", Kind::Plain},
    {"13b9", "R 3 b7 b9 13", "5", Kind::Plain},
    {"13#9", "R 3 b7 #9 13", "5", Kind::Plain},
    {"7#5#9", "R 3 #5 b7 #9", "", Kind::Plain},
    {"7#5b9", "R 3 #5 b7 b9", "", Kind::Plain},
    {"7b5b9", "R 3 b5 b7 b9", "", Kind::Plain},
    {"7b5#9", "R 3 b5 b7 #9", "", Kind::Plain},
    {"7b9#11", "R 3 b7 b9 #11", "5", Kind::Plain},
    {"7b9b13", "R 3 b7 b9 b13", "5", Kind::Plain},
    {"7#9b13", "R 3 b7 #9 b13", "5", Kind::Plain},
    {"7#9#11", "R 3 b7 #9 #11", "5", Kind::Plain},
    {"13b5b9", "R 3 b5 b7 b9 13", "", Kind::Plain},
    {"11b9", "R 3 b7 b9 11", "5", Kind::Plain},
    {"m9b5", "R b3 b5 b7 9", "", Kind::Plain},
    {"m11b5", "R b3 b5 b7 11", "9", Kind::Plain},
    {"m(maj7)", "R b3 7", "5", Kind::Plain},
    {"m(maj9)", "R b3 7 9", "5", Kind::Plain},
    {"m(maj11)", "R b3 7 11", "5 9", Kind::Plain},
    // The same notes as a diminished triad with a major seventh, dim(maj7).
    {"m(maj7)b5", "R b3 b5 7", "", Kind::Plain},
    {"maj7b5", "R 3 b5 7", "", Kind::Plain},
    {"maj7#5", "R 3 #5 7", "", Kind::Plain},
    {"maj7#11", "R 3 7 #11", "5", Kind::Plain},
    {"maj9#11", "R 3 7 9 #11", "5", Kind::Plain},
    {"maj13#11", "R 3 7 #11 13", "5 9", Kind::Plain},
    {"maj7(add11)", "R 3 7 11", "5", Kind::Plain},
    {"6/9#11", "R 3 6 9 #11", "5", Kind::Plain},
    {"(b5)", "R 3 b5", "", Kind::Plain},
    {"(no5)", "R 3", "", Kind::Plain},
    {"m(no5)", "R b3", "", Kind::Plain},
    // Rare readings: they name odd shapes but never stand before a plain reading.
    {"m7#5", "R b3 #5 b7", "", Kind::Exotic},
    {"m9#5", "R b3 #5 b7 9", "", Kind::Exotic},
    {"m11#5", "R b3 #5 b7 11", "9", Kind::Exotic},
    {"m(b6)", "R b3 5 b6", "", Kind::Exotic},
    {"sus2sus4", "R 2 4", "5", Kind::Exotic},
    {"sus2(#4)", "R 2 #11", "5", Kind::Exotic},
    {"sus4(b5)", "R 4 b5", "", Kind::Exotic},
    // A major eleventh without its third.
    {"maj9sus4", "R 4 7 9", "5", Kind::Exotic},
    {"maj7#9#11", "R 3 5 7 #9 #11", "", Kind::Exotic},
    {"7(no3)", "R 5 b7", "", Kind::Exotic},
    {"7b9(no3)", "R b7 b9", "5", Kind::Exotic},
    {"9b5(no3)", "R b5 b7 9", "", Kind::Exotic},
    {"dim7(no3)", "R b5 6", "", Kind::Exotic},
    {"m#5(add11)", "R b3 #5 11", "", Kind::Exotic},
    {" octave", "R", "", Kind::Exotic},
};

// The chords that take one more tension as an added note, and the tensions.
const char* const addedToBases[] = {"",        "m",     "dim",   "aug",     "sus2",  "sus4", "add9",
                                    "m(add9)", "6",     "m6",    "7",       "maj7",  "m7",   "m7b5",
                                    "dim7",    "7sus4", "7sus2", "m(maj7)", "9",     "m9",   "maj9",
                                    "6/9",     "m6/9",  "7b5",   "7#5",     "maj7#5"};
const char* const addedTensions[] = {"b9", "9", "#9", "11", "#11", "b13", "13"};

QStringList names(const char* text) {
    return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

IntervalSet setOf(const QStringList& intervalNames) {
    IntervalSet set = 0;
    for (const QString& name : intervalNames) {
        if (const auto semitones = ChordTheory::intervalSemitones(name))
            set |= intervalBit(*semitones);
    }
    return set;
}

ChordFormula formulaOf(const QString& symbol, const QStringList& required,
                       const QStringList& optional, Kind kind) {
    ChordFormula f;
    f.symbol = symbol;
    f.requiredNames = required;
    f.optionalNames = optional;
    f.required = setOf(required);
    f.optional = setOf(optional);
    f.kind = kind;
    return f;
}

// Every voicing of `narrower` fits `wider` too, so `narrower` would name nothing new.
bool covers(const ChordFormula& wider, const ChordFormula& narrower) {
    return (wider.required & narrower.required) == wider.required &&
           (narrower.tones() & wider.tones()) == narrower.tones();
}

// The added-tension chords: C(addb9), Cm7(b9), Cdim7(add9). Natural tensions are written
// "add" ("6(add11)"); altered ones on a triad too ("(addb9)"), on a sixth or seventh chord
// in parentheses ("m7(b9)"), as chord books write them.
void addAddedTensions(std::vector<ChordFormula>& all) {
    const std::vector<ChordFormula> named = all;
    for (const char* baseSymbol : addedToBases) {
        const ChordFormula* base = nullptr;
        for (const ChordFormula& f : named) {
            if (f.symbol == QLatin1String(baseSymbol))
                base = &f;
        }
        if (!base)
            continue;
        const bool triad =
            (base->tones() & (intervalBit(9) | intervalBit(10) | intervalBit(11))) == 0;
        for (const char* tension : addedTensions) {
            const QString name = QString::fromLatin1(tension);
            const IntervalSet bit = intervalBit(*ChordTheory::intervalSemitones(name));
            if (base->tones() & bit)
                continue;
            // An altered tension beside its natural one is added too ("9(addb9)").
            const bool natural = !name.startsWith(u'b') && !name.startsWith(u'#');
            const int degree =
                ChordTheory::intervalSemitones(name.mid(natural ? 0 : 1)).value_or(0);
            const bool besideNatural = !natural && (base->tones() & intervalBit(degree));
            const QString symbol = base->symbol + (triad || natural || besideNatural
                                                       ? QStringLiteral("(add%1)").arg(name)
                                                       : QStringLiteral("(%1)").arg(name));
            const ChordFormula added = formulaOf(symbol, base->requiredNames + QStringList{name},
                                                 base->optionalNames, Kind::Added);
            bool known = false;
            for (const ChordFormula& f : all)
                known = known || covers(f, added) || f.tones() == added.tones();
            if (!known)
                all.push_back(added);
        }
    }
}

struct Table {
    std::vector<ChordFormula> formulas;
    QHash<QString, const ChordFormula*> bySymbol;
    QHash<IntervalSet, const ChordFormula*> byTones;
};

const Table& table() {
    static const Table built = [] {
        Table t;
        for (const Entry& e : namedChords)
            t.formulas.push_back(formulaOf(QString::fromLatin1(e.symbol), names(e.required),
                                           names(e.optional), e.kind));
        addAddedTensions(t.formulas);
        for (const ChordFormula& f : t.formulas) {
            t.bySymbol.insert(f.symbol, &f);
            if (!t.byTones.contains(f.tones()))
                t.byTones.insert(f.tones(), &f);
        }
        return t;
    }();
    return built;
}

} // namespace

QString ChordFormula::intervalName(int semitones) const {
    const IntervalSet bit = intervalBit(semitones);
    for (const QStringList* list : {&requiredNames, &optionalNames}) {
        for (const QString& name : *list) {
            if (const auto s = ChordTheory::intervalSemitones(name); s && intervalBit(*s) == bit)
                return name;
        }
    }
    return ChordTheory::plainIntervalName(semitones);
}

bool ChordFormula::isTension(int semitones) const {
    static const QStringList tensionNames{
        QStringLiteral("b9"),  QStringLiteral("9"),   QStringLiteral("#9"), QStringLiteral("11"),
        QStringLiteral("#11"), QStringLiteral("b13"), QStringLiteral("13"), QStringLiteral("b6")};
    return tensionNames.contains(intervalName(semitones));
}

std::span<const ChordFormula> ChordVocabulary::formulas() {
    return table().formulas;
}

const ChordFormula* ChordVocabulary::bySymbol(QStringView symbol) {
    return table().bySymbol.value(symbol.toString(), nullptr);
}

const ChordFormula* ChordVocabulary::byTones(IntervalSet tones) {
    return table().byTones.value(tones, nullptr);
}
