#include "cli/CommandContext.h"

#include "cli/ExitStatus.h"

#include <csignal>

CommandContext::CommandContext(QTextStream& out, QTextStream& err,
                               const std::atomic_int& interrupted, bool errorIsTerminal)
    : m_out(&out), m_err(&err), m_interrupted(&interrupted), m_errorIsTerminal(errorIsTerminal) {}

int CommandContext::interruptedStatus() const {
    const int signalNumber = *m_interrupted;
    return ExitStatus::interruptedBy(signalNumber != 0 ? signalNumber : SIGINT);
}

void CommandContext::report(const QString& text) const {
    *m_err << "strumvane-charts: " << printable(text) << '\n';
}

int CommandContext::usageError(const QString& message) const {
    report(message);
    if (m_helpHint)
        *m_err << "Try 'strumvane-charts --help' for more information.\n";
    return ExitStatus::usage;
}

CommandContext CommandContext::withoutHelpHint() const {
    CommandContext context = *this;
    context.m_helpHint = false;
    return context;
}

QString CommandContext::printable(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            shown += c.unicode() <= 0xff
                         ? QStringLiteral("\\x%1").arg(uint(c.unicode()), 2, 16, QLatin1Char('0'))
                         : QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        } else {
            shown += c;
        }
    }
    return shown;
}
