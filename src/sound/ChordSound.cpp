#include "sound/ChordSound.h"

#include <utility>

ChordSound::ChordSound(MidiPort& port) : m_midi(port) {}

qint32 ChordSound::open() {
    const qint32 result = m_midi.open();
    // Skipped by the output itself when the open failed.
    m_midi.SendProgramChange(0);
    return result;
}

void ChordSound::start(qint16 note) {
    m_midi.NoteOn(note);
    m_sounding << note;
}

void ChordSound::stop(qint16 note) {
    m_midi.NoteOff(note);
}

QList<qint16> ChordSound::takeSoundingNotes() {
    return std::exchange(m_sounding, {});
}

void ChordSound::stopAll() {
    // Notes still held would hang on the synthesiser once the port is gone.
    for (const qint16 note : takeSoundingNotes())
        stop(note);
}

void ChordSound::shutdown() {
    stopAll();
    m_midi.close();
}
