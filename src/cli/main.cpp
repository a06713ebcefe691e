#include "cli/ChartsTool.h"

#include "cli/CommandContext.h"

#include <QFile>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The tool reports its own errors; Qt's warnings about the missing desktop session (no
// runtime folder, no display) are noise on a headless machine.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        fprintf(stderr, "strumvane-charts: %s\n", qPrintable(CommandContext::printable(message)));
}

// A standard output or error that the shell closed (">&-") would hand its number to the next
// file opened, and the tool's text would go into that file. A read-only /dev/null holds the
// number instead: every write to it fails with EBADF, which the tool reports.
void holdClosedStream(int descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1)
        return;
    const int held = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (held >= 0 && held != descriptor) {
        dup2(held, descriptor);
        close(held);
    }
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
    // Standard input first, so that a closed one cannot take the number of another.
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        holdClosedStream(descriptor);
    qInstallMessageHandler(quietMessages);
    // The tool draws charts but never shows a window, so it needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt sees only the program's name: it would take words such as --style, --reverse or
    // --platform for itself, and every word on the command line is the tool's.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("strumvane-charts"));
    QGuiApplication::setApplicationVersion(QStringLiteral(STRUMVANE_VERSION));

    // Standard output and error as files on their descriptors, so that a failed write (a full
    // disk, /dev/full, a closed stream) is seen and its reason known; the streams above them
    // do the buffering.
    QFile standardOutput;
    standardOutput.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                        QFileDevice::DontCloseHandle);
    QFile standardError;
    standardError.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered,
                       QFileDevice::DontCloseHandle);
    QTextStream out(&standardOutput);
    QTextStream err(&standardError);
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
