#pragma once

#include "shell/MessageBoxes.h"

#include <QPointer>
#include <QWidget>

// MessageBoxes on QMessageBox, modal to the program, centred on the parent widget when one is set.
class QtMessageBoxes : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr);

    // The widget the boxes are modal to; may be set after construction (e.g. once the main
    // window exists). nullptr makes the boxes free-standing.
    void setParentWidget(QWidget* parent);
    QWidget* parentWidget() const { return m_parent; }

    void information(const QString& title, const QString& text) override;
    void applicationError(const QString& text) override;

    // The text as the box shows it: "\r\n" and lone "\r" become "\n", so "a\r\nb\r\rc" shows
    // as "a", "b", an empty line, "c".
    static QString displayText(const QString& text);

private:
    QPointer<QWidget> m_parent;
};
