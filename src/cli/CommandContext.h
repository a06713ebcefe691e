#pragma once

#include <QString>
#include <QTextStream>
#include <atomic>

// What every command of strumvane-charts works with besides its arguments: standard output
// and standard error, the flag that Ctrl-C (SIGINT) and SIGTERM set (to their number), and
// whether standard
// error is a terminal; and the one way the tool words its messages, "strumvane-charts: TEXT"
// with the text made printable. Small and copied freely; the streams and the flag outlive it.
class CommandContext {
public:
    CommandContext(QTextStream& out, QTextStream& err, const std::atomic_int& interrupted,
                   bool errorIsTerminal);

    QTextStream& out() const { return *m_out; }
    QTextStream& err() const { return *m_err; }
    // The signal's number once the user asked the run to stop, else 0; long commands look at
    // it between steps, often enough to end within a second.
    const std::atomic_int& interruptFlag() const { return *m_interrupted; }
    bool interrupted() const { return *m_interrupted != 0; }
    // The exit status of a run the signal ended: 130 for SIGINT, 143 for SIGTERM.
    int interruptedStatus() const;
    // Whether standard error is a terminal, where a progress line can be redrawn in place.
    bool errorIsTerminal() const { return m_errorIsTerminal; }

    // Writes "strumvane-charts: TEXT" as one line on standard error, TEXT through printable().
    void report(const QString& text) const;
    // Reports a usage error, followed by the line "Try 'strumvane-charts --help' for more
    // information." unless this is a withoutHelpHint() context. Returns ExitStatus::usage.
    int usageError(const QString& message) const;
    // The same context, whose usage errors are the one line alone.
    CommandContext withoutHelpHint() const;

    // Text for a message line, control characters and line separators written as escapes, so
    // that an echoed argument can neither break a message into several lines nor send escape
    // sequences to the terminal: "a\nb" gives "a\x0ab", U+2028 gives "\u2028".
    static QString printable(const QString& text);

private:
    QTextStream* m_out;
    QTextStream* m_err;
    const std::atomic_int* m_interrupted;
    bool m_errorIsTerminal;
    bool m_helpHint = true;
};
