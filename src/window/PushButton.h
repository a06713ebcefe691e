#pragma once

#include <QPoint>
#include <QPushButton>

// The main window's push button. Besides clicked() (mouse or keyboard) it reports the raw mouse:
// mouseDown/mouseUp for any mouse button (left, right, middle) pressed on the button and
// released, and mouseMoved whenever the pointer moves over it, with or without a button held.
// The keyboard (Space, Enter) only clicks: it never sends mouseDown or mouseUp.
// Positions are in the button's own pixels. For a left click the order is mouseDown, mouseUp,
// clicked.
class PushButton : public QPushButton {
    Q_OBJECT

public:
    explicit PushButton(QWidget* parent = nullptr);
    explicit PushButton(const QString& text, QWidget* parent = nullptr);

Q_SIGNALS:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
};
