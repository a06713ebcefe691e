#include "finder/KeyHold.h"

KeyHold::KeyHold(QObject* parent) : QObject(parent) {
    m_grace.setSingleShot(true);
    m_grace.setInterval(releaseGraceMs);
    connect(&m_grace, &QTimer::timeout, this, &KeyHold::end);
}

void KeyHold::press() {
    if (m_grace.isActive()) {
        m_grace.stop();
        return;
    }
    if (m_held)
        return;
    m_held = true;
    Q_EMIT started();
}

void KeyHold::release() {
    if (m_held)
        m_grace.start();
}

void KeyHold::cancel() {
    m_grace.stop();
    end();
}

void KeyHold::end() {
    if (!m_held)
        return;
    m_held = false;
    Q_EMIT ended();
}
