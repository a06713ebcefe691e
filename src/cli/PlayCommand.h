#pragma once

#include "cli/Command.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <optional>

// `strumvane-charts play ENTRY PITCH | FRETS [--instrument NAME] [--tuning T] [--capo N]`:
// sounds a chord, an entry at a Pitch or a shape written as frets (the notes of the tuning and
// capo), through the output the window uses (a synthesiser port, the built-in synthesiser,
// another port), or renders it with the built-in synthesiser into a WAV file. Exit 1 when no output
// opened or the file was not written, 130 when interrupted (the note-offs are still sent).
//
//   strumvane-charts play 6 C                       Cmaj for 1.5 s on the chosen output
//   strumvane-charts play 6 C --wav cmaj.wav        the same into a 16-bit 44.1 kHz stereo WAV
//   strumvane-charts play 6 C --program 25 --strum 40 --seconds 3
//   strumvane-charts play x-0-2-2-1-0 --wav am.wav  A minor, the notes 45 52 57 60 64
//   strumvane-charts play --list-ports              what there is and what would be chosen
class PlayCommand : public Command {
public:
    PlayCommand();

    // The release rendered after the note-offs: at least this long, longer while voices sound.
    static constexpr int minimumReleaseMs = 1000;
    static constexpr int maximumReleaseMs = 5000;

protected:
    int execute(const CommandContext& context) override;

private:
    struct Request;
    // Reads the arguments and options into `request`; the exit status of a usage error, or
    // nothing.
    std::optional<int> readRequest(Request& request, const CommandContext& context) const;
    std::optional<int> readTiming(Request& request, const CommandContext& context) const;
    int playLive(const Request& request, const CommandContext& context) const;
    int renderWave(const Request& request, const CommandContext& context) const;
    // Waits `ms`, in short steps so that Ctrl-C is noticed; false when interrupted.
    static bool wait(int ms, const CommandContext& context);

    QCommandLineOption m_seconds;
    QCommandLineOption m_wav;
    QCommandLineOption m_program;
    QCommandLineOption m_strum;
    QCommandLineOption m_verbose;
    QCommandLineOption m_listPorts;
};
