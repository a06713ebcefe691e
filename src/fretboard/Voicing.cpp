#include "fretboard/Voicing.h"

#include "catalogue/PitchClass.h"
#include "fretboard/Fingering.h"
#include "fretboard/Fretboard.h"

#include <algorithm>
#include <vector>

Voicing Voicing::of(const Fretboard& board, QList<qint16> frets, QList<qint8> fingers,
                    qint16 root) {
    Voicing v;
    v.frets = std::move(frets);
    v.fingers = std::move(fingers);
    v.root = PitchClass::mod12(root);
    v.notes = board.notes(v.frets);
    v.bass = v.notes.isEmpty() ? v.root : PitchClass::ofNote(v.lowestNote());

    std::vector<int> fretNumbers(v.frets.begin(), v.frets.end());
    std::vector<int> fingerNumbers(v.fingers.begin(), v.fingers.end());
    v.playability = Playability::of(fretNumbers, fingerNumbers);

    for (const qint16 fret : v.frets) {
        if (fret > 0 && (v.position == 0 || fret < v.position))
            v.position = fret;
    }
    v.positionSteps = v.position > 0 ? (v.position - 1) / positionFrets : 0;
    int first = 0;
    while (first < v.frets.size() && v.frets[first] < 0)
        ++first;
    int last = int(v.frets.size()) - 1;
    while (last >= 0 && v.frets[last] < 0)
        --last;
    v.mutedTreble = last < 0 ? 0 : int(v.frets.size()) - 1 - last;
    v.mutedBass = last < 0 ? 0 : first;
    if (v.frets.size() > fullStrings)
        v.thin = std::max(0, fullStrings - v.soundingStrings());
    if (v.position > farOpenFret)
        v.farOpen = int(std::count(v.frets.cbegin(), v.frets.cend(), qint16(0)));
    v.score = v.scoreOfTerms(board.tuning().reentrant());
    return v;
}

int Voicing::scoreOfTerms(bool reentrant) const {
    return playability.score() + innerMutedWeight * playability.mutedInner + positionSteps +
           farOpenWeight * farOpen + mutedTrebleWeight * mutedTreble +
           (reentrant ? reentrantMutedBassWeight * mutedBass : 0) + thinWeight * thin +
           missedOpenWeight * missedOpen + lowTensionWeight * lowTension +
           newShapeWeight * newShape;
}

QString Voicing::fretText() const {
    return Fretboard::fretText(frets);
}

QString Voicing::fingerText() const {
    return Fingering::text(frets, fingers);
}

qint16 Voicing::lowestNote() const {
    return notes.isEmpty() ? 0 : *std::min_element(notes.begin(), notes.end());
}

qint16 Voicing::highestNote() const {
    return notes.isEmpty() ? 0 : *std::max_element(notes.begin(), notes.end());
}

QList<qint16> Voicing::intervals() const {
    QList<qint16> result;
    for (const qint16 note : notes)
        result << PitchClass::mod12(note - root);
    return result;
}
