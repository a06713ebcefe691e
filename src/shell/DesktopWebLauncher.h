#pragma once

#include "shell/WebLauncher.h"

// WebLauncher on QDesktopServices::openUrl.
class DesktopWebLauncher : public WebLauncher {
public:
    void openUrl(const QUrl& url) override;
};
