#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QtGlobal>
#include <optional>
#include <utility>

// `strumvane-charts find NAME | --notes N1,N2,... [--frets LOW-HIGH] [--strings K]
// [--top NOTE] [--near ENTRY@PITCH] [--rootless]`: the catalogue's voicings of a chord, one
// a line: entry, Pitch, the window's name for it, fret numbers, fingering and playability
// score, tab-separated, easiest first ("6\tC\tCmaj\t8-10-10-9-8-8\t1-3-4-2-1-1\t8"). With
// --near, nearest first by voice-leading distance, printed as a seventh column.
class FindCommand {
public:
    // `arguments`: what follows the word "find". Exit status 0, or 2 for a name or option
    // it cannot read (one line on `err` naming it).
    static int run(const QStringList& arguments, QTextStream& out, QTextStream& err);

    // "6@F" -> entry 6 at Pitch 5; the entry 1..611, the Pitch as `show` reads it.
    static std::optional<std::pair<int, qint16>> parseEntryAtPitch(const QString& text);
};
