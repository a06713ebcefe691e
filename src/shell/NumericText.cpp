#include "shell/NumericText.h"

#include "base/Failure.h"

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

qint16 parseInt16(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const QStringView body = text.sliced(begin, end - begin);

    qsizetype i = 0;
    bool negative = false;
    if (i < body.size() && (body[i] == u'+' || body[i] == u'-')) {
        negative = body[i] == u'-';
        ++i;
    }
    const qsizetype integerBegin = i;
    while (i < body.size() && isAsciiDigit(body[i]))
        ++i;
    const QStringView integerDigits = body.sliced(integerBegin, i - integerBegin);
    QStringView fractionDigits;
    if (i < body.size() && body[i] == u'.') {
        const qsizetype fractionBegin = ++i;
        while (i < body.size() && isAsciiDigit(body[i]))
            ++i;
        fractionDigits = body.sliced(fractionBegin, i - fractionBegin);
    }
    if (i != body.size() || (integerDigits.isEmpty() && fractionDigits.isEmpty()))
        throw Failure::typeMismatch();

    // Work on the digits themselves so that no binary fraction blurs a half.
    qint64 magnitude = 0;
    for (const QChar digit : integerDigits) {
        magnitude = magnitude * 10 + (digit.unicode() - u'0');
        if (magnitude > 100000) // far beyond 16 bits; rounding cannot bring it back
            throw Failure::overflow();
    }
    if (!fractionDigits.isEmpty()) {
        const int first = fractionDigits[0].unicode() - u'0';
        bool restNonZero = false;
        for (const QChar digit : fractionDigits.sliced(1))
            restNonZero = restNonZero || digit != u'0';
        const bool roundUp = first > 5 || (first == 5 && (restNonZero || magnitude % 2 == 1));
        if (roundUp)
            ++magnitude;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767)
        throw Failure::overflow();
    return static_cast<qint16>(value);
}

QString int16Text(qint16 value) {
    return QString::number(value);
}
