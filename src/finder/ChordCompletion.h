#pragma once

#include <QStringList>
#include <QStringView>

// What the chord field offers to complete a chord being typed. After a root note (as typed:
// "A", "f#", "Bb"), the root followed by every chord of the vocabulary, common chords first:
// "A", "Am", "A5", "A7", "Amaj7", "Am7" ... After a "/", the chord followed by each note name
// as its bass: "Am/C", "Am/C#" ... Nothing for a text that does not start with a root.
class ChordCompletion {
public:
    static QStringList candidates(QStringView text);

    // The length of the root note at the start of `text`: 2 for "F#m", "Bbmaj7", "C♯";
    // 1 for "Am", "B"; 0 when no note starts it.
    static qsizetype rootLength(QStringView text);
};
