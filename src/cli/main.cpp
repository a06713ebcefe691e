#include "cli/ChartsTool.h"

#include <QFile>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// The tool reports its own errors; Qt's warnings about the missing desktop session (no
// runtime folder, no display) are noise on a headless machine.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "strumvane-charts: %s\n", qPrintable(message));
}

void interrupted(int signalNumber) {
    ChartsTool::interruptFlag() = signalNumber;
}

// Ctrl-C and SIGTERM end a command between two of its steps, so that no file is left
// half-written. The handler acts once: a second signal ends the process at once, should a
// step hang. A SIGINT that the shell set to be ignored (a script's background job) is handled
// too: a script that sends it to its job means it.
void handleTerminationSignals() {
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        action.sa_handler = interrupted;
        action.sa_flags = SA_RESETHAND;
        sigemptyset(&action.sa_mask);
        ::sigaction(signalNumber, &action, nullptr);
    }
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietMessages);
    // The tool draws charts but never shows a window, so it needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt sees only the program's name: it would take words such as --style, --reverse or
    // --platform for itself, and every word on the command line is the tool's.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("strumvane-charts"));
    QGuiApplication::setApplicationVersion(QStringLiteral(STRUMVANE_VERSION));

    // Standard output as a file on its descriptor, so that a failed write (a full disk,
    // /dev/full) is seen and its reason known; the stream above it does the buffering.
    QFile standardOutput;
    standardOutput.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                        QFileDevice::DontCloseHandle);
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    ChartsTool tool(out, err);
    tool.setErrorIsTerminal(isatty(STDERR_FILENO) != 0);
    handleTerminationSignals();
    // argv as bytes: arguments() would have turned bytes that are no UTF-8 into U+FFFD.
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    const int status = tool.run(arguments);
    out.flush();
    err.flush();
    return status;
}
