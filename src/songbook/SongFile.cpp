#include "songbook/SongFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {

constexpr char lineFeed = '\n';
// Bytes below it are control bytes.
constexpr unsigned char firstPrintable = 0x20;
// The byte-order marks of UTF-16, little- and big-endian.
constexpr std::initializer_list<unsigned char> utf16LittleEndian{0xff, 0xfe};
constexpr std::initializer_list<unsigned char> utf16BigEndian{0xfe, 0xff};

// The control bytes a text file may hold: tab, line feed, form feed, carriage return.
bool textControl(unsigned char byte) {
    return byte == '\t' || byte == '\n' || byte == '\f' || byte == '\r';
}

bool startsWith(const QByteArray& data, std::initializer_list<unsigned char> bytes) {
    if (data.size() < qsizetype(bytes.size()))
        return false;
    qsizetype i = 0;
    for (const unsigned char b : bytes) {
        if (static_cast<unsigned char>(data[i++]) != b)
            return false;
    }
    return true;
}

std::optional<QString> fail(QString* reason, const QString& text) {
    if (reason)
        *reason = text;
    return std::nullopt;
}

} // namespace

std::optional<QString> SongFile::read(const QString& path, QString* reason) {
    const QFileInfo info(path);
    if (!info.exists())
        return fail(reason, QStringLiteral("No such file or directory"));
    if (info.isDir())
        return fail(reason, QStringLiteral("is a folder, not a song file"));
    // A pipe or a device could block or never end.
    if (!info.isFile())
        return fail(reason, QStringLiteral("is not a regular file"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(reason, file.errorString());
    const QByteArray data = file.read(maxBytes + 1);
    if (data.size() > maxBytes)
        return fail(reason, QStringLiteral("is larger than %1 MiB").arg(maxBytes / (1024 * 1024)));
    if (startsWith(data, utf16LittleEndian) || startsWith(data, utf16BigEndian))
        return fail(reason, QStringLiteral("is UTF-16 text; save it as UTF-8"));

    int line = 1;
    for (const char c : data) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < firstPrintable && !textControl(byte))
            return fail(reason,
                        QStringLiteral("is binary, not text (byte 0x%1 on line %2)")
                            .arg(QStringLiteral("%1").arg(uint(byte), 2, 16, QLatin1Char('0')),
                                 QString::number(line)));
        if (c == lineFeed)
            ++line;
    }

    QString text;
    text.reserve(data.size());
    line = 0;
    qsizetype start = 0;
    while (start <= data.size()) {
        ++line;
        qsizetype end = data.indexOf(lineFeed, start);
        if (end < 0)
            end = data.size();
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const QString decoded = utf8.decode(QByteArrayView(data).sliced(start, end - start));
        if (utf8.hasError())
            return fail(reason, QStringLiteral("is not UTF-8 text (line %1)").arg(line));
        if (decoded.size() > maxLineLength)
            return fail(reason, QStringLiteral("line %1 is longer than %2 characters")
                                    .arg(QString::number(line), QString::number(maxLineLength)));
        text += decoded;
        if (end < data.size())
            text += QLatin1Char(lineFeed);
        start = end + 1;
    }
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    if (text.trimmed().isEmpty())
        return fail(reason, QStringLiteral("is empty"));
    return text;
}
