#pragma once

#include "cli/Command.h"

#include <QCommandLineOption>
#include <QString>
#include <optional>

// `strumvane-charts songbook OUT.pdf SONG.cho... [--transpose N] [--capo N] [--instrument NAME]
// [--tuning T] [--left-handed] [--labels fingers|intervals|notes|none]
// [--diagrams top|bottom|none] [--voice-lead] [--page a4|letter]`: a songbook of ChordPro files
// (.cho, .crd, .chopro, .pro; UTF-8 with or without a byte-order mark), each song with the chord
// boxes of every chord it uses (SongChords, SongbookPdf). Every file is read before anything is
// written: one that cannot be read as a song file (SongFile) is named with the reason, exit 1,
// and no file is written. What a file says leniently (an unknown directive, a chord without a
// voicing) is one warning with file and line on standard error, and the songbook is written.
// Exit 2 for a usage error (one line), 1 when the PDF cannot be written (no partial file).
//
//   strumvane-charts songbook swing.pdf swing-low.cho --transpose 2 --capo 2
class SongbookCommand : public Command {
public:
    SongbookCommand();

    static constexpr int maxTranspose = 24;
    // Warnings printed for one file; the rest are counted.
    static constexpr int maxWarnings = 50;

protected:
    int execute(const CommandContext& context) override;

private:
    // --transpose: semitones with an optional sign, -maxTranspose..maxTranspose.
    static std::optional<int> transpose(const QString& text);

    QCommandLineOption m_transpose;
    QCommandLineOption m_leftHanded;
    QCommandLineOption m_labels;
    QCommandLineOption m_diagrams;
    QCommandLineOption m_voiceLead;
    QCommandLineOption m_page;
};
