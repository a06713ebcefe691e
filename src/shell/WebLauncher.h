#pragma once

#include <QUrl>

// Hands a web address to the desktop, which opens it in the user's browser.
class WebLauncher {
public:
    virtual ~WebLauncher() = default;

    // Asks for url to be opened, e.g. QUrl("https://www.strumvane.example/"); returns at once and
    // reports nothing: the program does not care whether a browser came up.
    virtual void openUrl(const QUrl& url) = 0;
};
