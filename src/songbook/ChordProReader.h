#pragma once

#include "songbook/Song.h"
#include "songbook/SongWarning.h"

#include <QList>
#include <QString>

// Reads the text of a ChordPro file into its songs, leniently: CRLF or LF line ends, trailing
// blanks, a line continued by a final "\", "#" comment lines skipped, directive names in any
// case with a colon or a blank before the argument. What it cannot use it keeps and warns
// about once, with the line: an unknown directive or a malformed line is printed as text, a
// section end without its start is dropped.
//
// Directives (short forms in brackets):
//   title (t), subtitle (st), artist, composer, lyricist, album, year, copyright, key, capo,
//   tempo, time, duration, meta (meta: artist Ann);
//   comment (c), comment_italic (ci), comment_box (cb), highlight;
//   start_of_chorus (soc), end_of_chorus (eoc), chorus (the last chorus again), start_of_verse
//   (sov), end_of_verse (eov), start_of_bridge (sob), end_of_bridge (eob), start_of_tab (sot),
//   end_of_tab (eot), start_of_grid (sog), end_of_grid (eog), any other start_of_X/end_of_X as a
//   section labelled X; each start may carry a label ({soc: Chorus 2}, {sov label="V1"});
//   new_page (np), new_physical_page (npp), new_song (ns);
//   define and chord ({define: Bes base-fret 1 frets 1 1 3 3 3 1 fingers 1 1 2 3 4 1}, muted
//   strings x, X, N or -1, the older {define: G 1 3 2 0 0 0 3}), diagrams (on/off), grid (g)
//   and no_grid (ng), transpose ({transpose: 2}, nested; {transpose} ends the innermost; a
//   final "s" or "f" asks for sharps or flats).
// The fonts, sizes, colours and columns of the page are the layout's business and pass in
// silence, as do x_ directives. A selector after a dash ({define-ukulele: ...},
// {start_of_verse-alto}) applies the directive only where it names the instrument or a
// {meta} item that is set; "!" after it reverses that.
class ChordProReader {
public:
    struct Options {
        QString instrument = QStringLiteral("guitar"); // what selectors match
    };

    // The songs of `text` (at least one unless the text holds nothing but directives of no
    // song), each with `file` for its messages. Warnings go to `warnings`.
    static QList<Song> read(const QString& text, const QString& file, const Options& options,
                            QList<SongWarning>& warnings);
};
