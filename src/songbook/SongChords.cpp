#include "songbook/SongChords.h"

#include "base/WholeNumber.h"
#include "catalogue/ChordFinder.h"
#include "catalogue/ChordNamer.h"
#include "catalogue/PitchClass.h"
#include "fretboard/Fingering.h"
#include "fretboard/VoicingFinder.h"
#include "songbook/ChordSpelling.h"

#include <QHash>
#include <QSet>
#include <algorithm>
#include <tuple>
#include <vector>

namespace {

using PitchClass::mod12;

constexpr int minorThird = 3;
constexpr int majorThird = 4;

// The key a chord names when it is a song's first: its root, minor when it has a minor third
// and no major one.
ChordSpelling::Key keyOfChord(const ChordSymbol& chord) {
    const IntervalSet tones = chord.required();
    const bool minor = (tones & intervalBit(minorThird)) && !(tones & intervalBit(majorThird));
    return ChordSpelling::Key{chord.root(), minor};
}

ChordSpelling::Accidentals spellingOf(Song::Accidentals asked, ChordSpelling::Key key) {
    switch (asked) {
    case Song::Accidentals::Sharps:
        return ChordSpelling::Accidentals::Sharps;
    case Song::Accidentals::Flats:
        return ChordSpelling::Accidentals::Flats;
    case Song::Accidentals::ByKey:
        break;
    }
    return ChordSpelling::accidentalsOf(key);
}

// The notes of each string (-1 for a muted one) of `voicing`, as the voice-leading distance
// takes them.
std::vector<int> notesByString(const Voicing& voicing, const Fretboard& board) {
    std::vector<int> notes;
    for (qsizetype s = 0; s < voicing.frets.size(); ++s)
        notes.push_back(voicing.frets[s] < 0 ? -1 : board.note(int(s), voicing.frets[s]));
    return notes;
}

class Resolver {
public:
    Resolver(Song& song, const SongChords::Options& options, QList<SongWarning>& warnings)
        : m_song(song), m_options(options), m_warnings(warnings) {}

    void run() {
        int fileCapo = 0;
        if (!m_song.capo.trimmed().isEmpty()) {
            const auto capo = WholeNumber::parse(m_song.capo.trimmed(), 0, Fretboard::maxCapo);
            if (capo)
                fileCapo = *capo;
            else
                warn(m_song.capoLine, QStringLiteral("capo '%1' is not a fret 0 to %2; read as no "
                                                     "capo")
                                          .arg(m_song.capo, QString::number(Fretboard::maxCapo)));
        }
        m_capo = m_options.capo.value_or(fileCapo);
        m_song.board = Fretboard(m_options.tuning, m_capo);
        m_shift = m_options.transpose + fileCapo - m_capo;
        nameKeys();
        nameMarks();
        voiceChords();
    }

private:
    void warn(int line, const QString& message) {
        m_warnings << SongWarning{m_song.file, line, message};
    }

    // The heading's key: the first {key} as the song's first chords are printed, under the
    // file's {transpose} in force there ({key: C}{transpose: 2} prints in D).
    void nameKeys() {
        const auto key = ChordSpelling::readKey(m_song.key);
        m_song.printedKey = m_song.key;
        m_song.soundingKey.clear();
        if (!key)
            return;
        int shift = m_shift;
        for (const Song::Mark* mark : std::as_const(m_song).marks()) {
            if (!mark->annotation) {
                shift += mark->transpose;
                break;
            }
        }
        if (mod12(shift) != 0)
            m_song.printedKey = ChordSpelling::keyName(ChordSpelling::moved(*key, shift));
        if (m_capo > 0)
            m_song.soundingKey = ChordSpelling::keyName(ChordSpelling::moved(*key, shift + m_capo));
    }

    // The key a mark's chord is spelled in, before it moves: the {key} in force, else the
    // key of the song's first chord.
    std::optional<ChordSpelling::Key> keyOf(const Song::Mark& mark) {
        if (const auto key = ChordSpelling::readKey(mark.key))
            return key;
        if (!m_firstChordKey) {
            for (const Song::Mark* m : std::as_const(m_song).marks()) {
                if (m->annotation)
                    continue;
                if (const auto chord = ChordSymbol::parse(m->written)) {
                    m_firstChordKey = keyOfChord(*chord);
                    break;
                }
            }
        }
        return m_firstChordKey;
    }

    bool hasShape(const QString& name) const {
        return std::any_of(m_song.shapes.cbegin(), m_song.shapes.cend(),
                           [&](const Song::Shape& s) { return s.name == name; });
    }

    void nameMarks() {
        m_song.chords.clear();
        QHash<QString, int> index;
        QSet<QString> warned;
        for (Song::Block& block : m_song.blocks) {
            for (Song::Line& line : block.lines) {
                for (Song::Mark& mark : line.marks) {
                    mark.shown = mark.written;
                    mark.chord = -1;
                    if (mark.annotation)
                        continue;
                    QString error;
                    const bool chord = ChordSymbol::parse(mark.written, &error).has_value();
                    const int moved = m_shift + mark.transpose;
                    if (chord && mod12(moved) != 0) {
                        const auto key = keyOf(mark);
                        const auto spelling =
                            spellingOf(mark.accidentals, key ? ChordSpelling::moved(*key, moved)
                                                             : ChordSpelling::Key{});
                        mark.shown = ChordSpelling::transposed(mark.written, moved, spelling)
                                         .value_or(mark.written);
                    }
                    if (!chord && !hasShape(mark.written)) {
                        if (!warned.contains(mark.written))
                            warn(line.line, QStringLiteral("'%1' is printed as text: %2")
                                                .arg(mark.written, error));
                        warned.insert(mark.written);
                        continue;
                    }
                    auto found = index.constFind(mark.shown);
                    if (found == index.cend()) {
                        Song::Chord used;
                        used.name = mark.shown;
                        used.symbol = ChordSymbol::parse(mark.shown);
                        used.inStrip = false;
                        used.line = line.line;
                        found = index.insert(mark.shown, int(m_song.chords.size()));
                        m_song.chords << used;
                    }
                    mark.chord = *found;
                    if (line.kind == Song::Line::Kind::Lyrics ||
                        line.kind == Song::Line::Kind::Grid)
                        m_song.chords[mark.chord].inStrip = true;
                }
            }
        }
    }

    // The file's shape for `name` on this instrument: a {define} before a {chord}, one
    // given for the instrument before a plain one, a later before an earlier.
    const Song::Shape* shapeFor(const QString& name, bool drawnAnyway) {
        const Song::Shape* best = nullptr;
        QList<const Song::Shape*> misfits;
        const auto rank = [](const Song::Shape& s) {
            return std::tuple(!s.inPlace, s.forInstrument);
        };
        for (const Song::Shape& shape : m_song.shapes) {
            if (shape.name != name)
                continue;
            if (shape.frets.size() != m_song.board.stringCount()) {
                misfits << &shape;
                continue;
            }
            if (!best || rank(shape) >= rank(*best))
                best = &shape;
        }
        if (!best) {
            for (const Song::Shape* shape : misfits)
                warn(shape->line, QStringLiteral("the shape of '%1' has %2 strings, the %3 %4; %5")
                                      .arg(name, QString::number(shape->frets.size()),
                                           m_song.board.tuning().instrument(),
                                           QString::number(m_song.board.stringCount()),
                                           drawnAnyway ? QStringLiteral("another is drawn")
                                                       : QStringLiteral("printed as text")));
        }
        return best;
    }

    std::optional<Voicing> voicingOfShape(const Song::Shape& shape, const Song::Chord& chord) {
        const Fretboard& board = m_song.board;
        bool sounds = false;
        for (qsizetype s = 0; s < shape.frets.size(); ++s) {
            if (shape.frets[s] >= 0 && !board.playable(int(s), shape.frets[s])) {
                warn(shape.line, QStringLiteral("the shape of '%1' cannot be played on the %2 "
                                                "(fret %3 of string %4); %5")
                                     .arg(shape.name, board.description(),
                                          QString::number(shape.frets[s]), QString::number(s + 1),
                                          chord.symbol ? QStringLiteral("another is drawn")
                                                       : QStringLiteral("printed as text")));
                return std::nullopt;
            }
            sounds = sounds || shape.frets[s] >= 0;
        }
        if (!sounds)
            return std::nullopt;
        QList<qint8> fingers = shape.fingers;
        if (fingers.isEmpty())
            fingers =
                Fingering::of(shape.frets, Fingering::defaultSpan, board.tuning().thumbOverLowest())
                    .value_or(QList<qint8>(shape.frets.size(), 0));
        const QList<qint16> notes = board.notes(shape.frets);
        qint16 root = ChordNamer::lowestPitchClass(notes);
        if (chord.sounding) {
            root = chord.sounding->root;
        } else if (const auto readings = ChordNamer::readings(notes, false); !readings.isEmpty()) {
            root = readings.first().root;
        }
        return Voicing::of(board, shape.frets, fingers, root);
    }

    std::optional<Voicing> generated(const Song::Chord& chord) {
        VoicingFinder::Query query;
        query.board = m_song.board;
        query.chord = chord.sounding;
        if (m_capo == 0)
            query.catalogueChord = ChordFinder::parseChordName(chord.name);
        const QList<VoicingFinder::Row> rows = VoicingFinder::find(query);
        if (rows.isEmpty())
            return std::nullopt;
        if (!m_options.voiceLead || !m_previous)
            return rows.first().voicing;
        const std::vector<int> from = notesByString(*m_previous, m_song.board);
        const VoicingFinder::Row* nearest = nullptr;
        int nearestDistance = 0;
        for (qsizetype i = 0; i < rows.size() && i < SongChords::voiceLeadCandidates; ++i) {
            const Voicing& v = rows[i].voicing;
            const int distance = ChordFinder::voiceLeadingDistance(
                from, m_previous->position, notesByString(v, m_song.board), v.position);
            // Rows come easiest first: a tie keeps the easier.
            if (!nearest || distance < nearestDistance) {
                nearest = &rows[i];
                nearestDistance = distance;
            }
        }
        return nearest->voicing;
    }

    void voiceChords() {
        m_previous.reset();
        for (Song::Chord& chord : m_song.chords) {
            if (chord.symbol) {
                ChordTones tones = *ChordTones::parse(chord.name);
                tones.root = mod12(tones.root + m_capo);
                if (tones.bass >= 0)
                    tones.bass = mod12(tones.bass + m_capo);
                chord.sounding = tones;
            }
            if (const Song::Shape* shape = shapeFor(chord.name, chord.symbol.has_value())) {
                chord.voicing = voicingOfShape(*shape, chord);
                chord.defined = chord.voicing.has_value();
            }
            if (!chord.voicing && chord.sounding) {
                chord.voicing = generated(chord);
                if (!chord.voicing)
                    warn(chord.line, QStringLiteral("no voicing of '%1' on the %2; printed as text")
                                         .arg(chord.name, m_song.board.description()));
            }
            if (chord.voicing)
                m_previous = chord.voicing;
        }
    }

    Song& m_song;
    const SongChords::Options& m_options;
    QList<SongWarning>& m_warnings;
    int m_capo = 0;
    int m_shift = 0;
    std::optional<ChordSpelling::Key> m_firstChordKey;
    std::optional<Voicing> m_previous;
};

} // namespace

void SongChords::resolve(Song& song, const Options& options, QList<SongWarning>& warnings) {
    Resolver(song, options, warnings).run();
}
