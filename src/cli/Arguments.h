#pragma once

#include "chart/ChordBox.h"
#include "chart/ChordChart.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <optional>

// How strumvane-charts reads the words a user gives its commands: one reader for each kind of
// word, the same in every command. Each gives nullopt for a word it cannot read; those that
// take `error` then put there the one line a usage error shows.
namespace Arguments {

// A whole number in ASCII digits within low..high: "7" and "007" give 7; "+7", "-1", " 7",
// "٣", "１" and "99999999999" give nothing. The rule the catalogue reads numbers by too.
std::optional<int> wholeNumber(QStringView text, int low, int high);

// ENTRY: a catalogue entry number, 1 to 611 ("6", "006"). Error: "no such entry '612' (1 to
// 611)".
std::optional<int> entry(QStringView text, QString* error = nullptr);

// PITCH, and every note name a command takes: a letter A to G in either case with one
// optional sharp or flat ("C", "f#", "Bb", "E♭"), or a number 0 to 11 (0 is C); the rule of
// ChordTheory::parsePitch(). Gives the pitch class. Error: "no such Pitch 'H'".
std::optional<qint16> pitch(QStringView text, QString* error = nullptr);

// FRETS: six marks low E first joined by "-", each a fret 0 to 24 or "x" ("x-3-2-0-1-0").
// Gives the MIDI notes of the sounding strings in standard tuning, low string first
// (ChordNamer::notesOfFrets()). Error: what is wrong, e.g. "fret 30 in 'x-3-5-4-5-30' is over
// 24".
std::optional<QList<qint16>> fretNotes(QStringView text, QString* error = nullptr);

// ENTRY@PITCH: an entry at a Pitch, each read as above: "6@F" gives entry 6 at Pitch 5.
struct EntryAtPitch {
    int entry = 1;
    qint16 pitch = 0;
};
std::optional<EntryAtPitch> entryAtPitch(QStringView text);

// The kind of file a name's suffix asks for, in any case: "a.JPEG" gives Jpeg, "a" nothing.
enum class FileKind { Bmp, Jpeg, Png, Svg, Pdf, Wav };
std::optional<FileKind> fileKind(const QString& fileName);

// --chart, which of the window's charts to draw: "fingering", "interval", "blank", or "both"
// (fingering, then interval). Error: "no such chart 'x' (fingering, interval, blank or both)".
std::optional<QList<ChordChartKind>> charts(const QString& word, QString* error = nullptr);

// --style, how render and sheet draw a chord: "box", a chord box as chord books print it, or
// "fretboard", the window's chart. Error: "no such style 'x' (box or fretboard)".
enum class Style { Box, Fretboard };
std::optional<Style> style(const QString& word, QString* error = nullptr);

// --labels, what a chord box writes in its dots: "fingers", "intervals", "notes" or "none".
// Error: "no such labels 'x' (fingers, intervals, notes or none)".
std::optional<ChordBox::Labels> labels(const QString& word, QString* error = nullptr);

// Help lines for the arguments above, as a command's --help lists them.
QString entryHelp();
QString pitchHelp();

} // namespace Arguments
