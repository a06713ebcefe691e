#include "base/WholeNumber.h"

#include <QtGlobal>

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

} // namespace WholeNumber
