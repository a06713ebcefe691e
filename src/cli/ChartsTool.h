#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTextStream>
#include <atomic>

class CommandContext;
class CommandTable;

// The command-line companion `strumvane-charts`: lists the catalogue, prints a chord's details,
// renders charts to files, exports them all, plays chords, names shapes, finds voicings and
// writes lesson sheets, over the same core as the window. This class reads the tool's own
// options (--help, --version) and hands the words after a command's name to that command
// (CommandTable); each command reads its own options.
//
//   strumvane-charts [--help | --version]
//   strumvane-charts COMMAND [ARGUMENTS] [OPTIONS]     COMMAND --help for its own help
//
// Exit status (ExitStatus): 0 success, 1 a failure (a file that cannot be written, or standard
// output), 2 a usage error, 130 interrupted by Ctrl-C (SIGINT), 143 ended by SIGTERM.
class ChartsTool {
public:
    ChartsTool(QTextStream& out, QTextStream& err);

    // Runs one command; `arguments` includes the program name, as QCoreApplication gives it.
    int run(const QStringList& arguments);
    // As above, from the bytes of argv: an argument that is not valid UTF-8 is a usage error
    // that shows its bytes escaped ("caf\xe9.jpg"), as no file can be written under exactly
    // that name.
    int run(const QList<QByteArray>& rawArguments);

    // The number of the signal that asked the run to stop (SIGINT, SIGTERM), set from its
    // handler; 0 until one came. Every long command stops soon after it is set.
    static std::atomic_int& interruptFlag();
    // Whether standard error is a terminal (export-all then draws a progress line on it).
    void setErrorIsTerminal(bool terminal) { m_errorIsTerminal = terminal; }

private:
    CommandContext context() const;
    int runCommand(const CommandTable& table, QStringList words, const CommandContext& context);
    // Flushes standard output and error; a failed write turns `status` 0 into 1, with the
    // reason on standard error where that still works.
    int finishOutput(int status, const CommandContext& context);

    QTextStream& m_out;
    QTextStream& m_err;
    bool m_errorIsTerminal = false;
};
