#pragma once

#include <QStringList>
#include <QTextStream>
#include <atomic>
#include <optional>

// The command-line companion `strumvane-charts`: lists the catalogue, prints a chord's details
// and renders charts to image files, over the same core as the window.
//
//   strumvane-charts list
//   strumvane-charts show ENTRY [PITCH]
//   strumvane-charts render ENTRY PITCH FILE [--chart fingering|interval|blank] [--left-handed]
//   strumvane-charts export-all DIR [--format jpg|bmp] [--left-handed] [--jobs N]
//   strumvane-charts play ENTRY PITCH [--seconds S] [--wav FILE] [--program N] [--strum MS]
//                         [--verbose] [--list-ports]
//
// ENTRY is 1..611; PITCH a note name ("C", "F#", "Bb", also "Db", "D#", "Gb", "G#", "A#") or
// 0..11. Exit status: 0 success, 1 a failure (a file that cannot be written), 2 a usage error,
// 130 an export interrupted by Ctrl-C.
class ChartsTool {
public:
    ChartsTool(QTextStream& out, QTextStream& err);

    // Runs one command; `arguments` includes the program name, as QCoreApplication gives it.
    int run(const QStringList& arguments);

    static constexpr int exitOk = 0;
    static constexpr int exitFailure = 1;
    static constexpr int exitUsage = 2;
    static constexpr int exitInterrupted = 130;

    // Set from the interrupt signal handler; a running export stops when it is true.
    static std::atomic_bool& interruptFlag();
    // Whether export-all draws a progress line on the error stream (a terminal).
    void setShowProgress(bool show) { m_progress = show; }

    // Text for a message line, control characters and line separators written as escapes:
    // "a\nb" gives "a\x0ab".
    static QString printable(const QString& text);
    // An entry number 1..611 written in decimal digits ("6", "006"); nothing for anything else.
    static std::optional<int> parseEntry(const QString& text);

private:
    int list();
    int show(const QStringList& args);
    int render(const QStringList& args, const QString& chart, bool leftHanded);
    int exportAll(const QStringList& args, const QString& format, const QString& jobs,
                  bool leftHanded);
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
    bool m_progress = false;
};
