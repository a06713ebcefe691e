#include "finder/ChordPlayer.h"

ChordPlayer::ChordPlayer(MidiPort& port, QObject* parent) : QObject(parent), m_sound(port) {
    m_strum.setSingleShot(false);
    m_strum.setTimerType(Qt::PreciseTimer);
    connect(&m_strum, &QTimer::timeout, this, &ChordPlayer::startNext);
}

ChordPlayer::~ChordPlayer() {
    shutdown();
}

qint32 ChordPlayer::open() {
    m_shutDown = false;
    return m_sound.open();
}

void ChordPlayer::press(const QList<qint16>& notes) {
    release();
    if (notes.isEmpty())
        return;
    m_held = true;
    m_waiting = notes;
    startNext();
    if (!m_waiting.isEmpty()) {
        if (m_strumMs == 0) {
            while (!m_waiting.isEmpty())
                startNext();
        } else {
            m_strum.start(m_strumMs);
        }
    }
}

void ChordPlayer::startNext() {
    if (m_waiting.isEmpty()) {
        m_strum.stop();
        return;
    }
    m_sound.start(m_waiting.takeFirst());
    if (m_waiting.isEmpty())
        m_strum.stop();
}

void ChordPlayer::release() {
    m_strum.stop();
    m_waiting.clear();
    m_held = false;
    for (const qint16 note : m_sound.takeSoundingNotes())
        m_sound.stop(note);
}

void ChordPlayer::shutdown() {
    if (m_shutDown)
        return;
    m_shutDown = true;
    release();
    m_sound.shutdown();
}
