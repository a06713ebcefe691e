#pragma once

#include "cli/Command.h"
#include "songbook/Song.h"
#include "songbook/SongChords.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// `strumvane-charts songbook OUT.pdf|OUT.musicxml SONG.cho... [--transpose N] [--capo N]
// [--instrument NAME] [--tuning T] [--left-handed] [--labels fingers|intervals|notes|none]
// [--diagrams top|bottom|none] [--voice-lead] [--page a4|letter]`: a songbook of ChordPro files
// (.cho, .crd, .chopro, .pro; UTF-8 with or without a byte-order mark), each song with the chord
// boxes of every chord it uses (SongChords, SongbookPdf). To OUT.musicxml it writes the chord
// diagrams as a MusicXML score (MusicXmlScore): one measure per chord in order of first use
// across the songs, each chord once, titled with the song's title when there is one song; the
// PDF's own options (--left-handed, --labels, --diagrams, --page) do not apply to it.
//
// Every file is read before anything is written: one that cannot be read as a song file
// (SongFile) is named with the reason, exit 1, and no file is written. What a file says
// leniently (an unknown directive, a chord without a voicing) is one warning with file and line
// on standard error, and the songbook is written. Exit 2 for a usage error (one line), 1 when
// the file cannot be written (no partial file).
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
    // The songs of every file, resolved; nullopt when a file cannot be read (each reported).
    static std::optional<QList<Song>> readSongs(const QStringList& paths,
                                                const SongChords::Options& chords,
                                                const CommandContext& context);
    int writePdf(const QString& fileName, const QList<Song>& songs,
                 const CommandContext& context) const;
    int writeMusicXml(const QString& fileName, const QList<Song>& songs,
                      const CommandContext& context) const;

    QCommandLineOption m_transpose;
    QCommandLineOption m_leftHanded;
    QCommandLineOption m_labels;
    QCommandLineOption m_diagrams;
    QCommandLineOption m_voiceLead;
    QCommandLineOption m_page;
};
