#pragma once

#include <QStringList>
#include <QTextStream>

// `strumvane-charts name [--all] FRETS`: every reading of a shape as a chord of the
// catalogue's types, best first, one a line: name, note names, intervals above the root,
// tab-separated. `strumvane-charts name x-3-5-4-5-x` prints "CM7\tC-G-B-E\tR-5-7-3" first.
class NameCommand {
public:
    // `arguments`: what follows the word "name" on the command line. Returns the exit
    // status: 0, or 2 for bad frets or options (one line on `err`).
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);
};
