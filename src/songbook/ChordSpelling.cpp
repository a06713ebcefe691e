#include "songbook/ChordSpelling.h"

#include "catalogue/ChordSymbol.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"

#include <array>

namespace {

using PitchClass::mod12;

const std::array<const char*, PitchClass::count> sharpNames{"C",  "C#", "D",  "D#", "E",  "F",
                                                            "F#", "G",  "G#", "A",  "A#", "B"};
const std::array<const char*, PitchClass::count> flatNames{"C",  "Db", "D",  "Eb", "E",  "F",
                                                           "Gb", "G",  "Ab", "A",  "Bb", "B"};
const std::array<const char*, PitchClass::count> majorKeys{"C",  "Db", "D",  "Eb", "E",  "F",
                                                           "F#", "G",  "Ab", "A",  "Bb", "B"};
const std::array<const char*, PitchClass::count> minorKeys{"Cm",  "C#m", "Dm",  "Ebm", "Em",  "Fm",
                                                           "F#m", "Gm",  "G#m", "Am",  "Bbm", "Bm"};

// Semitones from a minor key's root up to its relative major's.
constexpr int relativeMajor = 3;
// The major key of six accidentals either way: F# major (sharps) or Gb major (flats).
constexpr qint16 sixAccidentals = 6;

// The root of a text that starts with a note name, and how many characters it takes: "Bb"
// before "maj7" is two, "B" before "m" one.
std::optional<std::pair<qint16, qsizetype>> leadingNote(QStringView text) {
    if (text.size() >= 2) {
        if (const auto note = ChordTheory::parseNoteName(text.left(2)))
            return std::pair(*note, qsizetype(2));
    }
    if (const auto note = ChordTheory::parseNoteName(text.left(1)))
        return std::pair(*note, qsizetype(1));
    return std::nullopt;
}

} // namespace

std::optional<ChordSpelling::Key> ChordSpelling::readKey(QStringView text) {
    text = text.trimmed();
    const auto note = leadingNote(text);
    if (!note)
        return std::nullopt;
    const QString rest = text.mid(note->second).trimmed().toString().toLower();
    if (rest.isEmpty() || rest == u"maj" || rest == u"major")
        return Key{note->first, false};
    if (rest == u"m" || rest == u"min" || rest == u"minor" || rest == u"-")
        return Key{note->first, true};
    // "Bb" read as B with "b" after it is not a key; neither is anything else.
    return std::nullopt;
}

ChordSpelling::Key ChordSpelling::moved(Key key, int semitones) {
    return Key{mod12(key.root + semitones), key.minor};
}

QString ChordSpelling::keyName(Key key) {
    return QString::fromLatin1(key.minor ? minorKeys[mod12(key.root)] : majorKeys[mod12(key.root)]);
}

ChordSpelling::Accidentals ChordSpelling::accidentalsOf(Key key) {
    const qint16 major = mod12(key.root + (key.minor ? relativeMajor : 0));
    switch (major) {
    case 0:
        return Accidentals::Plain;
    case 5:  // F
    case 10: // Bb
    case 3:  // Eb
    case 8:  // Ab
    case 1:  // Db
        return Accidentals::Flats;
    case sixAccidentals:
        // F# major reads in sharps; its relative minor is written Eb minor, in flats.
        return key.minor ? Accidentals::Flats : Accidentals::Sharps;
    default: // G D A E B
        return Accidentals::Sharps;
    }
}

QString ChordSpelling::noteName(int pitchClass, Accidentals accidentals) {
    const qint16 pc = mod12(pitchClass);
    switch (accidentals) {
    case Accidentals::Sharps:
        return QString::fromLatin1(sharpNames[pc]);
    case Accidentals::Flats:
        return QString::fromLatin1(flatNames[pc]);
    case Accidentals::Plain:
        break;
    }
    return ChordTheory::PitchNames[pc];
}

std::optional<ChordSpelling::Parts> ChordSpelling::split(QStringView written) {
    const std::optional<ChordSymbol> symbol = ChordSymbol::parse(written);
    if (!symbol)
        return std::nullopt;
    Parts parts;
    // The root is as long as the reading the symbol took: "Bb5" is the power chord on Bb.
    const auto twoLetters =
        written.size() >= 2 ? ChordTheory::parseNoteName(written.left(2)) : std::nullopt;
    const qsizetype rootLength = twoLetters && *twoLetters == symbol->root() ? 2 : 1;
    parts.root = written.left(rootLength).toString();
    parts.rootClass = symbol->root();
    qsizetype end = written.size();
    const qsizetype slash = written.lastIndexOf(u'/');
    if (slash >= rootLength) {
        if (const auto bass = ChordTheory::parseNoteName(written.mid(slash + 1))) {
            parts.bass = written.mid(slash + 1).toString();
            parts.bassClass = *bass;
            end = slash;
        }
    }
    parts.suffix = written.mid(rootLength, end - rootLength).toString();
    return parts;
}

std::optional<QString> ChordSpelling::transposed(QStringView written, int semitones,
                                                 Accidentals accidentals) {
    const std::optional<Parts> parts = split(written);
    if (!parts)
        return std::nullopt;
    QString text = noteName(parts->rootClass + semitones, accidentals) + parts->suffix;
    if (parts->bassClass >= 0)
        text += QLatin1Char('/') + noteName(parts->bassClass + semitones, accidentals);
    return text;
}
