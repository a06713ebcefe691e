#include "writers/MusicXmlScore.h"

#include "base/Failure.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"
#include "chart/ChordBox.h"
#include "writers/ImageFile.h"
#include "writers/MusicXmlHarmony.h"

#include <QHash>
#include <QStringList>
#include <QXmlStreamWriter>
#include <algorithm>

namespace {

using PitchClass::mod12;

constexpr auto version = "4.0";
constexpr auto doctype = "<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 "
                         "Partwise//EN\" \"http://www.musicxml.org/dtds/partwise.dtd\">";
constexpr auto partId = "P1";
constexpr auto instrumentId = "P1-I1";
// One quarter note is one division; a 4/4 measure holds four.
constexpr int divisions = 1;
constexpr int beats = 4;
constexpr int beatType = 4;
// MIDI notes that choose the clef: an instrument whose highest string lies below C3 reads the
// bass clef an octave down (the bass), one whose lowest string lies below G3 the treble clef an
// octave down (guitars, the banjo), any other the treble clef (ukulele, mandolin).
constexpr int bassClefBelow = 48;
constexpr int octaveTrebleBelow = 55;
constexpr int bassClefLine = 4;
constexpr int trebleClefLine = 2;

// A note name as MusicXML writes it: a letter and its alteration in semitones.
struct Spelling {
    QChar step;
    int alter = 0;
};

// `note` ("Bb", "a#", "C") as a step and alteration when it reads as `pitchClass`.
std::optional<Spelling> spellingOf(QStringView note, qint16 pitchClass) {
    const std::optional<qint16> read = ChordTheory::parseNoteName(note);
    if (note.isEmpty() || !read || *read != pitchClass)
        return std::nullopt;
    const QChar step = note[0].toUpper();
    const qint16 natural = *ChordTheory::parseNoteName(QStringView(&step, 1));
    const int up = mod12(*read - natural);
    return Spelling{step, up > PitchClass::count / 2 ? up - PitchClass::count : up};
}

// The program's own name of a pitch class, spelled.
Spelling spellingOf(qint16 pitchClass) {
    const QString& name = ChordTheory::PitchNames[mod12(pitchClass)];
    return *spellingOf(name, mod12(pitchClass));
}

// The root as `name` begins with it ("Bb" of "Bbm7", "B" of "Bm7"), when it is `pitchClass`,
// and how many characters it takes.
std::optional<std::pair<Spelling, qsizetype>> leadingSpelling(QStringView name, qint16 pitchClass) {
    for (const qsizetype length : {2, 1}) {
        if (name.size() < length)
            continue;
        if (const std::optional<Spelling> s = spellingOf(name.left(length), pitchClass))
            return std::pair{*s, length};
    }
    return std::nullopt;
}

// The pitch classes of the diagram's sounding strings, from their note names; nullopt when a
// sounding string's note is not known.
std::optional<QList<qint16>> soundingPitchClasses(const ChordDiagram& diagram) {
    QList<qint16> classes;
    for (const ChordDiagram::String& s : diagram.strings) {
        if (s.fret == ChordDiagram::muted)
            continue;
        const std::optional<qint16> pc = ChordTheory::parseNoteName(s.note);
        if (!pc)
            return std::nullopt;
        classes << *pc;
    }
    return classes;
}

// What the <harmony> of one chord says.
struct HarmonyText {
    Spelling root;
    bool rootShown = true;
    QString kindText; // the chart's spelling after the root
    MusicXmlHarmony harmony;
    std::optional<Spelling> bass;
};

HarmonyText harmonyOf(const MusicXmlScore::Chord& chord) {
    HarmonyText text;
    if (chord.symbol) {
        const ChordSymbol& symbol = *chord.symbol;
        const auto leading = leadingSpelling(chord.name, symbol.root());
        text.root = leading ? leading->first : spellingOf(symbol.root());
        text.kindText = symbol.formula().symbol;
        text.harmony = MusicXmlHarmony::of(symbol.formula());
        if (symbol.bass() != ChordSymbol::rootInBass) {
            const qsizetype slash = chord.name.lastIndexOf(u'/');
            const std::optional<Spelling> written =
                slash < 0 ? std::nullopt
                          : spellingOf(QStringView(chord.name).mid(slash + 1), symbol.bass());
            text.bass = written ? *written : spellingOf(symbol.bass());
        }
        return text;
    }
    // A name the vocabulary does not read: shown as written, with the notes the diagram
    // sounds above the root it begins with (a capital A to G: "intro" has none), else above
    // its lowest note.
    const std::optional<QList<qint16>> notes = soundingPitchClasses(chord.diagram);
    const bool capital = !chord.name.isEmpty() && chord.name[0] >= u'A' && chord.name[0] <= u'G';
    const std::optional<qint16> nameRoot =
        capital ? ChordTheory::parseNoteName(chord.name.left(2)) : std::nullopt;
    const std::optional<qint16> letterRoot =
        capital ? ChordTheory::parseNoteName(chord.name.left(1)) : std::nullopt;
    qint16 root = 0;
    if (const std::optional<qint16> written = nameRoot ? nameRoot : letterRoot) {
        root = *written;
        const auto leading = leadingSpelling(chord.name, root);
        text.root = leading->first;
        text.kindText = chord.name.mid(leading->second);
    } else {
        root = notes && !notes->isEmpty() ? notes->first() : qint16(0);
        text.root = spellingOf(root);
        text.rootShown = false;
        text.kindText = chord.name;
    }
    IntervalSet tones = 0;
    for (const qint16 pc : notes.value_or(QList<qint16>{}))
        tones |= intervalBit(pc - root);
    text.harmony = MusicXmlHarmony::ofTones(tones);
    // Nothing sounds ("N.C." over muted strings): MusicXML's explicit absence of a chord.
    if (notes && notes->isEmpty())
        text.harmony.kind = QStringLiteral("none");
    return text;
}

class ScoreWriter {
public:
    ScoreWriter(const MusicXmlScore::Score& score, QByteArray* out) : m_score(score), m_xml(out) {
        m_xml.setAutoFormatting(true);
        m_xml.setAutoFormattingIndent(2);
    }

    void write() {
        m_xml.writeStartDocument();
        m_xml.writeDTD(QLatin1String(doctype));
        m_xml.writeStartElement(QStringLiteral("score-partwise"));
        m_xml.writeAttribute(QStringLiteral("version"), QLatin1String(version));
        if (!m_score.title.isEmpty()) {
            m_xml.writeStartElement(QStringLiteral("work"));
            m_xml.writeTextElement(QStringLiteral("work-title"), m_score.title);
            m_xml.writeEndElement();
        }
        m_xml.writeStartElement(QStringLiteral("identification"));
        m_xml.writeStartElement(QStringLiteral("encoding"));
        m_xml.writeTextElement(QStringLiteral("software"),
                               QStringLiteral("Strumvane " STRUMVANE_VERSION));
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeStartElement(QStringLiteral("part-list"));
        m_xml.writeStartElement(QStringLiteral("score-part"));
        m_xml.writeAttribute(QStringLiteral("id"), QLatin1String(partId));
        m_xml.writeTextElement(QStringLiteral("part-name"), m_score.instrument);
        m_xml.writeStartElement(QStringLiteral("score-instrument"));
        m_xml.writeAttribute(QStringLiteral("id"), QLatin1String(instrumentId));
        m_xml.writeTextElement(QStringLiteral("instrument-name"), m_score.instrument);
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeStartElement(QStringLiteral("part"));
        m_xml.writeAttribute(QStringLiteral("id"), QLatin1String(partId));
        for (qsizetype i = 0; i < m_score.chords.size(); ++i)
            writeMeasure(int(i));
        m_xml.writeEndElement();
        m_xml.writeEndElement();
        m_xml.writeEndDocument();
    }

private:
    void text(const char* name, const QString& value) {
        m_xml.writeTextElement(QLatin1String(name), value);
    }
    void number(const char* name, int value) { text(name, QString::number(value)); }

    void writeMeasure(int index) {
        m_xml.writeStartElement(QStringLiteral("measure"));
        m_xml.writeAttribute(QStringLiteral("number"), QString::number(index + 1));
        if (index == 0) {
            writeAttributes();
            if (const QString words = tuningWords(); !words.isEmpty())
                writeWords(words);
        }
        writeHarmony(m_score.chords[index]);
        m_xml.writeStartElement(QStringLiteral("note"));
        m_xml.writeEmptyElement(QStringLiteral("rest"));
        m_xml.writeAttribute(QStringLiteral("measure"), QStringLiteral("yes"));
        number("duration", beats * divisions);
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }

    void writeAttributes() {
        m_xml.writeStartElement(QStringLiteral("attributes"));
        number("divisions", divisions);
        m_xml.writeStartElement(QStringLiteral("key"));
        number("fifths", 0);
        m_xml.writeEndElement();
        // The measures only carry the chords: the metre is not printed.
        m_xml.writeStartElement(QStringLiteral("time"));
        m_xml.writeAttribute(QStringLiteral("print-object"), QStringLiteral("no"));
        number("beats", beats);
        number("beat-type", beatType);
        m_xml.writeEndElement();
        writeClef();
        m_xml.writeEndElement();
    }

    void writeClef() {
        qint16 lowest = Tuning::highestNote, highest = 0;
        for (const Tuning::String& s : m_score.board.tuning().strings()) {
            lowest = std::min(lowest, s.openNote);
            highest = std::max(highest, s.openNote);
        }
        const bool bass = highest < bassClefBelow;
        m_xml.writeStartElement(QStringLiteral("clef"));
        text("sign", bass ? QStringLiteral("F") : QStringLiteral("G"));
        number("line", bass ? bassClefLine : trebleClefLine);
        if (lowest < octaveTrebleBelow)
            number("clef-octave-change", -1);
        m_xml.writeEndElement();
    }

    // How the strings are tuned and where the capo sits, for the player: "Tuning D2 A2 D3 G3
    // A3 D4, Capo 2"; empty for the instrument's standard tuning without a capo. (MusicXML's
    // staff-tuning and capo describe the lines of a tablature staff, which this part is not.)
    QString tuningWords() const {
        QStringList words;
        const Tuning& tuning = m_score.board.tuning();
        if (tuning.name() != tuning.instrument())
            words << QStringLiteral("Tuning ") + tuning.notesText();
        if (m_score.board.capo() > 0)
            words << QStringLiteral("Capo %1").arg(m_score.board.capo());
        return words.join(QStringLiteral(", "));
    }

    void writeWords(const QString& words) {
        m_xml.writeStartElement(QStringLiteral("direction"));
        m_xml.writeAttribute(QStringLiteral("placement"), QStringLiteral("above"));
        m_xml.writeStartElement(QStringLiteral("direction-type"));
        text("words", words);
        m_xml.writeEndElement();
        m_xml.writeEndElement();
    }

    void writeHarmony(const MusicXmlScore::Chord& chord) {
        const HarmonyText h = harmonyOf(chord);
        m_xml.writeStartElement(QStringLiteral("harmony"));
        // A frame needs a sounding string.
        const bool sounds = std::any_of(
            chord.diagram.strings.cbegin(), chord.diagram.strings.cend(),
            [](const ChordDiagram::String& s) { return s.fret != ChordDiagram::muted; });
        m_xml.writeAttribute(QStringLiteral("print-frame"),
                             sounds ? QStringLiteral("yes") : QStringLiteral("no"));
        m_xml.writeStartElement(QStringLiteral("root"));
        m_xml.writeStartElement(QStringLiteral("root-step"));
        if (!h.rootShown)
            m_xml.writeAttribute(QStringLiteral("text"), QString());
        m_xml.writeCharacters(h.root.step);
        m_xml.writeEndElement();
        if (h.root.alter != 0)
            number("root-alter", h.root.alter);
        m_xml.writeEndElement();
        m_xml.writeStartElement(QStringLiteral("kind"));
        m_xml.writeAttribute(QStringLiteral("text"), h.kindText);
        m_xml.writeCharacters(h.harmony.kind);
        m_xml.writeEndElement();
        if (h.bass) {
            m_xml.writeStartElement(QStringLiteral("bass"));
            text("bass-step", h.bass->step);
            if (h.bass->alter != 0)
                number("bass-alter", h.bass->alter);
            m_xml.writeEndElement();
        }
        for (const MusicXmlHarmony::Degree& d : h.harmony.degrees) {
            m_xml.writeStartElement(QStringLiteral("degree"));
            // The kind's text already spells them.
            m_xml.writeAttribute(QStringLiteral("print-object"), QStringLiteral("no"));
            number("degree-value", d.value);
            number("degree-alter", d.alter);
            text("degree-type", MusicXmlHarmony::typeText(d.type));
            m_xml.writeEndElement();
        }
        if (sounds)
            writeFrame(chord.diagram);
        m_xml.writeEndElement();
    }

    void writeFrame(const ChordDiagram& diagram) {
        const ChordBox::Options box;
        const int strings = int(diagram.strings.size());
        m_xml.writeStartElement(QStringLiteral("frame"));
        m_xml.writeAttribute(QStringLiteral("unplayed"), QStringLiteral("x"));
        number("frame-strings", strings);
        number("frame-frets", ChordBox::fretRows(diagram, box));
        number("first-fret", ChordBox::baseFret(diagram, box));
        QHash<int, QString> barreEnds; // string index -> "start" or "stop"
        for (const ChordDiagram::Barre& b : diagram.barres()) {
            barreEnds.insert(b.first, QStringLiteral("start"));
            barreEnds.insert(b.last, QStringLiteral("stop"));
        }
        for (int s = 0; s < strings; ++s) {
            const ChordDiagram::String& string = diagram.strings[s];
            if (string.fret == ChordDiagram::muted)
                continue;
            m_xml.writeStartElement(QStringLiteral("frame-note"));
            number("string", strings - s);
            number("fret", string.fret);
            if (string.fret != ChordDiagram::open && string.finger != ChordDiagram::noFinger)
                text("fingering", string.finger == ChordDiagram::thumb
                                      ? QStringLiteral("T")
                                      : QString::number(string.finger));
            if (barreEnds.contains(s)) {
                m_xml.writeEmptyElement(QStringLiteral("barre"));
                m_xml.writeAttribute(QStringLiteral("type"), barreEnds.value(s));
            }
            m_xml.writeEndElement();
        }
        m_xml.writeEndElement();
    }

    const MusicXmlScore::Score& m_score;
    QXmlStreamWriter m_xml;
};

} // namespace

QByteArray MusicXmlScore::encode(const Score& score) {
    if (score.chords.isEmpty())
        throw Failure::invalidProcedureCall();
    for (const Chord& chord : score.chords) {
        if (chord.diagram.problem() ||
            chord.diagram.strings.size() != qsizetype(score.board.stringCount()))
            throw Failure::invalidProcedureCall();
    }
    QByteArray bytes;
    ScoreWriter(score, &bytes).write();
    return bytes;
}

WriteResult MusicXmlScore::write(const QString& fileName, const Score& score, QString* reason) {
    return ImageFile::writeFile(fileName, encode(score), reason);
}
