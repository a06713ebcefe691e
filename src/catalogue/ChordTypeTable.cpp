#include "catalogue/ChordTypeTable.h"

#include "catalogue/ChordTheory.h"
#include "catalogue/ChordVocabulary.h"
#include "catalogue/PitchClass.h"

#include <bit>

#include <QHash>
#include <vector>

namespace {

// Intervals each chord type must sound and may sound (names as spelled; "+11" counts as
// "#11"), and the interval of its lowest string. The root is required unless the type is
// rootless ("NR"); the fifth is optional only where an extended chord customarily drops it.
struct CatalogueRow {
    const char* chordType;
    const char* required;
    const char* optional;
    const char* bass;
};

const CatalogueRow catalogueRows[] = {
    {" octave", "R", "", "R"},
    {"5", "R 5", "", "R"},
    {"(no5th)", "R 3", "", "R"},
    {"maj", "R 3 5", "", "R"},
    {"/3rd", "R 3 5", "", "3"},
    {"/5th", "R 3 5", "", "5"},
    {"m(no5th)", "R b3", "", "R"},
    {"m", "R b3 5", "", "R"},
    {"m/b3rd", "R b3 5", "", "b3"},
    {"6(no5th)", "R 3 6", "", "R"},
    {"m/5th", "R b3 5", "", "5"},
    {"sus4", "R 4 5", "", "R"},
    {"sus2", "R 2 5", "", "R"},
    {"7sus4(no5th)", "R 4 b7", "", "R"},
    {"sus4/5th", "R 4 5", "", "5"},
    {"dim", "R b3 b5", "", "R"},
    // diminished seventh (its bb7 spelled 6) over b5, without b3.
    {"dim7/b5th(nob3rd)", "R b5 6", "", "b5"},
    {"dim/b3rd", "R b3 b5", "", "b3"},
    {"m6(no5th)", "R b3 6", "", "R"},
    {"dim7(nob5th)", "R b3 6", "", "R"},
    {"dim/b5th", "R b3 b5", "", "b5"},
    {"7", "R 3 5 b7", "", "R"},
    {"7/3rd", "R 3 5 b7", "", "3"},
    {"7/5th", "R 3 5 b7", "", "5"},
    {"7/b7th", "R 3 5 b7", "", "b7"},
    {"7(no5th)", "R 3 b7", "", "R"},
    {"M7", "R 3 5 7", "", "R"},
    {"m9/b3rdNR", "b3 b7 9", "5", "b3"},
    {"M7/3rd", "R 3 5 7", "", "3"},
    {"m9/5thNR", "b3 b7 9", "5", "5"},
    // minor triad with an added minor sixth, fifth kept: without it the chord sounds as a
    // major triad over its third.
    {"minb6", "R b3 5 b6", "", "R"},
    // read as minb6.
    {"m(b6)", "R b3 5 b6", "", "R"},
    {"M7/5th", "R 3 5 7", "", "5"},
    {"M13", "R 3 7 13", "5 9", "R"},
    {"m9/b7thNR", "b3 b7 9", "5", "b7"},
    {"M7/7th", "R 3 5 7", "", "7"},
    {"M7(no5th)", "R 3 7", "", "R"},
    {"6/6th", "R 3 5 6", "", "6"},
    {"m7", "R b3 5 b7", "", "R"},
    {"M9/3rdNR", "3 7 9", "5", "3"},
    {"6", "R 3 5 6", "", "R"},
    {"M9/5thNR", "3 7 9", "5", "5"},
    {"m7/b3rd", "R b3 5 b7", "", "b3"},
    // dominant eleventh: the third gives way to the 11th, the root is left out.
    {"11/b7thNR", "b7 9 11", "5", "b7"},
    {"6/3rd", "R 3 5 6", "", "3"},
    {"m7/5th", "R b3 5 b7", "", "5"},
    {"M9/7thNR", "3 7 9", "5", "7"},
    {"11/9thNR", "b7 9 11", "5", "9"},
    {"6/5th", "R 3 5 6", "", "5"},
    {"m7/b7th", "R b3 5 b7", "", "b7"},
    {"11/11thNR", "b7 9 11", "5", "11"},
    {"m7(no5th)", "R b3 b7", "", "R"},
    // both suspensions instead of the third, spelled 2 and 4.
    {"sus4sus2", "R 2 4", "5", "R"},
    {"m7b5", "R b3 b5 b7", "", "R"},
    {"9/3rdNR", "3 b7 9", "5", "3"},
    {"m6/6th", "R b3 5 6", "", "6"},
    {"m6", "R b3 5 6", "", "R"},
    {"9/5thNR", "3 b7 9", "5", "5"},
    {"m7b5/b3rd", "R b3 b5 b7", "", "b3"},
    {"m7b5/b5th", "R b3 b5 b7", "", "b5"},
    {"m6/b3rd", "R b3 5 6", "", "b3"},
    {"9/b7thNR", "3 b7 9", "5", "b7"},
    {"m6/5th", "R b3 5 6", "", "5"},
    // dominant eleventh without its third (R b7 9 11).
    {"11", "R b7 9 11", "5", "R"},
    {"7sus4", "R 4 5 b7", "", "R"},
    {"6\\9/6thNR", "3 6 9", "5", "6"},
    {"7sus4/4th", "R 4 5 b7", "", "4"},
    {"7sus4/5th", "R 4 5 b7", "", "5"},
    {"11/5th", "R b7 9 11", "5", "5"},
    {"m11", "R b3 b7 11", "5 9", "R"},
    {"6\\9/3rdNR", "3 6 9", "5", "3"},
    {"m11(no5th)", "R b3 b7 11", "9", "R"},
    {"6\\9/6th", "R 3 6 9", "5", "6"},
    // a six-nine chord (3 5 6 9) over its major seventh, rootless.
    {"9/6/7thNR", "3 6 7 9", "5", "7"},
    {"6\\9/5thNR", "3 6 9", "5", "5"},
    {"7sus4/b7th", "R 4 5 b7", "", "b7"},
    {"madd9", "R b3 5 9", "", "R"},
    // major triad with a flat fifth (R 3 b5).
    {"majb5", "R 3 b5", "", "R"},
    // read as majb5.
    {"(b5)", "R 3 b5", "", "R"},
    {"(b5)/3rd", "R 3 b5", "", "3"},
    {"(b5)/b5th", "R 3 b5", "", "b5"},
    {"M7b5", "R 3 b5 7", "", "R"},
    {"M7(+11)", "R 3 7 #11", "5", "R"},
    {"13/b7thNR", "3 b7 13", "5 9", "b7"},
    {"M7b5/3rd", "R 3 b5 7", "", "3"},
    {"M7b5/b5th", "R 3 b5 7", "", "b5"},
    {"13/3rdNR", "3 b7 13", "5 9", "3"},
    {"sus4b5", "R 4 b5", "", "R"},
    {"M9(no5th)", "R 3 7 9", "", "R"},
    // R b7 13, with 5, 9 and 11 free.
    {"13(no3rd)", "R b7 13", "5 9 11", "R"},
    {"M9(no3rd)", "R 7 9", "5", "R"},
    // 2 and a raised fourth instead of the third; no #4 mark exists, so #11.
    {"sus#4sus2", "R 2 #11", "5", "R"},
    // major eleventh; the third may give way to the 11th.
    {"M11", "R 7 9 11", "3 5", "R"},
    {"6\\9(no5th)", "R 3 6 9", "", "R"},
    {"9/b7th", "R 3 b7 9", "5", "b7"},
    {"9(no3rd)", "R b7 9", "5", "R"},
    // minor triad over its fourth.
    {"m/4th", "R b3 4", "5", "4"},
    {"6\\9/3rd(no5th)", "R 3 6 9", "", "3"},
    {"m11(nob7th)", "R b3 11", "5 9", "R"},
    {"m9(no5th)", "R b3 b7 9", "", "R"},
    {"7b9(no3rd)", "R b7 b9", "5", "R"},
    {"13/13thNR", "3 b7 13", "5 9", "13"},
    {"m6\\9(no5th)", "R b3 6 9", "", "R"},
    {"13#9", "R 3 b7 #9 13", "5", "R"},
    {"m13", "R b3 b7 13", "5 9 11", "R"},
    {"7b5b9", "R 3 b5 b7 b9", "", "R"},
    {"aug", "R 3 #5", "", "R"},
    {"7b9/5thNR", "3 b7 b9", "5", "5"},
    // the diminished seventh is spelled 6.
    {"dim7", "R b3 b5 6", "", "R"},
    {"7b9/3rdNR", "3 b7 b9", "5", "3"},
    {"dim7/b3rd", "R b3 b5 6", "", "b3"},
    {"7b9/b7thNR", "3 b7 b9", "5", "b7"},
    {"M7#5", "R 3 #5 7", "", "R"},
    {"13(+11)/b7thNR", "3 b7 #11 13", "9", "b7"},
    {"M7#5/3rd", "R 3 #5 7", "", "3"},
    {"M7#5/#5", "R 3 #5 7", "", "#5"},
    {"mM7", "R b3 5 7", "", "R"},
    {"mM7/b3rd", "R b3 5 7", "", "b3"},
    {"9(+11)/b7NR", "3 b7 9 #11", "5", "b7"},
    {"mM7/5th", "R b3 5 7", "", "5"},
    {"9(+11)/9thNR", "3 b7 9 #11", "5", "9"},
    {"mM7/7th", "R b3 5 7", "", "7"},
    {"9(+11)/+11thNR", "3 b7 9 #11", "5", "#11"},
    {"mM7(no5th)", "R b3 7", "", "R"},
    {"7#5", "R 3 #5 b7", "", "R"},
    {"7#5/3rd", "R 3 #5 b7", "", "3"},
    {"9b5/b7thNR", "3 b5 b7 9", "", "b7"},
    {"7#5/#5th", "R 3 #5 b7", "", "#5"},
    {"7#5/b7th", "R 3 #5 b7", "", "b7"},
    {"9b5(no3rd)", "R b5 b7 9", "", "R"},
    {"9b5/3rdNR", "3 b5 b7 9", "", "3"},
    {"7b9(no5th)", "R 3 b7 b9", "", "R"},
    {"7b9/b7th", "R 3 b7 b9", "5", "b7"},
    {"mM9(no5th)", "R b3 7 9", "", "R"},
    {"13b9/b9thNR", "3 b7 b9 13", "5", "b9"},
    {"13b9/3rdNR", "3 b7 b9 13", "5", "3"},
    {"7#9/b7thNR", "3 b7 #9", "5", "b7"},
    {"13b9/13th", "R 3 b7 b9 13", "5", "13"},
    {"7#9/3rdNR", "3 b7 #9", "5", "3"},
    {"13b9/b7thNR", "3 b7 b9 13", "5", "b7"},
    {"m7#5", "R b3 #5 b7", "", "R"},
    {"11/9th(no5th)", "R b7 9 11", "", "9"},
    {"add9", "R 3 5 9", "", "R"},
    {"11(no5th)", "R b7 9 11", "", "R"},
    {"9(no5th)", "R 3 b7 9", "", "R"},
    {"9/b7th(no5th)", "R 3 b7 9", "", "b7"},
    {"13", "R 3 b7 13", "5 9", "R"},
    {"13/13th", "R 3 b7 13", "5 9", "13"},
    {"M9(+11)", "R 3 7 9 #11", "5", "R"},
    {"13/b7th", "R 3 b7 13", "5 9", "b7"},
    {"7b5/b5th", "R 3 b5 b7", "", "b5"},
    {"7b5", "R 3 b5 b7", "", "R"},
    {"9#5/b7thNR", "3 #5 b7 9", "", "b7"},
    {"7b5/3rd", "R 3 b5 b7", "", "3"},
    {"7b5/b7th", "R 3 b5 b7", "", "b7"},
    {"7#9(no5th)", "R 3 b7 #9", "", "R"},
    {"13#9/13th", "R 3 b7 #9 13", "5", "13"},
    {"13#9/b7thNR", "3 b7 #9 13", "5", "b7"},
    {"m6\\9", "R b3 6 9", "5", "R"},
    {"13/9thNR", "3 b7 13", "5 9", "9"},
    {"m11#5(nob7th)", "R b3 #5 11", "", "R"},
    {"m9", "R b3 b7 9", "5", "R"},
    {"m9/b3rd", "R b3 b7 9", "5", "b3"},
    {"m9/5th", "R b3 b7 9", "5", "5"},
    // minor six-nine with the minor seventh added, over its fifth, rootless.
    {"m6\\9(addb7)/5thNR", "b3 5 6 b7 9", "", "5"},
    {"6\\9", "R 3 6 9", "5", "R"},
    {"m11/5th", "R b3 5 b7 11", "9", "5"},
    {"m11#5", "R b3 #5 b7 11", "9", "R"},
    {"11/9th", "R b7 9 11", "5", "9"},
    {"6\\9/3rd", "R 3 6 9", "5", "3"},
    {"6\\9/5th", "R 3 6 9", "5", "5"},
    // minor seventh with the fourth added (R b3 4 b7).
    {"m7sus", "R b3 4 b7", "5", "R"},
    {"M9/3rd", "R 3 7 9", "5", "3"},
    {"M9", "R 3 7 9", "5", "R"},
    {"13sus4", "R 4 b7 13", "5 9", "R"},
    {"9", "R 3 b7 9", "5", "R"},
    {"9/3rd", "R 3 b7 9", "5", "3"},
    {"9/5th", "R 3 b7 9", "5", "5"},
    {"M13(+11)", "R 3 7 #11 13", "5 9", "R"},
    {"6\\9#11", "R 3 6 9 #11", "5", "R"},
    {"13/3rd", "R 3 b7 13", "5 9", "3"},
    {"13(no5th)", "R 3 b7 13", "9", "R"},
    {"m9#5", "R b3 #5 b7 9", "", "R"},
    {"mM9", "R b3 7 9", "5", "R"},
    // augmented seventh that keeps the perfect fifth as well.
    {"7#5(add5)", "R 3 5 #5 b7", "", "R"},
    {"7#5b9", "R 3 #5 b7 b9", "", "R"},
    {"7b9", "R 3 b7 b9", "5", "R"},
    {"13b9/13thNR", "3 b7 b9 13", "5", "13"},
    {"7b9/5th", "R 3 b7 b9", "5", "5"},
    {"7#11", "R 3 b7 #11", "5", "R"},
    {"7b5#9", "R 3 b5 b7 #9", "", "R"},
    {"7#5#9", "R 3 #5 b7 #9", "", "R"},
    {"9b5", "R 3 b5 b7 9", "", "R"},
    {"9#5", "R 3 #5 b7 9", "", "R"},
    {"9#5/9th", "R 3 #5 b7 9", "", "9"},
    {"7#9", "R 3 b7 #9", "5", "R"},
    {"13b5b9/b5thNR", "3 b5 b7 b9 13", "", "b5"},
    {"7#9/5th", "R 3 b7 #9", "5", "5"},
    {"13b5b9/3rdNR", "3 b5 b7 b9 13", "", "3"},
    {"7b9(+11)", "R 3 b7 b9 #11", "5", "R"},
    {"13#9/3rdNR", "3 b7 #9 13", "5", "3"},
    {"13b9(no5th)", "R 3 b7 b9 13", "", "R"},
    {"maj13#11", "R 3 7 #11 13", "5 9", "R"},
    {"maj9#11/5th", "R 3 7 9 #11", "5", "5"},
    {"M9(+11)/5th", "R 3 7 9 #11", "5", "5"},
    {"maj9#11", "R 3 7 9 #11", "5", "R"},
    // minor ninth with the fourth added.
    {"m9sus", "R b3 4 b7 9", "5", "R"},
    // major ninth with the sixth added.
    {"maj9add6", "R 3 6 7 9", "5", "R"},
    // major seventh with sixth and raised eleventh.
    {"6M7#11", "R 3 6 7 #11", "5", "R"},
    {"maj7#9#11/5th", "R 3 5 7 #9 #11", "", "5"},
    {"9(+11)/5th", "R 3 b7 9 #11", "5", "5"},
    {"7b9#11/5th", "R 3 b7 b9 #11", "5", "5"},
};

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

// The chord of the vocabulary a type voices: the formula with the same tones (the root
// counted for a rootless type), else the smallest named one whose voicings these are ("7"
// for "7(no5th)").
const ChordFormula* chordOf(const ChordType& type) {
    const IntervalSet tones = type.required | type.optional | intervalBit(0);
    if (const ChordFormula* same = ChordVocabulary::byTones(tones))
        return same;
    const ChordFormula* smallest = nullptr;
    for (const ChordFormula& f : ChordVocabulary::formulas()) {
        if (f.kind == ChordFormula::Kind::Added || !f.fits(tones))
            continue;
        if (!smallest ||
            std::popcount(unsigned(f.tones())) < std::popcount(unsigned(smallest->tones())))
            smallest = &f;
    }
    return smallest;
}

struct Table {
    std::vector<ChordType> types;
    QHash<QString, const ChordType*> byText;
};

const Table& table() {
    static const Table built = [] {
        Table t;
        t.types.reserve(std::size(catalogueRows));
        for (const CatalogueRow& f : catalogueRows) {
            ChordType type;
            type.chordType = QString::fromLatin1(f.chordType);
            const qsizetype slash = type.chordType.indexOf(QLatin1Char('/'));
            type.prefix = slash < 0 ? type.chordType : type.chordType.left(slash);
            type.requiredNames = names(f.required);
            type.optionalNames = names(f.optional);
            type.bassName = QString::fromLatin1(f.bass);
            type.required = setOf(type.requiredNames);
            type.optional = setOf(type.optionalNames);
            type.bass = ChordTheory::intervalSemitones(type.bassName).value_or(0);
            t.types.push_back(type);
        }
        for (ChordType& type : t.types) {
            type.formula = chordOf(type);
            t.byText.insert(type.chordType, &type);
        }
        return t;
    }();
    return built;
}

} // namespace

QString ChordType::intervalName(int semitones) const {
    const IntervalSet bit = intervalBit(semitones);
    for (const QStringList* list : {&requiredNames, &optionalNames}) {
        for (const QString& name : *list) {
            const auto s = ChordTheory::intervalSemitones(name);
            if (s && intervalBit(*s) == bit)
                return name;
        }
    }
    return ChordTheory::plainIntervalName(semitones);
}

std::span<const ChordType> ChordTypeTable::types() {
    return table().types;
}

const ChordType* ChordTypeTable::find(QStringView chordType) {
    return table().byText.value(chordType.toString(), nullptr);
}
