#pragma once

#include "shell/MessageBoxes.h"

#include <QStringList>
#include <functional>

// Records the boxes asked for; shows nothing.
class FakeMessageBoxes : public MessageBoxes {
public:
    void information(const QString& title, const QString& text) override {
        informationBoxes.append(title + u'|' + text);
        if (whileUp)
            whileUp();
    }
    void applicationError(const QString& text) override {
        errorBoxes.append(text);
        if (whileUp)
            whileUp();
    }

    QStringList informationBoxes; // "title|text"
    QStringList errorBoxes;
    // Runs while each box is "up", after it is recorded: what the user does meanwhile.
    std::function<void()> whileUp;
};
