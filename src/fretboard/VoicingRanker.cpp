#include "fretboard/VoicingRanker.h"

#include "catalogue/PitchClass.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

constexpr int root = 0;
constexpr int flatNinth = 1;
constexpr int ninth = 2;
constexpr int minorThird = 3;
constexpr int majorThird = 4;
constexpr int eleventh = 5;
constexpr int flatFifth = 6;
constexpr int fifth = 7;
constexpr int sharpFifth = 8;
constexpr int thirteenth = 9;
constexpr int minorSeventh = 10;
constexpr int majorSeventh = 11;

bool has(IntervalSet set, int semitones) {
    return (set & intervalBit(semitones)) != 0;
}

} // namespace

IntervalSet VoicingRanker::triadOf(IntervalSet tones) {
    IntervalSet triad = intervalBit(root);
    triad |=
        intervalBit(has(tones, majorThird) || !has(tones, minorThird) ? majorThird : minorThird);
    if (has(tones, fifth) || (!has(tones, flatFifth) && !has(tones, sharpFifth)))
        triad |= intervalBit(fifth);
    else
        triad |= intervalBit(has(tones, flatFifth) ? flatFifth : sharpFifth);
    return triad;
}

IntervalSet VoicingRanker::tensionsOf(IntervalSet tones) {
    const bool third = has(tones, majorThird) || has(tones, minorThird);
    const bool seventh = has(tones, minorSeventh) || has(tones, majorSeventh);
    IntervalSet tensions = 0;
    // Without a third, 2 and 4 stand in for it (sus chords) and are no tensions.
    if (third) {
        tensions |= intervalBit(flatNinth) | intervalBit(ninth) | intervalBit(eleventh);
        if (has(tones, majorThird))
            tensions |= intervalBit(minorThird); // #9
    }
    if (has(tones, fifth))
        tensions |= intervalBit(flatFifth) | intervalBit(sharpFifth); // #11, b13
    if (seventh)
        tensions |= intervalBit(thirteenth);
    return IntervalSet(tensions & tones);
}

VoicingRanker::VoicingRanker(const Fretboard& board, const std::optional<ChordTones>& chord,
                             const VoicingGenerator::Options& options)
    : m_board(board), m_chord(chord), m_highFret(std::min(options.highFret, board.highestFret())),
      m_span(options.span),
      m_anyBass(options.inversions || options.rootless || board.tuning().reentrant()) {
    if (!m_chord)
        return;
    const IntervalSet tones = m_chord->chordTones() | intervalBit(root);
    m_triad = triadOf(tones);
    m_tensions = tensionsOf(tones);
    m_thirds =
        IntervalSet(tones & (intervalBit(minorThird) | intervalBit(majorThird)) & ~m_tensions);
    const bool beyondTriad = (tones & ~m_triad) != 0 ||
                             (m_chord->bass >= 0 && !has(m_triad, m_chord->bass - m_chord->root));
    if (!beyondTriad)
        return;
    m_triadShapes = triadShapes(board, m_chord->root, m_triad, options);
}

QSet<QList<qint16>> VoicingRanker::triadShapes(const Fretboard& board, qint16 root,
                                               IntervalSet triad,
                                               const VoicingGenerator::Options& options) {
    // A handful of triads serve every chord of a root: they are generated once a process.
    static QMutex guard;
    static QHash<QString, QSet<QList<qint16>>> made;
    QString key = QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8")
                      .arg(board.tuning().notesText(), QString::number(board.tuning().startFret(0)),
                           QString::number(board.capo()), QString::number(root),
                           QString::number(triad), QString::number(options.span),
                           QString::number(options.lowFret), QString::number(options.highFret)) +
                  (options.openStrings ? QStringLiteral(" open") : QString());
    const QMutexLocker lock(&guard);
    if (const auto found = made.constFind(key); found != made.cend())
        return *found;
    ChordTones chord;
    chord.root = root;
    chord.required = triad;
    VoicingGenerator::Options any = options;
    any.inversions = true;
    any.rootless = false;
    QSet<QList<qint16>> shapes;
    for (const Voicing& v : VoicingGenerator::generate(chord, board, any))
        shapes.insert(v.frets);
    made.insert(key, shapes);
    return shapes;
}

void VoicingRanker::rank(Voicing& voicing) const {
    if (m_chord) {
        voicing.missedOpen = missedOpen(voicing);
        voicing.lowTension = lowTension(voicing);
        voicing.newShape = newShape(voicing);
    }
    voicing.score = voicing.scoreOfTerms(m_board.tuning().reentrant());
}

int VoicingRanker::missedOpen(const Voicing& voicing) const {
    if (voicing.notes.isEmpty() || m_board.tuning().reentrant())
        return 0;
    const qint16 lowest = voicing.lowestNote();
    int missed = 0;
    for (int s = 0; s < voicing.frets.size() && voicing.frets[s] < 0; ++s) {
        const qint16 open = m_board.note(s, 0);
        if (open >= lowest)
            continue;
        const int interval = PitchClass::mod12(open - m_chord->root);
        const bool bass =
            m_chord->bass >= 0
                ? PitchClass::ofNote(open) == m_chord->bass
                : (m_anyBass ? has(m_chord->chordTones() | intervalBit(root), interval)
                             : interval == root);
        if (bass)
            ++missed;
    }
    return missed;
}

int VoicingRanker::lowTension(const Voicing& voicing) const {
    if (m_tensions == 0 || m_thirds == 0)
        return 0;
    int lowestTension = -1;
    int highestThird = -1;
    for (const qint16 note : voicing.notes) {
        const int interval = PitchClass::mod12(note - voicing.root);
        if (has(m_tensions, interval) && (lowestTension < 0 || note < lowestTension))
            lowestTension = note;
        if (has(m_thirds, interval))
            highestThird = std::max(highestThird, int(note));
    }
    return lowestTension >= 0 && highestThird >= 0 && lowestTension < highestThird ? 1 : 0;
}

int VoicingRanker::newShape(const Voicing& voicing) const {
    if (m_triadShapes.isEmpty())
        return 0;
    // The one string that sounds a tone beyond the triad.
    int added = -1;
    for (int s = 0; s < voicing.frets.size(); ++s) {
        if (voicing.frets[s] < 0)
            continue;
        if (!has(m_triad, m_board.note(s, voicing.frets[s]) - voicing.root)) {
            if (added >= 0)
                return 1;
            added = s;
        }
    }
    if (added < 0)
        return 0;
    // The finger moves, the hand stays: the triad's fret lies within the hand's span of the
    // voicing's own fretted frets.
    int low = voicing.frets[added] > 0 ? voicing.frets[added] : m_highFret + 1;
    int high = voicing.frets[added] > 0 ? voicing.frets[added] : 0;
    for (int s = 0; s < voicing.frets.size(); ++s) {
        if (voicing.frets[s] > 0) {
            low = std::min(low, int(voicing.frets[s]));
            high = std::max(high, int(voicing.frets[s]));
        }
    }
    QList<qint16> triadShape = voicing.frets;
    for (int fret = Fretboard::muted; fret <= m_highFret; ++fret) {
        if (fret >= 0 && !m_board.playable(added, fret))
            continue;
        if (fret > 0 && std::max(high, fret) - std::min(low, fret) + 1 > m_span)
            continue;
        triadShape[added] = qint16(fret);
        if (m_triadShapes.contains(triadShape))
            return 0;
    }
    return 1;
}
