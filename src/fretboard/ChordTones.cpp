#include "fretboard/ChordTones.h"

#include "catalogue/ChordSymbol.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordVocabulary.h"

namespace {

constexpr int minorThird = 3;
constexpr int majorThird = 4;
constexpr int fifth = 7;
constexpr int sixth = 9;
constexpr int minorSeventh = 10;
constexpr int majorSeventh = 11;

bool has(IntervalSet set, int semitones) {
    return (set & intervalBit(semitones)) != 0;
}

} // namespace

std::optional<ChordTones> ChordTones::parse(QStringView symbol, QString* error) {
    const std::optional<ChordSymbol> read = ChordSymbol::parse(symbol, error);
    if (!read)
        return std::nullopt;
    ChordTones tones;
    tones.root = read->root();
    tones.required = read->required();
    tones.optional = read->optional();
    tones.bass = read->bass();
    // A bass from outside the chord is this type's own business: it sounds as the bass only.
    if (tones.bass >= 0 && !(read->formula().tones() & intervalBit(read->bassInterval())))
        tones.required &= IntervalSet(~intervalBit(read->bassInterval()));
    tones.typeText = read->formula().symbol;
    return tones;
}

QList<ChordTones> ChordTones::vocabulary(qint16 root) {
    QList<ChordTones> chords;
    for (const ChordFormula& formula : ChordVocabulary::formulas()) {
        ChordTones tones;
        tones.root = PitchClass::mod12(root);
        tones.required = formula.required;
        tones.optional = formula.optional;
        tones.typeText = formula.symbol;
        chords << tones;
    }
    return chords;
}

QString ChordTones::name(qint16 newRoot, qint16 newBass) const {
    QString text = ChordTheory::PitchNames[PitchClass::mod12(newRoot)] + typeText;
    if (newBass >= 0 && PitchClass::mod12(newBass) != PitchClass::mod12(newRoot))
        text += QLatin1Char('/') + ChordTheory::PitchNames[PitchClass::mod12(newBass)];
    return text;
}

QString ChordTones::intervalName(int semitones) const {
    const IntervalSet tones = chordTones();
    const bool third = has(tones, majorThird) || has(tones, minorThird);
    const bool seventh = has(tones, minorSeventh) || has(tones, majorSeventh);
    switch (PitchClass::mod12(semitones)) {
    case 0:
        return QStringLiteral("R");
    case 1:
        return QStringLiteral("b9");
    case 2:
        return third ? QStringLiteral("9") : QStringLiteral("2");
    case 3:
        return has(tones, majorThird) ? QStringLiteral("#9") : QStringLiteral("b3");
    case 4:
        return QStringLiteral("3");
    case 5:
        return third ? QStringLiteral("11") : QStringLiteral("4");
    case 6:
        return has(tones, fifth) ? QStringLiteral("#11") : QStringLiteral("b5");
    case 7:
        return QStringLiteral("5");
    case 8:
        return has(tones, fifth) ? QStringLiteral("b13") : QStringLiteral("#5");
    case 9:
        return seventh ? QStringLiteral("13") : QStringLiteral("6");
    case 10:
        return QStringLiteral("b7");
    default:
        return QStringLiteral("7");
    }
}
