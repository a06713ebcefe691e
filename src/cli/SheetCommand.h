#pragma once

#include "chart/ChordDiagram.h"
#include "cli/Arguments.h"
#include "cli/Command.h"
#include "fretboard/Fretboard.h"
#include "writers/ChordBoxSheet.h"
#include "writers/LessonSheet.h"

#include <QCommandLineOption>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// `strumvane-charts sheet OUT.pdf CHORD... [--title TEXT] [--style box|fretboard]
// [--labels fingers|intervals|notes|none] [--captions frets|shape|none]
// [--chart fingering|interval|blank|both] [--left-handed] [--page a4|letter] [--columns N]
// [--instrument NAME] [--tuning T] [--capo N]`: a printable lesson sheet. By default a grid of
// chord boxes filling the page, each with its name above and its frets below; `--style
// fretboard` (or --chart without --style) prints the window's charts instead, two to a row (six
// strings only). A CHORD is a chord name (its easiest voicing, the catalogue's or a generated
// one, on the instrument, tuning and capo), FRETS ("x-3-2-0-1-0", named by its best reading) or
// ENTRY@PITCH ("6@F", the guitar in standard tuning only); each is named with the CHORD as
// written, or with the window's name or the reading. `strumvane-charts sheet song.pdf Am7 D7 Gmaj7
// --title "Autumn"`. `sheet song.musicxml CHORD...` writes the same chords as a MusicXML score of
// chord diagrams (MusicXmlScore), taking --title and the fretboard options only. Exit 2 for a usage
// error or a CHORD that cannot be resolved (one line, before
// anything is written); 1 when the file cannot be written (no partial file is left).
class SheetCommand : public Command {
public:
    SheetCommand();

protected:
    int execute(const CommandContext& context) override;

private:
    // The options both styles share; the exit status of a usage error, or nothing.
    struct Common {
        QString title;
        bool leftHanded = false;
        QPageSize::PageSizeId page = QPageSize::A4;
        std::optional<int> columns; // as given; nothing for the style's default
    };
    std::optional<int> readCommon(Common& common, int maxColumns,
                                  const CommandContext& context) const;
    std::optional<int> readStyle(Arguments::Style& style, const CommandContext& context) const;
    std::optional<int> readBoxOptions(ChordBoxSheet::Options& options,
                                      const CommandContext& context) const;
    // Resolves every CHORD into `chords` before anything is written, likewise.
    static std::optional<int> readChords(const QStringList& texts, const Fretboard& board,
                                         QList<LessonSheet::Chord>& chords,
                                         const CommandContext& context);
    // One CHORD: a name (its easiest voicing), FRETS or ENTRY@PITCH.
    static std::optional<int> readChord(const QString& text, const Fretboard& board,
                                        LessonSheet::Chord& chord, const CommandContext& context);
    // The diagram of a resolved CHORD, named with its caption.
    static ChordDiagram diagramOf(const LessonSheet::Chord& chord);
    // OUT.musicxml: the chords' diagrams as a MusicXML score.
    int writeMusicXml(const CommandContext& context, const QString& fileName,
                      const QStringList& chordTexts, const Fretboard& board) const;

    QCommandLineOption m_title;
    QCommandLineOption m_style;
    QCommandLineOption m_labels;
    QCommandLineOption m_captions;
    QCommandLineOption m_chart;
    QCommandLineOption m_leftHanded;
    QCommandLineOption m_page;
    QCommandLineOption m_columns;
};
