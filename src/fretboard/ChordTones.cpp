#include "fretboard/ChordTones.h"

#include "catalogue/ChordFinder.h"
#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/ChordTypeTable.h"

namespace {

constexpr int minorThird = 3;
constexpr int majorThird = 4;
constexpr int flatFifth = 6;
constexpr int fifth = 7;
constexpr int sharpFifth = 8;
constexpr int sixth = 9;
constexpr int minorSeventh = 10;
constexpr int majorSeventh = 11;

bool has(IntervalSet set, int semitones) {
    return (set & intervalBit(semitones)) != 0;
}

// The tones of a catalogue chord type. The catalogue requires the fifth of its sevenths and
// sixths; players leave it out (C7 x-3-2-3-1-0), so it is optional in a chord with a third
// and a sixth or seventh whose fifth is not altered.
ChordTones tonesOfType(const ChordType& type) {
    ChordTones tones;
    tones.required = type.required | intervalBit(0);
    tones.optional = type.optional;
    const IntervalSet all = tones.chordTones();
    const bool third = has(all, minorThird) || has(all, majorThird);
    const bool sixthOrSeventh = has(all, sixth) || has(all, minorSeventh) || has(all, majorSeventh);
    const bool altered = has(all, flatFifth) || has(all, sharpFifth);
    if (has(tones.required, fifth) && third && sixthOrSeventh && !altered) {
        tones.required &= IntervalSet(~intervalBit(fifth));
        tones.optional |= intervalBit(fifth);
    }
    return tones;
}

// The tones of a chord-type key: the row that spells it with the root in the bass, else any
// row that sounds the root, else a rootless row with its root put back.
std::optional<ChordTones> tonesOfKey(const QString& key) {
    const ChordType* rooted = nullptr;
    const ChordType* other = nullptr;
    for (const ChordType& type : ChordTypeTable::types()) {
        if (ChordNamer::canonicalKey(type.prefix) != key)
            continue;
        if (!type.rootless() && type.bass == 0) {
            rooted = &type;
            break;
        }
        if (!other || (other->rootless() && !type.rootless()))
            other = &type;
    }
    const ChordType* type = rooted ? rooted : other;
    if (!type)
        return std::nullopt;
    return tonesOfType(*type);
}

} // namespace

std::optional<ChordTones> ChordTones::parse(QStringView symbol, QString* error) {
    const std::optional<ChordFinder::ChordName> name = ChordFinder::parseChordName(symbol, error);
    if (!name)
        return std::nullopt;
    std::optional<ChordTones> tones = tonesOfKey(name->key);
    if (!tones) {
        if (error)
            *error = QStringLiteral("no chord type '%1' in '%2'").arg(name->key, symbol.toString());
        return std::nullopt;
    }
    tones->root = name->root;
    tones->bass = name->bass;
    // The type as written: the symbol less its root (one letter, or two when the second is
    // an accidental the parser took for the root's) and its "/bass".
    QStringView head = symbol;
    if (name->bass >= 0)
        head = head.left(head.lastIndexOf(u'/'));
    const bool twoLetterRoot = head.size() >= 2 &&
                               ChordTheory::parseNoteName(head.left(2)) == name->root &&
                               ChordTheory::parseNoteName(head.left(1)) != name->root;
    tones->typeText = head.mid(twoLetterRoot ? 2 : 1).toString();
    return tones;
}

QList<ChordTones> ChordTones::vocabulary(qint16 root) {
    QList<ChordTones> chords;
    QList<QString> keys;
    for (const ChordType& type : ChordTypeTable::types()) {
        const QString key = ChordNamer::canonicalKey(type.prefix);
        if (keys.contains(key))
            continue;
        std::optional<ChordTones> tones = tonesOfKey(key);
        if (!tones)
            continue;
        keys << key;
        tones->root = PitchClass::mod12(root);
        tones->typeText = type.prefix;
        chords << *tones;
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
