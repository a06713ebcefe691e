#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <atomic>
#include <functional>

// `strumvane-charts play ENTRY PITCH`: sounds a chord through the output the window uses (a
// synthesiser port, the built-in synthesiser, another port), or renders it with the built-in
// synthesiser into a WAV file.
//
//   strumvane-charts play 6 C                       Cmaj for 1.5 s on the chosen output
//   strumvane-charts play 6 C --wav cmaj.wav        the same into a 16-bit 44.1 kHz stereo WAV
//   strumvane-charts play 6 C --program 25 --strum 40 --seconds 3
//   strumvane-charts play --list-ports              what there is and what would be chosen
class PlayCommand {
public:
    // The options as given; a null text is an option not given.
    struct Options {
        QString seconds; // how long the notes are held, 0.1 to 600 (default 1.5)
        QString wavFile; // render into this .wav file instead of sounding
        QString program; // General MIDI program 0 to 127 (default 0, the piano)
        QString strum;   // milliseconds between note-ons, 0 to 1000, low string first
        bool verbose = false;
        bool listPorts = false;
    };

    // `usageError` reports a bad argument and gives the exit status; `interrupted` ends the
    // held notes early (note-offs are still sent).
    PlayCommand(QTextStream& out, QTextStream& err, std::function<int(const QString&)> usageError,
                const std::atomic_bool& interrupted);

    // `args` are the arguments after "play". Returns the exit status: 0, 1 (no output opened,
    // the file not written), 2 (usage), 130 (interrupted).
    int run(const QStringList& args, const Options& options);

    // The release rendered after the note-offs: at least this long, longer while voices sound.
    static constexpr int minimumReleaseMs = 1000;
    static constexpr int maximumReleaseMs = 5000;

private:
    struct Request;
    int playLive(const Request& request);
    int renderWave(const Request& request);
    // Waits `ms`, in short steps so that Ctrl-C is noticed; false when interrupted.
    bool wait(int ms) const;

    QTextStream& m_out;
    QTextStream& m_err;
    std::function<int(const QString&)> m_usageError;
    const std::atomic_bool& m_interrupted;
};
