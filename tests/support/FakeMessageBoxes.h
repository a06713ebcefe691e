#pragma once

#include "shell/MessageBoxes.h"

#include <QStringList>

// Records the boxes asked for; shows nothing.
class FakeMessageBoxes : public MessageBoxes {
public:
    void information(const QString& title, const QString& text) override {
        informationBoxes.append(title + u'|' + text);
    }
    void applicationError(const QString& text) override { errorBoxes.append(text); }

    QStringList informationBoxes; // "title|text"
    QStringList errorBoxes;
};
