#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTextStream>
#include <atomic>

// The command-line companion `strumvane-charts`: lists the catalogue, prints a chord's details
// and renders charts to image files, over the same core as the window.
//
//   strumvane-charts list
//   strumvane-charts show ENTRY [PITCH]
//   strumvane-charts render ENTRY PITCH FILE [--chart fingering|interval|blank] [--left-handed]
//   strumvane-charts export-all DIR [--format jpg|bmp] [--left-handed] [--jobs N]
//
// ENTRY is 1..611; PITCH a note name ("C", "F#", "Bb", also "Db", "D#", "Gb", "G#", "A#") or
// 0..11. Exit status: 0 success, 1 a failure (a file that cannot be written), 2 a usage error,
// 130 an export interrupted by Ctrl-C.
class ChartsTool {
public:
    ChartsTool(QTextStream& out, QTextStream& err);

    // Runs one command; `arguments` includes the program name, as QCoreApplication gives it.
    int run(const QStringList& arguments);
    // As above, from the bytes of argv: an argument that is not valid UTF-8 is a usage error
    // that shows its bytes escaped ("caf\xe9.jpg"), as no file can be written under exactly
    // that name.
    int run(const QList<QByteArray>& rawArguments);

    static constexpr int exitOk = 0;
    static constexpr int exitFailure = 1;
    static constexpr int exitUsage = 2;
    static constexpr int exitInterrupted = 130;

    // Set from the interrupt signal handler; a running export stops when it is true.
    static std::atomic_bool& interruptFlag();
    // Whether export-all draws a progress line on the error stream (a terminal).
    void setShowProgress(bool show) { m_progress = show; }

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
