#include "catalogue/ChordTheory.h"

#include "base/WholeNumber.h"
#include "catalogue/PitchClass.h"

#include <QStringList>

namespace ChordTheory {

const std::array<QString, PitchClass::count> PitchNames{
    QStringLiteral("C"),  QStringLiteral("C#"), QStringLiteral("D"),  QStringLiteral("Eb"),
    QStringLiteral("E"),  QStringLiteral("F"),  QStringLiteral("F#"), QStringLiteral("G"),
    QStringLiteral("Ab"), QStringLiteral("A"),  QStringLiteral("Bb"), QStringLiteral("B")};

namespace {

struct IntervalName {
    const char16_t* name;
    qint16 semitones;
};

constexpr IntervalName intervalTable[] = {
    {u"R", 0},  {u"b2", 1}, {u"b9", 1},  {u"2", 2},  {u"9", 2},   {u"b3", 3},  {u"#9", 3},
    {u"3", 4},  {u"4", 5},  {u"11", 5},  {u"b5", 6}, {u"#11", 6}, {u"+11", 6}, {u"5", 7},
    {u"#5", 8}, {u"b6", 8}, {u"b13", 8}, {u"6", 9},  {u"13", 9},  {u"b7", 10}, {u"7", 11},
};

using PitchClass::mod12;

} // namespace

std::optional<qint16> intervalSemitones(QStringView name) {
    for (const IntervalName& interval : intervalTable) {
        if (name == QStringView(interval.name))
            return interval.semitones;
    }
    return std::nullopt;
}

QString plainIntervalName(int semitones) {
    static const char* const plainNames[PitchClass::count] = {"R",  "b9", "9",  "b3", "3",  "11",
                                                              "b5", "5",  "#5", "6",  "b7", "7"};
    return QString::fromLatin1(plainNames[mod12(semitones)]);
}

std::optional<qint16> intervalRootShift(QStringView name) {
    const std::optional<qint16> semitones = intervalSemitones(name);
    if (!semitones)
        return std::nullopt;
    return mod12(PitchClass::count - *semitones);
}

bool isFretMark(QStringView mark) {
    if (mark.isEmpty())
        return false;
    for (const QChar c : mark) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

PlacedChord placeChord(const QString& fretPattern, const QString& spelling, qint16 pitch,
                       const std::array<qint16, 6>& openStringNotes, qint16 previousRootShift) {
    const QStringList frets = fretPattern.split(QLatin1Char('-'));
    const QStringList intervals = spelling.split(QLatin1Char('-'));
    const qsizetype strings = std::min<qsizetype>(frets.size(), openStringNotes.size());

    PlacedChord chord;
    chord.rootShift = previousRootShift;

    // Only the lowest sounding string decides where the shape goes and which note is the root.
    for (qsizetype s = 0; s < strings; ++s) {
        if (!isFretMark(frets[s]))
            continue;
        const int c = frets[s].toInt() + openStringNotes[s];
        chord.shift = mod12(pitch - c);
        if (s < intervals.size()) {
            if (const auto shift = intervalRootShift(intervals[s]))
                chord.rootShift = *shift;
        }
        break;
    }

    QStringList fretTexts;
    QStringList names;
    for (qsizetype i = 0; i < strings; ++i) {
        if (isFretMark(frets[i])) {
            const int fret = frets[i].toInt() + chord.shift;
            const auto note = static_cast<qint16>(openStringNotes[i] + fret);
            fretTexts << QString::number(fret);
            chord.notes << note;
            names << PitchNames[PitchClass::ofNote(note)];
        } else {
            fretTexts << QStringLiteral("x");
        }
    }
    chord.fretNumbers = fretTexts.join(QLatin1Char('-'));
    chord.noteNames = names.join(QLatin1Char('-'));
    return chord;
}

QString chordDisplayName(const QString& chordType, qint16 pitch, qint16 rootShift) {
    const qsizetype slash = chordType.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return PitchNames[mod12(pitch)] + chordType;
    const qint16 root = mod12(pitch + rootShift);
    return PitchNames[root] + chordType.left(slash) + QLatin1Char('/') + PitchNames[mod12(pitch)];
}

std::optional<qint16> parseNoteName(QStringView text) {
    // The natural notes C D E F G A B, from A.
    static constexpr qint16 naturals[] = {9, 11, 0, 2, 4, 5, 7};
    if (text.isEmpty() || text.size() > 2)
        return std::nullopt;
    const char16_t letter = QChar::toUpper(text[0].unicode());
    if (letter < u'A' || letter > u'G')
        return std::nullopt;
    qint16 pitch = naturals[letter - u'A'];
    if (text.size() == 2) {
        const char16_t accidental = text[1].unicode();
        if (accidental == u'#' || accidental == u'\u266F')
            ++pitch;
        else if (accidental == u'b' || accidental == u'B' || accidental == u'\u266D')
            --pitch;
        else
            return std::nullopt;
    }
    return mod12(pitch);
}

std::optional<qint16> parsePitch(QStringView text) {
    if (const std::optional<qint16> note = parseNoteName(text))
        return note;
    if (const std::optional<int> number = WholeNumber::parse(text, 0, PitchClass::count - 1))
        return static_cast<qint16>(*number);
    return std::nullopt;
}

} // namespace ChordTheory
