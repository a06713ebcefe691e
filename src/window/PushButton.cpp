#include "window/PushButton.h"

#include <QMouseEvent>

PushButton::PushButton(QWidget* parent) : PushButton(QString(), parent) {}

PushButton::PushButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {
    // Pointer-move must fire without a button held (hover feedback).
    setMouseTracking(true);
}

void PushButton::mousePressEvent(QMouseEvent* event) {
    Q_EMIT mouseDown(event->button(), event->modifiers(), event->position().toPoint());
    QPushButton::mousePressEvent(event);
    // QAbstractButton ignores buttons other than the left one; keep them here so that the
    // matching release comes back to this button rather than to the parent.
    event->accept();
}

void PushButton::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT mouseUp(event->button(), event->modifiers(), event->position().toPoint());
    QPushButton::mouseReleaseEvent(event);
    event->accept();
}

void PushButton::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT mouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
    QPushButton::mouseMoveEvent(event);
}
