#include "cli/CommandText.h"

#include "cli/ChartsTool.h"

#include <QCommandLineParser>

namespace CommandText {

QString printable(const QString& text) {
    return ChartsTool::printable(text);
}

int usageError(QTextStream& err, const QString& text) {
    message(err, text);
    return ChartsTool::exitUsage;
}

void message(QTextStream& err, const QString& text) {
    err << "strumvane-charts: " << printable(text) << '\n';
}

std::optional<int> parseCommand(QCommandLineParser& parser, const QCommandLineOption& help,
                                const QString& command, const QStringList& arguments,
                                QTextStream& out, QTextStream& err) {
    if (!parser.parse(QStringList{QStringLiteral("strumvane-charts"), command} + arguments))
        return usageError(err, parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        return ChartsTool::exitOk;
    }
    return std::nullopt;
}

} // namespace CommandText
