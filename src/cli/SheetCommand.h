#pragma once

#include <QStringList>
#include <QTextStream>

// `strumvane-charts sheet OUT.pdf CHORD... [--title TEXT] [--chart fingering|interval|both]
// [--left-handed] [--page a4|letter] [--columns N]`: a printable lesson sheet. A CHORD is a
// chord name (its easiest voicing) or ENTRY@PITCH ("6@F"); each chart is captioned with the
// CHORD as written, or for ENTRY@PITCH with the window's name of it.
// `strumvane-charts sheet song.pdf Am7 D7 Gmaj7 --title "Autumn"`.
class SheetCommand {
public:
    // `arguments`: what follows the word "sheet". Exit status 0; 2 for a usage error or a
    // CHORD that cannot be resolved (before anything is written); 1 when the file cannot
    // be written (no partial file is left).
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);
};
