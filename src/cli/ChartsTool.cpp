#include "cli/ChartsTool.h"

#include "base/Failure.h"
#include "cli/Command.h"
#include "cli/CommandContext.h"
#include "cli/CommandTable.h"
#include "cli/ExitStatus.h"

#include <QCommandLineParser>
#include <QFile>
#include <functional>

namespace {

const QString argumentsHelp = QStringLiteral(
    "ENTRY is 1 to 611. PITCH, the chord's lowest note, is a note name in any case with an\n"
    "optional sharp or flat (C, c, F#, f\u266F, Bb, B\u266D, ...), or a number 0 to 11.\n"
    "Every command has its own --help: strumvane-charts render --help.\n");

QString commandsHelp(const CommandTable& table) {
    constexpr int column = 36;
    QString text = QStringLiteral("Commands:\n");
    for (const auto& command : table.commands()) {
        QString lead = QStringLiteral("  ") + command->synopsis();
        for (const QString& line : command->summary()) {
            text += lead.size() < column ? lead.leftJustified(column)
                                         : lead + u'\n' + QString(column, u' ');
            text += line + u'\n';
            lead.clear();
        }
    }
    return text + u'\n' + argumentsHelp;
}

// "render", "render and sheet", "render, export-all and sheet"
QString listed(QStringList names) {
    const QString last = names.takeLast();
    return names.isEmpty() ? last
                           : names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// The parser's words for unknown options: "Unknown option 'x'." or "Unknown options: x, y.".
QString unknownOptionsText(const QStringList& names) {
    return names.size() == 1 ? QStringLiteral("Unknown option '%1'.").arg(names.first())
                             : QStringLiteral("Unknown options: %1.").arg(names.join(u", "));
}

// What a parser refused, in words: options that no command takes, or another error (a missing
// value), in the parser's words; an option that some other command takes as `elsewhere` says.
QString refusal(const QCommandLineParser& parser, const CommandTable& table,
                const std::function<QString(const QString& option)>& elsewhere) {
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty() || parser.errorText() != unknownOptionsText(unknown))
        return parser.errorText();
    QStringList strangers;
    for (const QString& option : unknown) {
        if (table.takers(option).isEmpty())
            strangers << option;
    }
    return strangers.isEmpty() ? elsewhere(unknown.first()) : unknownOptionsText(strangers);
}

// What a command's parser refused: "--wav does not apply to show (only to play)".
QString commandRefusal(const Command& command, const CommandTable& table) {
    return refusal(command.parser(), table, [&](const QString& option) {
        return QStringLiteral("--%1 does not apply to %2 (only to %3)")
            .arg(option, command.name(), listed(table.takers(option)));
    });
}

// What the tool's parser refused: a command's option before the command's name is pointed to
// its place.
QString toolRefusal(const QCommandLineParser& parser, const CommandTable& table) {
    return refusal(parser, table, [&](const QString& option) {
        return QStringLiteral("--%1 is an option of %2: write it after the command's name")
            .arg(option, listed(table.takers(option)));
    });
}

// The bytes of an argument as text, each byte that is not part of a valid UTF-8 character
// written as an escape ("caf\xe9.jpg"), control characters as printable() writes them.
QString escapedBytes(const QByteArray& bytes) {
    QString shown;
    for (qsizetype i = 0; i < bytes.size();) {
        const auto lead = uchar(bytes[i]);
        const qsizetype length = lead < 0x80                    ? 1
                                 : lead >= 0xc2 && lead <= 0xdf ? 2
                                 : lead >= 0xe0 && lead <= 0xef ? 3
                                 : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                                : 0;
        if (length > 0 && i + length <= bytes.size()) {
            // The round trip rejects what a lead byte alone cannot: stray continuation
            // bytes, overlong forms, surrogates, code points past U+10FFFF.
            const QByteArray character = bytes.mid(i, length);
            const QString decoded = QString::fromUtf8(character);
            if (decoded.toUtf8() == character && !decoded.contains(QChar::ReplacementCharacter)) {
                shown += CommandContext::printable(decoded);
                i += length;
                continue;
            }
        }
        shown += QStringLiteral("\\x%1").arg(uint(lead), 2, 16, QLatin1Char('0'));
        ++i;
    }
    return shown;
}

} // namespace

ChartsTool::ChartsTool(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

std::atomic_int& ChartsTool::interruptFlag() {
    static std::atomic_int flag{0};
    return flag;
}

CommandContext ChartsTool::context() const {
    return CommandContext(m_out, m_err, interruptFlag(), m_errorIsTerminal);
}

int ChartsTool::run(const QList<QByteArray>& rawArguments) {
    QStringList arguments;
    for (qsizetype i = 0; i < rawArguments.size(); ++i) {
        const QByteArray& raw = rawArguments[i];
        QString argument = QFile::decodeName(raw);
        // Bytes that are no valid UTF-8 would become U+FFFD, and a file under that changed
        // name could replace another one. The program name itself names nothing to write.
        if (i > 0 && QFile::encodeName(argument) != raw)
            return context().usageError(
                QStringLiteral("cannot use '%1': it is not valid UTF-8, so nothing can be "
                               "written under exactly that name")
                    .arg(escapedBytes(raw)));
        arguments << std::move(argument);
    }
    return run(arguments);
}

int ChartsTool::run(const QStringList& arguments) {
    const CommandContext context = this->context();
    const CommandTable table;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Guitar chord charts from the Strumvane "
                                                    "catalogue.\n\n") +
                                     commandsHelp(table));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Show the version."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addPositionalArgument(QStringLiteral("command"), table.names() + u'.');
    // Everything after the command's name is the command's to read.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);

    int status = ExitStatus::ok;
    if (!parser.parse(arguments)) {
        status = context.usageError(toolRefusal(parser, table));
    } else if (parser.isSet(helpOption)) {
        m_out << parser.helpText();
    } else if (parser.isSet(versionOption)) {
        m_out << Command::versionText();
    } else {
        QStringList words = parser.positionalArguments();
        // A "--" before the command's name ends the options of the command too.
        const qsizetype commandAt = arguments.size() - words.size();
        if (commandAt > 1 && commandAt < arguments.size() &&
            arguments[commandAt - 1] == QLatin1String("--"))
            words.insert(1, QStringLiteral("--"));
        status = runCommand(table, words, context);
    }
    return finishOutput(status, context);
}

int ChartsTool::runCommand(const CommandTable& table, QStringList words,
                           const CommandContext& toolContext) {
    if (words.isEmpty())
        return toolContext.usageError(QStringLiteral("no command given (%1)").arg(table.names()));
    const QString name = words.takeFirst();
    Command* const command = table.find(name);
    if (!command)
        return toolContext.usageError(
            QStringLiteral("unknown command '%1' (%2)").arg(name, table.names()));

    const CommandContext context =
        command->hintsAtHelp() ? toolContext : toolContext.withoutHelpHint();
    if (!command->parse(words))
        return context.usageError(commandRefusal(*command, table));
    try {
        return command->run(context);
    } catch (const Failure& failure) {
        context.report(failure.description());
        return ExitStatus::failure;
    }
}

int ChartsTool::finishOutput(int status, const CommandContext& context) {
    // A full disk or a closed pipe behind standard output or error is a failure like any
    // other: the listing or the message the user asked for did not arrive.
    const auto reasonOf = [](const QTextStream& stream) {
        const QString reason = stream.device() ? stream.device()->errorString() : QString();
        return reason.isEmpty() ? QString() : QStringLiteral(": ") + reason;
    };
    m_out.flush();
    bool failed = false;
    if (m_out.status() == QTextStream::WriteFailed) {
        context.report(QStringLiteral("cannot write to standard output") + reasonOf(m_out));
        failed = true;
    }
    // A message that could not be written leaves only the status to tell: standard output
    // carries the command's data and gets no diagnostics.
    m_err.flush();
    failed = failed || m_err.status() == QTextStream::WriteFailed;
    return failed && status == ExitStatus::ok ? ExitStatus::failure : status;
}
