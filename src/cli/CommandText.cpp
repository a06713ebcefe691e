#include "cli/CommandText.h"

#include "cli/ChartsTool.h"

namespace CommandText {

QString printable(const QString& text) {
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

int usageError(QTextStream& err, const QString& text) {
    message(err, text);
    return ChartsTool::exitUsage;
}

void message(QTextStream& err, const QString& text) {
    err << "strumvane-charts: " << printable(text) << '\n';
}

} // namespace CommandText
