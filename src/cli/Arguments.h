#pragma once

#include "chart/ChordBox.h"
#include "chart/ChordChart.h"
#include "fretboard/Fretboard.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <QList>
#include <QPageSize>
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
// A number with an optional fraction, "1.5" or "600", by the same rule (WholeNumber).
std::optional<double> decimalNumber(QStringView text, double low, double high);

// ENTRY: a catalogue entry number, 1 to 611 ("6", "006"). Error: "no such entry '612' (1 to
// 611)".
std::optional<int> entry(QStringView text, QString* error = nullptr);

// PITCH, and every note name a command takes: a letter A to G in either case with one
// optional sharp or flat ("C", "f#", "Bb", "E♭"), or a number 0 to 11 (0 is C); the rule of
// ChordTheory::parsePitch(). Gives the pitch class. Error: "no such Pitch 'H'".
std::optional<qint16> pitch(QStringView text, QString* error = nullptr);

// FRETS: one mark a string of `board`, lowest string first, joined by "-", each a fret 0 (open,
// or at the capo) to the highest fret above the capo, or "x" ("x-3-2-0-1-0" on the guitar,
// "0-0-0-3" on the ukulele). Gives the frets, -1 for "x" (Fretboard::parseFrets()). Error:
// what is wrong, e.g. "fret 30 in 'x-3-5-4-5-30' is over 24, the highest fret".
std::optional<QList<qint16>> frets(QStringView text, const Fretboard& board,
                                   QString* error = nullptr);
// Whether `text` is written as FRETS rather than a name or ENTRY@PITCH: marks of digits or "x"
// joined by "-" ("x-3-2-0-1-0", "0-0-0-3").
bool looksLikeFrets(QStringView text);
// The MIDI notes the sounding strings of FRETS sound on `board`, lowest string first.
std::optional<QList<qint16>> fretNotes(QStringView text, QString* error = nullptr,
                                       const Fretboard& board = Fretboard());

// --instrument NAME, --tuning T and --capo N, the options of every command that plays a chord
// on a fretted instrument; add each to the command's parser.
QList<QCommandLineOption> fretboardOptions();
// The fretboard those options give (a command's parser after parsing): the guitar in
// standard tuning without a capo unless they say otherwise. --instrument names an instrument
// preset (guitar, 7-string, bass, ukulele, ...); --tuning a preset, notes such as "D2 A2 D3
// G3 A3 D4" or note names such as DADGAD (Tuning::parse(), taking the octaves of the
// instrument when --instrument names one); --capo 0 to 12. Errors: "unknown instrument 'lute'
// (guitar, ...)", the tuning's own, "tuning 'dadgad' is one of the guitar, not of the
// ukulele", "tuning 'DADGAD' has 6 strings, the ukulele 4", "no such capo '13' (0 to 12)".
std::optional<Fretboard> fretboard(const QCommandLineParser& parser, QString* error = nullptr);
// Whether the catalogue's voicings (ENTRY, ENTRY@PITCH) belong on `board`: the guitar in
// standard tuning without a capo.
bool isCatalogueFretboard(const Fretboard& board);
// The strings of the window's chart, which draws nothing else.
inline constexpr int chartStrings = 6;

// ENTRY@PITCH: an entry at a Pitch, each read as above: "6@F" gives entry 6 at Pitch 5.
struct EntryAtPitch {
    int entry = 1;
    qint16 pitch = 0;
};
std::optional<EntryAtPitch> entryAtPitch(QStringView text);

// The kind of file a name's suffix asks for, in any case: "a.JPEG" gives Jpeg, "a" nothing.
enum class FileKind { Bmp, Jpeg, Png, Svg, Pdf, Wav, MusicXml };
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

// --page, the paper of a printed sheet: "a4" or "letter", in any case. Error: "no such page 'x'
// (a4 or letter)".
std::optional<QPageSize::PageSizeId> page(const QString& word, QString* error = nullptr);

// Help lines for the arguments above, as a command's --help lists them.
QString entryHelp();
QString pitchHelp();
QString fretsHelp();

} // namespace Arguments
