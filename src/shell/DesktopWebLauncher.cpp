#include "shell/DesktopWebLauncher.h"

#include <QDesktopServices>

void DesktopWebLauncher::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}
