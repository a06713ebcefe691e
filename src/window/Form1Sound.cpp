// The chord sound of the main window: the MIDI output and the play button.
#include "window/Form1.h"

#include "shell/ErrorTrap.h"
#include "shell/MessageBoxes.h"

void Form1::OpenMidiOutput() {
    if (sound.open() != 0) {
        m_services.messages.information(
            applicationTitle,
            QStringLiteral("The MIDI stream is unavailable. Close & restart program."));
    }
}

void Form1::PushButton3_MouseDown() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton3_MouseDown"));
    QList<qint16> notes;
    trap.step(100, [&] { notes = chordNotes; });
    for (const qint16 note : notes) {
        trap.step(102, [&] { sound.start(note); });
        trap.step(104, [] {});
    }
}

void Form1::PushButton3_MouseUp() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton3_MouseUp"));
    QList<qint16> notes;
    trap.step(100, [&] { notes = sound.takeSoundingNotes(); });
    for (const qint16 note : notes) {
        trap.step(102, [&] { sound.stop(note); });
        trap.step(104, [] {});
    }
}
