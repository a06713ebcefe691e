#pragma once

#include <QString>

// Something in a song file that was read leniently: an unknown directive, a malformed line, a
// chord that cannot be voiced. Reading goes on; the tool prints each as one line.
struct SongWarning {
    QString file; // as named on the command line
    int line = 0; // 1-based
    QString message;

    // "song.cho:12: unknown directive 'foo', printed as text".
    QString text() const;
};
