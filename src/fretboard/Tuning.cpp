#include "fretboard/Tuning.h"

#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"

#include <QRegularExpression>
#include <cstdlib>
#include <limits>

namespace {

constexpr int octaveDigit = 1;    // scientific pitch writes one octave digit, 0..9
constexpr int banjoShortFret = 5; // the banjo's fifth string starts at its fifth fret

struct Preset {
    const char* name;
    const char* instrument;
    const char* notes;
    int fretCount;
    int shortStringStart; // of the lowest string; 0 for none
    bool thumbOverLowest;
};

// Instruments first, in the order that decides between instruments of one string count
// whose notes lie equally near; then the guitar's other tunings.
constexpr Preset presets[] = {
    {"guitar", "guitar", "E2 A2 D3 G3 B3 E4", 24, 0, true},
    {"7-string", "7-string", "B1 E2 A2 D3 G3 B3 E4", 24, 0, true},
    {"8-string", "8-string", "F#1 B1 E2 A2 D3 G3 B3 E4", 24, 0, true},
    {"bass", "bass", "E1 A1 D2 G2", 21, 0, false},
    {"ukulele", "ukulele", "G4 C4 E4 A4", 15, 0, false},
    {"baritone-ukulele", "baritone-ukulele", "D3 G3 B3 E4", 18, 0, false},
    {"mandolin", "mandolin", "G3 D4 A4 E5", 20, 0, false},
    {"banjo", "banjo", "G4 D3 G3 B3 D4", 22, banjoShortFret, false},
    {"cigar-box", "cigar-box", "G2 D3 G3", 18, 0, false},
    {"drop-d", "guitar", "D2 A2 D3 G3 B3 E4", 24, 0, true},
    {"dadgad", "guitar", "D2 A2 D3 G3 A3 D4", 24, 0, true},
    {"open-g", "guitar", "D2 G2 D3 G3 B3 D4", 24, 0, true},
    {"open-d", "guitar", "D2 A2 D3 F#3 A3 D4", 24, 0, true},
    {"open-e", "guitar", "E2 B2 E3 G#3 B3 E4", 24, 0, true},
    {"half-step-down", "guitar", "Eb2 Ab2 Db3 Gb3 Bb3 Eb4", 24, 0, true},
};

Tuning build(const Preset& p, const QString& name, const QList<qint16>& notes) {
    QList<Tuning::String> strings;
    for (const qint16 note : notes)
        strings << Tuning::String{note, 0};
    if (p.shortStringStart > 0 && !strings.isEmpty())
        strings.first().startFret = qint16(p.shortStringStart);
    return Tuning(name, QString::fromLatin1(p.instrument), strings, p.fretCount, p.thumbOverLowest);
}

QList<qint16> presetNotes(const Preset& p) {
    QList<qint16> notes;
    for (const QString& word : QString::fromLatin1(p.notes).split(QLatin1Char(' ')))
        notes << *Tuning::parseNote(word);
    return notes;
}

Tuning presetTuning(const Preset& p) {
    return build(p, QString::fromLatin1(p.name), presetNotes(p));
}

// The length (1 or 2) of the note name at the start of a compact tuning such as "DADGAD",
// "EbAbDbGbBbEb" or "gDGBD", or 0 when none starts there. A "b" is a flat only after a
// capital letter: in "EADGbe" it is the B string.
qsizetype noteNameLength(QStringView text) {
    if (text.isEmpty() || !ChordTheory::parseNoteName(text.left(1)))
        return 0;
    if (text.size() >= 2) {
        const QChar accidental = text[1];
        if (accidental == u'#' || accidental == u'\u266F' || accidental == u'\u266D' ||
            (accidental == u'b' && text[0].isUpper()))
            return 2;
    }
    return 1;
}

// The MIDI note of pitch class `pc` nearest to `near` (the lower one of two equally near).
qint16 nearestNote(qint16 pc, qint16 near) {
    const int below = near - PitchClass::mod12(near - pc);
    return qint16(near - below <= below + PitchClass::count - near ? below
                                                                   : below + PitchClass::count);
}

} // namespace

Tuning::Tuning() : Tuning(presetTuning(presets[0])) {}

Tuning::Tuning(QString name, QString instrument, QList<String> strings, int fretCount,
               bool thumbOverLowest)
    : m_name(std::move(name)), m_instrument(std::move(instrument)), m_strings(std::move(strings)),
      m_fretCount(fretCount), m_thumbOverLowest(thumbOverLowest) {}

bool Tuning::reentrant() const {
    for (int s = 1; s < stringCount(); ++s) {
        if (openNote(s) < openNote(s - 1))
            return true;
    }
    return false;
}

QString Tuning::notesText() const {
    QStringList words;
    for (const String& s : m_strings)
        words << noteName(s.openNote);
    return words.join(QLatin1Char(' '));
}

bool Tuning::operator==(const Tuning& other) const {
    if (m_fretCount != other.m_fretCount || m_thumbOverLowest != other.m_thumbOverLowest ||
        m_strings.size() != other.m_strings.size())
        return false;
    for (qsizetype i = 0; i < m_strings.size(); ++i) {
        if (m_strings[i].openNote != other.m_strings[i].openNote ||
            m_strings[i].startFret != other.m_strings[i].startFret)
            return false;
    }
    return true;
}

std::optional<Tuning> Tuning::preset(QStringView name) {
    for (const Preset& p : presets) {
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return presetTuning(p);
    }
    return std::nullopt;
}

bool Tuning::isInstrument(QStringView name) {
    for (const Preset& p : presets) {
        if (name.compare(QLatin1String(p.name), Qt::CaseInsensitive) == 0)
            return qstrcmp(p.name, p.instrument) == 0;
    }
    return false;
}

QStringList Tuning::presetNames() {
    QStringList names;
    for (const Preset& p : presets)
        names << QString::fromLatin1(p.name);
    return names;
}

QStringList Tuning::instrumentNames() {
    QStringList names;
    for (const Preset& p : presets) {
        if (qstrcmp(p.name, p.instrument) == 0)
            names << QString::fromLatin1(p.name);
    }
    return names;
}

std::optional<qint16> Tuning::parseNote(QStringView text) {
    const qsizetype nameLength = text.size() - octaveDigit;
    if (nameLength < 1 || nameLength > 2)
        return std::nullopt;
    const QChar digit = text.back();
    if (digit < u'0' || digit > u'9')
        return std::nullopt;
    const std::optional<qint16> pc = ChordTheory::parseNoteName(text.left(nameLength));
    if (!pc)
        return std::nullopt;
    // Octave n starts at C: C4 is MIDI 60. An accidental moves across the octave's edge
    // by itself ("Cb4" is B3, 59; "B#3" is C4, 60).
    const int letterPc = *ChordTheory::parseNoteName(text.left(1));
    int note = (digit.digitValue() + 1) * PitchClass::count + letterPc;
    const int accidental = PitchClass::mod12(*pc - letterPc);
    note += accidental == PitchClass::count - 1 ? -1 : accidental;
    if (note < 0 || note > highestNote)
        return std::nullopt;
    return qint16(note);
}

QString Tuning::noteName(qint16 midiNote) {
    return ChordTheory::PitchNames[PitchClass::ofNote(midiNote)] +
           QString::number(midiNote / PitchClass::count - 1);
}

namespace {

// The notes of a tuning written out: notes with octaves ("D2 A2 D3 G3 A3 D4") into `notes`, or
// note names alone ("DADGAD", the banjo's "gDGBD") into `classes`. The one-line error, if any.
std::optional<QString> readNotes(const QString& whole, QList<qint16>& notes,
                                 QList<qint16>& classes) {
    const QString trimmed = whole.trimmed();
    static const QRegularExpression digit(QStringLiteral("[0-9]"));
    if (trimmed.contains(digit)) {
        static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
        for (const QString& word : trimmed.split(separators, Qt::SkipEmptyParts)) {
            const std::optional<qint16> note = Tuning::parseNote(word);
            if (!note)
                return QStringLiteral("'%1' in tuning '%2' is not a note (such as E2, F#3 or Bb1)")
                    .arg(word, whole);
            notes << *note;
        }
        return std::nullopt;
    }
    const QString presets = Tuning::presetNames().join(QStringLiteral(", "));
    // Written note names have capitals; a word in small letters that is no preset is a
    // misspelt preset, not notes ("dadgda").
    if (trimmed == trimmed.toLower() && !trimmed.isEmpty())
        return QStringLiteral("unknown tuning '%1' (presets: %2; or notes such as "
                              "'D2 A2 D3 G3 A3 D4' or DADGAD)")
            .arg(whole, presets);
    for (qsizetype at = 0; at < trimmed.size();) {
        const qsizetype length = noteNameLength(QStringView(trimmed).mid(at));
        if (length == 0)
            return QStringLiteral("'%1' in tuning '%2' is not a note; a tuning is a preset (%3), "
                                  "notes such as 'D2 A2 D3 G3 A3 D4' or note names such as "
                                  "DADGAD")
                .arg(trimmed.mid(at, 1), whole, presets);
        classes << *ChordTheory::parseNoteName(QStringView(trimmed).mid(at, length));
        at += length;
    }
    return std::nullopt;
}

} // namespace

std::optional<Tuning> Tuning::parse(QStringView text, QString* error, const Tuning* reference) {
    auto fail = [&](const QString& message) -> std::optional<Tuning> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    if (std::optional<Tuning> named = preset(text))
        return named;
    const QString whole = text.toString();
    QList<qint16> notes;
    QList<qint16> classes;
    if (const std::optional<QString> problem = readNotes(whole, notes, classes))
        return fail(*problem);
    const bool compact = notes.isEmpty();
    const qsizetype count = compact ? classes.size() : notes.size();
    if (count < minStrings || count > maxStrings)
        return fail(QStringLiteral("tuning '%1' has %2 strings; a tuning has %3 to %4")
                        .arg(whole, QString::number(count), QString::number(minStrings),
                             QString::number(maxStrings)));

    // The instrument the notes belong to: the reference when it has as many strings, else
    // the instrument of that string count whose open strings lie nearest.
    const auto placed = [&](const Tuning& like, int s) {
        return compact ? nearestNote(classes[s], like.openNote(s)) : notes[s];
    };
    std::optional<Tuning> like;
    if (reference && reference->stringCount() == count) {
        like = *reference;
    } else {
        int bestDistance = std::numeric_limits<int>::max();
        for (const Preset& p : presets) {
            if (qstrcmp(p.name, p.instrument) != 0)
                continue;
            const Tuning candidate = presetTuning(p);
            if (candidate.stringCount() != count)
                continue;
            int distance = 0;
            for (int s = 0; s < count; ++s)
                distance += std::abs(placed(candidate, s) - candidate.openNote(s));
            if (distance < bestDistance) {
                bestDistance = distance;
                like = candidate;
            }
        }
    }
    if (!like)
        return fail(QStringLiteral("tuning '%1': no instrument has %2 strings")
                        .arg(whole, QString::number(count)));
    QList<String> strings;
    for (int s = 0; s < count; ++s) {
        const qint16 note = placed(*like, s);
        if (note < 0 || note > highestNote)
            return fail(QStringLiteral("tuning '%1' reaches outside MIDI notes 0 to %2")
                            .arg(whole, QString::number(highestNote)));
        strings << String{note, 0};
    }
    // A short string stays short while it is still tuned above the string after it.
    if (like->startFret(0) > 0 && count > 1 && strings[0].openNote > strings[1].openNote)
        strings[0].startFret = like->startFret(0);
    return Tuning(whole.trimmed(), like->instrument(), strings, like->fretCount(),
                  like->thumbOverLowest());
}

std::optional<Tuning> Tuning::parseFor(const Tuning& instrument, QStringView text, QString* error) {
    auto fail = [&](const QString& message) -> std::optional<Tuning> {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const std::optional<Tuning> read = parse(text, error, &instrument);
    if (!read)
        return std::nullopt;
    if (preset(text) && read->instrument() != instrument.name())
        return fail(QStringLiteral("tuning '%1' is one of the %2, not of the %3")
                        .arg(text.toString(), read->instrument(), instrument.name()));
    if (read->stringCount() != instrument.stringCount())
        return fail(QStringLiteral("tuning '%1' has %2 strings, the %3 %4")
                        .arg(text.toString(), QString::number(read->stringCount()),
                             instrument.name(), QString::number(instrument.stringCount())));
    return read;
}
