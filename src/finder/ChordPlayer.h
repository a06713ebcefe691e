#pragma once

#include "sound/ChordSound.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <QtGlobal>

class MidiPort;

// Sounds a chord while a button or key is held, through the chord sound of the main window
// (program 0, channel 0, velocity 127): press() starts the notes, all at once or strummed a
// few milliseconds apart from the lowest string up, release() stops every note it started,
// also one a strum had not reached yet. A new press() releases the chord still held first.
//
// Example:
//   ChordPlayer player(port);
//   player.open();             // 0 when an output opened
//   player.setStrumMs(30);
//   player.press({45, 52, 55, 60, 64});   // A2 now, E3 30 ms later, ...
//   player.release();          // note-offs for those that started
class ChordPlayer : public QObject {
    Q_OBJECT
public:
    explicit ChordPlayer(MidiPort& port, QObject* parent = nullptr);
    ~ChordPlayer() override;

    // Opens the output; 0 when it opened, else the chord sound runs silently.
    qint32 open();
    bool isOpen() const { return m_sound.midi().midiOpenResult() == 0; }

    // Milliseconds between the strings of a strum; 0 sounds them together.
    void setStrumMs(int ms) { m_strumMs = qMax(0, ms); }
    int strumMs() const { return m_strumMs; }

    // `notes`: MIDI notes in string order, lowest string first.
    void press(const QList<qint16>& notes);
    void release();
    bool isHeld() const { return m_held; }

    // Releases what is held and closes the output.
    void shutdown();

private:
    void startNext();

    ChordSound m_sound;
    QTimer m_strum;
    QList<qint16> m_waiting; // notes a strum has still to start
    int m_strumMs = 0;
    bool m_held = false;
    bool m_shutDown = false;
};
