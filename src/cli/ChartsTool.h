#pragma once

#include <QStringList>
#include <QTextStream>

// The command-line companion `strumvane-charts`: lists the catalogue, prints a chord's details
// and renders charts to image files, over the same core as the window.
//
//   strumvane-charts list
//   strumvane-charts show ENTRY [PITCH]
//   strumvane-charts render ENTRY PITCH FILE [--chart fingering|interval|blank] [--left-handed]
//
// ENTRY is 1..611; PITCH a note name ("C", "F#", "Bb", also "Db", "D#", "Gb", "G#", "A#") or
// 0..11. Exit status: 0 success, 1 a failure (a file that cannot be written), 2 a usage error.
class ChartsTool {
public:
    ChartsTool(QTextStream& out, QTextStream& err);

    // Runs one command; `arguments` includes the program name, as QCoreApplication gives it.
    int run(const QStringList& arguments);

    static constexpr int exitOk = 0;
    static constexpr int exitFailure = 1;
    static constexpr int exitUsage = 2;

private:
    int list();
    int show(const QStringList& args);
    int render(const QStringList& args, const QString& chart, bool leftHanded);
    int usageError(const QString& message);

    QTextStream& m_out;
    QTextStream& m_err;
};
