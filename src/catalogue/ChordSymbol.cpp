#include "catalogue/ChordSymbol.h"

#include "catalogue/ChordTheory.h"
#include "catalogue/ChordVocabulary.h"
#include "catalogue/PitchClass.h"

#include <algorithm>

namespace {

using PitchClass::mod12;

// Semitones of the intervals a chord symbol names.
constexpr int minorThird = 3, majorThird = 4, fourth = 5, sharpFourth = 6, fifth = 7;
constexpr int flatFifth = 6, sharpFifth = 8, sixth = 9, diminishedSeventh = 9;
constexpr int minorSeventh = 10, majorSeventh = 11;
constexpr int flatNinth = 1, ninth = 2, sharpNinth = 3, eleventh = 5, sharpEleventh = 6;
constexpr int flatThirteenth = 8, thirteenth = 9;

// What a chord symbol's text says, part by part, before it becomes a set of tones.
struct Spelling {
    bool minor = false, diminished = false, augmented = false, majorSeventhMark = false;
    bool power = false, octave = false, altered = false;
    bool sus2 = false, sus4 = false, sharpFourthSus = false;
    int extension = 0;           // 0, 2 (C2), 5, 6, 69, 7, 9, 11, 13
    int alteredFifth = -1;       // semitones of a "b5" or "#5"
    IntervalSet alterations = 0; // b9, #9, #11, b13 written after the chord
    IntervalSet added = 0;       // "add" notes and bare tensions ("7(13)")
    bool noThird = false, noFifth = false, noSeventh = false;
};

// Reads the text after the root, tone word by tone word; false at the first word it does
// not know.
class SuffixReader {
public:
    explicit SuffixReader(QString text) : m_text(std::move(text)) {}

    bool read(Spelling& s) {
        readQuality(s);
        readExtension(s);
        while (m_at < m_text.size()) {
            if (!readModifier(s))
                return false;
        }
        return true;
    }

private:
    bool take(QStringView word) {
        if (!QStringView(m_text).mid(m_at).startsWith(word))
            return false;
        m_at += word.size();
        return true;
    }
    // ASCII digits only: "C٧" is no C7, as no other number of the tool reads other digits.
    bool digitAt(qsizetype at) const {
        return at < m_text.size() && m_text[at] >= u'0' && m_text[at] <= u'9';
    }
    bool atEnd() const { return m_at >= m_text.size(); }

    // A number written after a word: "7", "13"; -1 when none. Two digits are 11 or 13
    // ("79" is a 7 and a 9).
    int number() {
        if (!digitAt(m_at))
            return -1;
        if (digitAt(m_at + 1)) {
            const int two = m_text.mid(m_at, 2).toInt();
            if (two == 11 || two == 13) {
                m_at += 2;
                return two;
            }
        }
        return m_text[m_at++].digitValue();
    }

    // A major seventh mark: "maj", "M", and "ma" before a number ("Δ" became "maj").
    bool takeMajorMark() {
        return take(u"maj") || take(u"M") || (digitAt(m_at + 2) && take(u"ma"));
    }

    void readQuality(Spelling& s) {
        if (take(u"octave")) {
            s.octave = true;
            return;
        }
        if (take(u"alt")) {
            s.extension = 7;
            s.altered = true;
            return;
        }
        const qsizetype start = m_at;
        if (takeMajorMark()) {
            if (digitAt(m_at))
                s.majorSeventhMark = true;
            return; // alone, or before a modifier ("majb5"), it is the major triad
        }
        m_at = start;
        if (take(u"min") || take(u"mi") || take(u"m") || take(u"-"))
            s.minor = true;
        else if (take(u"dim") ||
                 (m_text.startsWith(u'o') && (m_text.size() == 1 || digitAt(1)) && take(u"o")))
            s.diminished = true;
        else if (take(u"aug") || take(u"+"))
            s.augmented = true;
    }

    void readExtension(Spelling& s) {
        if (take(u"69")) {
            s.extension = 69;
            return;
        }
        const qsizetype start = m_at;
        const int n = number();
        const bool quality = s.minor || s.diminished || s.augmented || s.majorSeventhMark;
        if (n == 2 || n == 6 || n == 7 || n == 9 || n == 11 || n == 13 || (n == 5 && !quality))
            s.extension = n;
        else
            m_at = start;
        s.power = s.extension == 5;
    }

    // An accidental before a number: "b", "#", and "-", "+" when a digit follows.
    int accidental() {
        if (take(u"b") || (digitAt(m_at + 1) && take(u"-")))
            return -1;
        if (take(u"#") || (digitAt(m_at + 1) && take(u"+")))
            return 1;
        return 0;
    }

    // Semitones of a tension or added note written as a number with an accidental: "b9" 1,
    // "9" and "2" 2, "11" and "4" 5, "#11" 6, "b13" and "b6" 8, "13" and "6" 9; -1 if none.
    static int toneOf(int accidental, int number) {
        int natural;
        switch (number) {
        case 2:
        case 9:
            natural = ninth;
            break;
        case 4:
        case 11:
            natural = eleventh;
            break;
        case 6:
        case 13:
            natural = thirteenth;
            break;
        default:
            return -1;
        }
        return mod12(natural + accidental);
    }

    bool readModifier(Spelling& s) {
        if (const std::optional<bool> read = readSuspension(s))
            return *read;
        if (const std::optional<bool> read = readAddOrOmit(s))
            return *read;
        if (take(u"alt")) {
            s.altered = true;
            return true;
        }
        if (const std::optional<bool> read = readMajorMark(s))
            return *read;
        return readAlteration(s);
    }

    // Each reader below: nullopt when the text here is not of its kind (nothing taken), else
    // whether what it took is understood.

    // "sus2", "sus4", "sus", "sus#4", "sus2sus4".
    std::optional<bool> readSuspension(Spelling& s) {
        if (take(u"sus2sus4") || take(u"sus4sus2") || take(u"sus24")) {
            s.sus2 = s.sus4 = true;
            return true;
        }
        if (take(u"sus#4")) {
            s.sharpFourthSus = true;
            return true;
        }
        if (take(u"sus2")) {
            s.sus2 = true;
            return true;
        }
        if (take(u"sus4") || take(u"sus")) {
            s.sus4 = true;
            return true;
        }
        return std::nullopt;
    }

    // "add9", "addb13"; "no5", "omit3", "no3rd".
    std::optional<bool> readAddOrOmit(Spelling& s) {
        if (take(u"add")) {
            const int a = accidental();
            const int tone = toneOf(a, number());
            if (tone < 0)
                return false;
            s.added |= intervalBit(tone);
            return true;
        }
        if (!take(u"omit") && !take(u"no"))
            return std::nullopt;
        const int a = accidental();
        const int n = number();
        take(u"st") || take(u"nd") || take(u"rd") || take(u"th");
        if (n == 3)
            s.noThird = true;
        else if (n == 5)
            s.noFifth = true;
        else if (n == 7 && a <= 0)
            s.noSeventh = true;
        else
            return false;
        return true;
    }

    // "maj7", "M9", "Δ13" after the chord; "7M" as some books write Cmaj7.
    std::optional<bool> readMajorMark(Spelling& s) {
        const qsizetype start = m_at;
        if (!takeMajorMark()) {
            m_at = start;
            return std::nullopt;
        }
        const bool afterSeventh =
            s.extension == 7 || s.extension == 9 || s.extension == 11 || s.extension == 13;
        if (afterSeventh && !digitAt(m_at)) {
            s.majorSeventhMark = true;
            return true;
        }
        const int n = number();
        if (n != 7 && n != 9 && n != 11 && n != 13)
            return false;
        s.majorSeventhMark = true;
        // A sixth chord with a major seventh keeps its sixth ("6maj7").
        if (s.extension == 6 || s.extension == 69)
            s.added |= intervalBit(sixth) | (s.extension == 69 ? intervalBit(ninth) : 0);
        s.extension = std::max(s.extension == 6 || s.extension == 69 ? 0 : s.extension, n);
        return true;
    }

    // "b5", "#5", "b9", "#11", "b13"; "C7+" as C7#5; a bare tension such as "7(13)".
    bool readAlteration(Spelling& s) {
        if (const int a = accidental(); a != 0) {
            const int n = number();
            if (n == 5) {
                s.alteredFifth = a < 0 ? flatFifth : sharpFifth;
                return true;
            }
            const int tone = toneOf(a, n);
            if (tone < 0 || n == 2 || (n == 4 && a < 0)) // "#4" is #11; "b2", "b4" are no tones
                return false;
            s.alterations |= intervalBit(tone);
            return true;
        }
        if (take(u"+") && atEnd()) {
            s.alteredFifth = sharpFifth;
            return true;
        }
        if (const int n = number(); n == 9 || n == 11 || n == 13) {
            s.added |= intervalBit(toneOf(0, n));
            return true;
        }
        return false;
    }

    QString m_text;
    qsizetype m_at = 0;
};

// The tones a spelling names, as intervals above the root.
IntervalSet tonesOf(const Spelling& s) {
    if (s.octave)
        return intervalBit(0);
    IntervalSet tones = intervalBit(0);
    const auto add = [&](int semitones) { tones |= intervalBit(semitones); };
    // Third (or the notes that suspend it) and fifth.
    if (s.sus2 || s.sus4 || s.sharpFourthSus || s.power) {
        if (s.sus2)
            add(ninth);
        if (s.sus4)
            add(fourth);
        if (s.sharpFourthSus)
            add(sharpFourth);
    } else {
        add(s.minor || s.diminished ? minorThird : majorThird);
    }
    int fifthTone = s.diminished ? flatFifth : s.augmented || s.altered ? sharpFifth : fifth;
    if (s.alteredFifth >= 0)
        fifthTone = s.alteredFifth;
    add(fifthTone);

    const int e = s.extension;
    if (e == 6 || e == 69)
        add(sixth);
    if (e == 69 || e == 2)
        add(ninth);
    const bool seventh = e == 7 || e == 9 || e == 11 || e == 13;
    if (seventh)
        add(s.majorSeventhMark ? majorSeventh : s.diminished ? diminishedSeventh : minorSeventh);
    const IntervalSet alteredNinths =
        s.alterations & (intervalBit(flatNinth) | intervalBit(sharpNinth));
    if ((e == 9 || e == 11 || e == 13) && !alteredNinths)
        add(ninth);
    if (e == 11 && !(s.alterations & intervalBit(sharpEleventh)))
        add(eleventh);
    if (e == 13) {
        if (!(s.alterations & intervalBit(flatThirteenth)))
            add(thirteenth);
        // A minor thirteenth may keep its eleventh; a dominant one leaves it out.
        if (s.minor)
            add(eleventh);
    }
    if (s.altered)
        add(sharpNinth);
    tones |= s.alterations | s.added;
    if (s.noThird)
        tones &= ~(intervalBit(minorThird) | intervalBit(majorThird));
    if (s.noFifth)
        tones &= ~intervalBit(fifthTone);
    if (s.noSeventh)
        tones &= ~(intervalBit(minorSeventh) | intervalBit(majorSeventh));
    return tones;
}

// The formula of the text after a root, or nullptr.
const ChordFormula* formulaOf(QStringView suffix) {
    QString text = suffix.toString();
    // One spelling for the marks that have several.
    text.replace(QChar(0x266f), QLatin1Char('#'));
    text.replace(QChar(0x266d), QLatin1Char('b'));
    text.replace(QChar(0x2212), QLatin1Char('-'));
    text.replace(QStringLiteral("\u00f87"), QStringLiteral("m7b5"));
    text.replace(QStringLiteral("\u00d87"), QStringLiteral("m7b5"));
    text.replace(QChar(0x00f8), QStringLiteral("m7b5"));
    text.replace(QChar(0x00d8), QStringLiteral("m7b5"));
    text.replace(QChar(0x00b0), QStringLiteral("dim"));
    text.replace(QChar(0x0394), QStringLiteral("maj"));
    text.replace(QChar(0x2206), QStringLiteral("maj"));
    text.replace(QStringLiteral("6/9"), QStringLiteral("69"));
    text.replace(QStringLiteral("6\\9"), QStringLiteral("69"));
    // Brackets, commas, blanks and a leftover "/" ("m/maj7") only group the words.
    for (const QChar c : {u'(', u')', u',', u' ', u'/'})
        text.remove(c);
    Spelling spelling;
    if (!SuffixReader(text).read(spelling))
        return nullptr;
    const IntervalSet tones = tonesOf(spelling);
    if (const ChordFormula* same = ChordVocabulary::byTones(tones))
        return same;
    // Tones a chord may leave out, left out by the symbol: "C7(13)" and "C9(no5)" are a C13
    // and a C9.
    for (const ChordFormula& f : ChordVocabulary::formulas()) {
        if (f.fits(tones))
            return &f;
    }
    return nullptr;
}

// A root note spelled so that a chord symbol after it reads two ways: Cb5 (the power chord
// on Cb, or C with a flat fifth?), E#5.
bool oddSpelling(QStringView root) {
    if (root.size() != 2)
        return false;
    const char16_t letter = QChar::toUpper(root[0].unicode());
    const char16_t mark = root[1].unicode();
    const bool flat = mark == u'b' || mark == u'B' || mark == u'\u266d';
    return (flat && (letter == u'C' || letter == u'F')) ||
           (!flat && (letter == u'E' || letter == u'B'));
}

} // namespace

ChordSymbol::ChordSymbol(qint16 root, const ChordFormula& formula, qint16 bass)
    : m_root(mod12(root)), m_formula(&formula),
      m_bass(bass < 0 || mod12(bass) == mod12(root) ? rootInBass : mod12(bass)) {}

qint16 ChordSymbol::bassInterval() const {
    return m_bass == rootInBass ? 0 : mod12(m_bass - m_root);
}

IntervalSet ChordSymbol::required() const {
    return IntervalSet(m_formula->required | intervalBit(bassInterval()));
}

IntervalSet ChordSymbol::optional() const {
    return IntervalSet(m_formula->optional & ~required());
}

QString ChordSymbol::text() const {
    QString text = ChordTheory::PitchNames[m_root] + m_formula->symbol;
    if (m_bass != rootInBass)
        text += QLatin1Char('/') + ChordTheory::PitchNames[m_bass];
    return text;
}

namespace {

// The two readings of a symbol's head (the text before a bass): with the root's accidental,
// and with the plain letter.
struct Readings {
    const ChordFormula* withAccidental = nullptr;
    const ChordFormula* plainLetter = nullptr;
    qint16 accidentalRoot = 0, letterRoot = 0;
};

Readings readingsOf(QStringView head) {
    Readings r;
    if (const auto root = ChordTheory::parseNoteName(head.left(2)); root && head.size() >= 2) {
        r.withAccidental = formulaOf(head.mid(2));
        r.accidentalRoot = *root;
    }
    if (const auto root = ChordTheory::parseNoteName(head.left(1))) {
        r.plainLetter = formulaOf(head.mid(1));
        r.letterRoot = *root;
    }
    return r;
}

// The text before a "/" that names a bass note; the whole text when there is none.
QStringView headOf(QStringView text) {
    const qsizetype slash = text.lastIndexOf(u'/');
    if (slash > 0 && ChordTheory::parseNoteName(text.mid(slash + 1)))
        return text.left(slash);
    return text;
}

} // namespace

bool ChordSymbol::isAmbiguous(QStringView text) {
    const QStringView head = headOf(text);
    const Readings r = readingsOf(head);
    return r.withAccidental && r.plainLetter && oddSpelling(head.left(2));
}

std::optional<ChordSymbol> ChordSymbol::parse(QStringView text, QString* error) {
    auto fail = [&](const QString& message) -> std::optional<ChordSymbol> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const QString whole = text.toString();
    if (!ChordTheory::parseNoteName(text.left(1)))
        return fail(QStringLiteral("no root note (A to G) at the start of '%1'").arg(whole));

    qint16 bass = rootInBass;
    QStringView head = text;
    const qsizetype slash = text.lastIndexOf(u'/');
    QString badBass;
    if (slash > 0) {
        if (const auto note = ChordTheory::parseNoteName(text.mid(slash + 1))) {
            bass = *note;
            head = text.left(slash);
        } else if (!text.mid(slash + 1).startsWith(u'9')) { // "6/9" has no bass
            badBass = text.mid(slash + 1).toString();
        }
    }
    const Readings r = readingsOf(head);
    if (r.withAccidental && r.plainLetter && oddSpelling(head.left(2)))
        return fail(QStringLiteral("'%1' is ambiguous: write %2(%3) or %4")
                        .arg(whole, head.left(1).toString().toUpper(), head.mid(1).toString(),
                             ChordSymbol(r.accidentalRoot, *r.withAccidental).text()));
    // A root with an accidental wins: "Bb5" is the power chord on Bb.
    if (r.withAccidental)
        return ChordSymbol(r.accidentalRoot, *r.withAccidental, bass);
    if (r.plainLetter)
        return ChordSymbol(r.letterRoot, *r.plainLetter, bass);
    if (!badBass.isEmpty())
        return fail(QStringLiteral("unknown bass note '%1' in '%2'").arg(badBass, whole));
    const qsizetype typeStart = ChordTheory::parseNoteName(head.left(2)) ? 2 : 1;
    return fail(QStringLiteral("unknown chord type '%1' in '%2'")
                    .arg(head.mid(typeStart).toString(), whole));
}
