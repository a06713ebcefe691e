#pragma once

#include "sound/MidiOutput.h"

#include <QList>
#include <QtGlobal>

class MidiPort;

// The chord sound: the MIDI output and the notes that the play button's press started, so
// that the release and the shutdown silence exactly those, whatever chord is shown by then.
//
// Example:
//   ChordSound sound(port);
//   sound.open();                      // 0 when the port opened; program 0 is sent
//   sound.start(48); sound.start(55);  // two note-ons
//   for (qint16 note : sound.takeSoundingNotes()) sound.stop(note);  // two note-offs
//   sound.shutdown();                  // silences what still sounds, closes the port
class ChordSound {
public:
    explicit ChordSound(MidiPort& port);

    // Opens the output (channel 0, velocity 127) and sends a program change to program 0
    // when it opened. Returns the open result: 0 when open, non-zero when no output is
    // usable (every send then does nothing).
    qint32 open();

    // A note-on for `note` (MIDI 0..127), remembered as sounding.
    void start(qint16 note);
    // A note-off for `note`; the caller has taken it from the sounding notes.
    void stop(qint16 note);
    // The notes started since the last take, in the order they were started; afterwards
    // none is remembered.
    QList<qint16> takeSoundingNotes();
    // Note-offs for every note still sounding.
    void stopAll();
    // stopAll(), then closes the output.
    void shutdown();

    const MidiOutput& midi() const { return m_midi; }

private:
    MidiOutput m_midi;
    QList<qint16> m_sounding;
};
