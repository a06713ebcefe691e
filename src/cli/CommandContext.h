#pragma once

#include <QString>
#include <QTextStream>
#include <atomic>

// What every command of strumvane-charts works with besides its arguments: standard output
// and standard error, the flag that Ctrl-C (SIGINT) and SIGTERM set, and whether standard
// error is a terminal; and the one way the tool words its messages, "strumvane-charts: TEXT"
// with the text made printable. Small and copied freely; the streams and the flag outlive it.
class CommandContext {
public:
    CommandContext(QTextStream& out, QTextStream& err, const std::atomic_bool& interrupted,
                   bool errorIsTerminal);

    QTextStream& out() const { return *m_out; }
    QTextStream& err() const { return *m_err; }
    // Set once the user asked the run to stop; long commands look at it between steps.
    const std::atomic_bool& interruptFlag() const { return *m_interrupted; }
    bool interrupted() const { return *m_interrupted; }
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
    const std::atomic_bool* m_interrupted;
    bool m_errorIsTerminal;
    bool m_helpHint = true;
};
