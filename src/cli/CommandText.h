#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <optional>

class QCommandLineOption;
class QCommandLineParser;

// Message helpers shared by the tool's commands.
namespace CommandText {

// Text for a message line, with control characters and line separators written as escapes
// ("a\nb" -> "a\x0ab"), so that an echoed argument can neither break a message into several
// lines nor send escape sequences to the terminal.
QString printable(const QString& text);

// Writes the one line "strumvane-charts: MESSAGE" on `err`; returns exit status 2.
int usageError(QTextStream& err, const QString& message);

// Writes "strumvane-charts: MESSAGE" on `err`.
void message(QTextStream& err, const QString& text);

// Parses the words after a command's name (`arguments`, e.g. {"--all", "x-3-5-4-5-x"} for
// `name`) with `parser`, which holds `help`. Returns the exit status when the command ends
// here (a usage error, or --help printed on `out`), else nothing; the command's own positional
// arguments are then parser.positionalArguments().mid(1).
std::optional<int> parseCommand(QCommandLineParser& parser, const QCommandLineOption& help,
                                const QString& command, const QStringList& arguments,
                                QTextStream& out, QTextStream& err);

} // namespace CommandText
