#pragma once

#include "chart/ChordBox.h"
#include "finder/SheetList.h"

#include <QLocale>
#include <QPageSize>
#include <QString>

// The files the finder's Sheet page saves, through the writers strumvane-charts uses: the
// sheet as a PDF lesson sheet of chord boxes (ChordBoxSheet, as `sheet` writes it) or as a
// MusicXML score of chord symbols with their frames (MusicXmlScore, likewise), one chord
// as an SVG box (VectorChartFile, as `render --style box` writes it) or as a PNG picture of
// natural size (ChordBox::image() and ImageFile, likewise). Every file is written whole or
// not at all; an existing file of that name is replaced.
class SheetFiles {
public:
    enum class Kind { Pdf, MusicXml, Svg, Png };

    // The file name suffix ("pdf", "musicxml") and the dialog's filter ("PDF lesson sheet
    // (*.pdf)").
    static QString suffix(Kind kind);
    static QString filter(Kind kind);

    // The page the sheet prints on: US Letter where the locale measures in inches the US way,
    // A4 elsewhere.
    static QPageSize::PageSizeId pageFor(const QLocale& locale);

    // Writes the whole sheet (not empty) as a PDF with its title, each box drawn with `box`.
    // Returns the empty text when written, else the words for the failure ("Permission
    // denied").
    static QString writeSheet(const QString& fileName, const SheetList& sheet,
                              const ChordBox::Options& box, QPageSize::PageSizeId page);
    // Writes the whole sheet (not empty) as a MusicXML score with its title, the part named
    // after the instrument; as above. A score is played on one fretboard: a sheet that mixes
    // instruments, tunings or capos is refused ("the chords of a MusicXML score share one
    // instrument, tuning and capo: ...").
    static QString writeScore(const QString& fileName, const SheetList& sheet);
    // Writes one chord's box as an SVG (Kind::Svg) or PNG (Kind::Png) file; as above.
    static QString writeBox(Kind kind, const QString& fileName, const SheetList::Entry& entry,
                            const ChordBox::Options& box);
};
