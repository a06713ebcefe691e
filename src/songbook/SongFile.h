#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Reads a song file's text, refusing what is not a song: a file that is missing, a folder or
// anything but a regular file, empty, larger than maxBytes, binary (a NUL or another control
// byte than tab, line feed, form feed and carriage return), not UTF-8 (UTF-16 is named as
// such), or holding a line longer than maxLineLength characters. A UTF-8 byte-order mark is
// dropped. Reads at most maxBytes + 1 bytes, so memory stays bounded whatever the file.
class SongFile {
public:
    static constexpr qint64 maxBytes = 4 * 1024 * 1024;
    static constexpr int maxLineLength = 10000;

    // The text of `path`, or nullopt with the reason in `reason`: "No such file or directory",
    // "is a folder", "is empty", "is binary, not text (byte 0x00 on line 1)", "is not UTF-8
    // text (line 3)", "line 2 is longer than 10000 characters", ...
    static std::optional<QString> read(const QString& path, QString* reason);
};
