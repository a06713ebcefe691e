#pragma once

#include <QString>
#include <QTextStream>

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

} // namespace CommandText
