#pragma once

#include <QString>

// The message boxes the main window shows. Each call is modal: it returns when the user has
// closed the box. Tests hand the window a fake that records the calls.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    // A plain box with only an OK button and no icon, e.g. information(applicationTitle, "Done.").
    virtual void information(const QString& title, const QString& text) = 0;

    // The "Application Error" box: warning icon, one OK button. text is the box text exactly as
    // applicationErrorText builds it, with its "\r\n" and "\r\r" line breaks; the implementation
    // turns them into line breaks its display understands (QtMessageBoxes::displayText).
    virtual void applicationError(const QString& text) = 0;
};
