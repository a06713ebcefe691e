#include "chart/VoicingDiagram.h"

#include "catalogue/ChordNamer.h"
#include "catalogue/ChordTheory.h"
#include "catalogue/PitchClass.h"
#include "fretboard/Fingering.h"

#include <QStringList>

ChordDiagram VoicingDiagram::of(const Voicing& voicing, const Fretboard& board, const QString& name,
                                const std::optional<ChordTones>& chord) {
    QStringList intervals;
    if (!chord) {
        const QList<ChordNamer::Reading> readings = ChordNamer::readings(voicing.notes, false);
        if (!readings.isEmpty())
            intervals = ChordNamer::intervalText(readings.first(), voicing.notes).split(u'-');
    }
    ChordDiagram diagram;
    diagram.name = name;
    diagram.capo = board.capo();
    diagram.shapeName = shapeName(voicing, board, chord, name.contains(u'/'));
    qsizetype sounding = 0;
    for (qsizetype s = 0; s < voicing.frets.size(); ++s) {
        ChordDiagram::String string;
        string.fret = voicing.frets[s];
        if (string.fret >= 0) {
            const int finger = s < voicing.fingers.size() ? voicing.fingers[s] : 0;
            string.finger = finger == Playability::thumbFinger ? ChordDiagram::thumb : finger;
            const qint16 note = board.note(int(s), string.fret);
            string.note = ChordTheory::PitchNames[PitchClass::ofNote(note)];
            if (chord)
                string.interval = chord->intervalName(note - voicing.root);
            else if (sounding < intervals.size())
                string.interval = intervals[sounding];
            ++sounding;
        }
        diagram.strings << string;
    }
    return diagram;
}

Voicing VoicingDiagram::ofFrets(const QList<qint16>& frets, const Fretboard& board) {
    const std::optional<QList<qint8>> fingers =
        Fingering::of(frets, Fingering::defaultSpan, board.tuning().thumbOverLowest());
    const QList<qint16> notes = board.notes(frets);
    const QList<ChordNamer::Reading> readings = ChordNamer::readings(notes, false);
    const qint16 root = !readings.isEmpty()
                            ? readings.first().root
                            : (notes.isEmpty() ? qint16(0) : ChordNamer::lowestPitchClass(notes));
    return Voicing::of(board, frets, fingers ? *fingers : QList<qint8>(frets.size(), 0), root);
}

QString VoicingDiagram::nameOf(const QList<qint16>& notes) {
    const QList<ChordNamer::Reading> readings = ChordNamer::readings(notes, false);
    return readings.isEmpty() ? QString() : readings.first().name;
}

QString VoicingDiagram::shapeName(const Voicing& voicing, const Fretboard& board,
                                  const std::optional<ChordTones>& chord, bool namedWithBass) {
    const int capo = board.capo();
    if (capo == 0)
        return QString();
    if (chord) {
        const qint16 bass = namedWithBass ? qint16(voicing.bass - capo) : ChordTones::noBass;
        return chord->name(qint16(voicing.root - capo), bass) + QStringLiteral(" shape");
    }
    QList<qint16> open;
    for (const qint16 note : voicing.notes)
        open << qint16(note - capo);
    const QString name = nameOf(open);
    return name.isEmpty() ? QString() : name + QStringLiteral(" shape");
}
