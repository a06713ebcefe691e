#include "base/WholeNumber.h"

#include <QtGlobal>
#include <algorithm>

namespace WholeNumber {

std::optional<int> parse(QStringView text, int low, int high) {
    if (text.isEmpty())
        return std::nullopt;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        // Checked digit by digit, so that no length of text can overflow.
        if (value > high)
            return std::nullopt;
    }
    if (value < low)
        return std::nullopt;
    return int(value);
}

std::optional<double> parseDecimal(QStringView text, double low, double high) {
    const qsizetype point = text.indexOf(u'.');
    const QStringView whole = point < 0 ? text : text.left(point);
    const QStringView fraction = point < 0 ? QStringView() : text.mid(point + 1);
    const auto digitsOnly = [](QStringView digits) {
        return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                                [](QChar c) { return c >= u'0' && c <= u'9'; });
    };
    if (!digitsOnly(whole) || (point >= 0 && !digitsOnly(fraction)))
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace WholeNumber
