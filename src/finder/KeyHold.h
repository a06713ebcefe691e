#pragma once

#include <QObject>
#include <QTimer>

// One hold of a key, from the presses and releases a widget receives for it: started() at the
// first press, ended() once the key is really up. Some X servers report every repeat of a key
// held down as a release followed at once by a press, without marking them as repeats; a press
// within releaseGraceMs of a release therefore continues the hold, and the end comes that
// much after the last release.
//
// Example: press(), release(), press() 40 ms later, release(): started() once, ended() 50 ms
// after the second release.
class KeyHold : public QObject {
    Q_OBJECT
public:
    static constexpr int releaseGraceMs = 50;

    explicit KeyHold(QObject* parent = nullptr);

    // Every press and release of the key, repeated or not.
    void press();
    void release();
    // Ends a hold at once (the widget lost the focus, and will not hear the release).
    void cancel();
    bool isHeld() const { return m_held; }

Q_SIGNALS:
    void started();
    void ended();

private:
    void end();

    QTimer m_grace;
    bool m_held = false;
};
