#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTextStream>
#include <atomic>
#include <optional>

class QCommandLineParser;

// The command-line companion `strumvane-charts`: lists the catalogue, prints a chord's details
// and renders charts to image files, over the same core as the window.
//
//   strumvane-charts list
//   strumvane-charts show ENTRY [PITCH]
//   strumvane-charts render ENTRY PITCH FILE [--chart fingering|interval|blank] [--left-handed]
//   strumvane-charts export-all DIR [--format jpg|bmp] [--left-handed] [--jobs N]
//   strumvane-charts play ENTRY PITCH [--seconds S] [--wav FILE] [--program N] [--strum MS]
//                         [--verbose] [--list-ports]
//
// ENTRY is 1..611; PITCH a note name in any case ("C", "f#", "Bb", "E♭") or 0..11. Exit
// status: 0 success, 1 a failure (a file that cannot be written, or standard output), 2 a
// usage error, 130 an export interrupted by Ctrl-C.
class ChartsTool {
public:
    ChartsTool(QTextStream& out, QTextStream& err);

    // Runs one command; `arguments` includes the program name, as QCoreApplication gives it.
    int run(const QStringList& arguments);
    // As above, from the bytes of argv: an argument that is not valid UTF-8 is a usage error
    // that shows its bytes escaped ("caf\xe9.jpg"), as no file can be written under exactly
    // that name.
    int run(const QList<QByteArray>& rawArguments);

    static constexpr int exitOk = 0;
    static constexpr int exitFailure = 1;
    static constexpr int exitUsage = 2;
    static constexpr int exitInterrupted = 130;

    // Set from the interrupt signal handler; a running export stops when it is true.
    static std::atomic_bool& interruptFlag();
    // Whether export-all draws a progress line on the error stream (a terminal).
    void setShowProgress(bool show) { m_progress = show; }

    // Text for a message line, control characters and line separators written as escapes:
    // "a\nb" gives "a\x0ab".
    static QString printable(const QString& text);
    // An entry number 1..611 written in decimal digits ("6", "006"); nothing for anything else.
    static std::optional<int> parseEntry(const QString& text);

    // One command of the tool. --help and the usage messages list every command here, in
    // this order, so a command added here is named everywhere.
    struct Command {
        QString name;        // "show"
        QString synopsis;    // "show ENTRY [PITCH]"
        QStringList help;    // lines of --help beside the synopsis
        QStringList options; // the long options it takes besides --help and --version
        // nullptr for name, find and sheet, which read their own options and run before
        // the common parser.
        int (ChartsTool::*run)(const QStringList& args, const QCommandLineParser& parser);
    };
    static const QList<Command>& commands();

private:
    int list(const QStringList& args, const QCommandLineParser& parser);
    int show(const QStringList& args, const QCommandLineParser& parser);
    int render(const QStringList& args, const QCommandLineParser& parser);
    int exportAll(const QStringList& args, const QCommandLineParser& parser);
    int play(const QStringList& args, const QCommandLineParser& parser);
    int runCommand(const QCommandLineParser& parser);
    // Flushes standard output; a failed write turns `status` 0 into 1, with the reason.
    int finishOutput(int status);
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
    bool m_progress = false;
};
