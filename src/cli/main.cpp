#include "cli/ChartsTool.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

// The tool reports its own errors; Qt's warnings about the missing desktop session (no
// runtime folder, no display) are noise on a headless machine.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "strumvane-charts: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietMessages);
    // The tool draws charts but never shows a window, so it needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("strumvane-charts"));
    QGuiApplication::setApplicationVersion(QStringLiteral(STRUMVANE_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    ChartsTool tool(out, err);
    const int status = tool.run(QGuiApplication::arguments());
    out.flush();
    err.flush();
    return status;
}
