#pragma once

#include "export/ChartFormat.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>

class ChartFileWriter;
class ErrorTrap;

// What the window's export commands share: their writer, the format branch every command runs
// (saveCharts), and what holds between commands: whether a save-all runs and with how many
// writer threads (SaveAllRun), and whether the window is going away.
//
// Example:
//   ExportCommands files(writer);
//   files.saveCharts(trap, {108, {110, 112}, 114, {116, 118}}, buttons, folderText,
//                    {{&fingering, "Chord Chart 1"}, {&interval, "Chord Chart 2"}});
class ExportCommands {
public:
    // The step numbers of one command's format branch: the "BMP" test and its writes, the
    // "JPG" test and its writes (one write per chart).
    struct FormatSteps {
        qint32 bmpTest;
        QList<qint32> bmpWrites;
        qint32 jpegTest;
        QList<qint32> jpegWrites;
    };
    // The two format buttons, asked at the moment of each test.
    struct FormatButtons {
        std::function<bool()> bmpChosen;
        std::function<bool()> jpegChosen;
    };
    // One chart of a command: its picture and its file name without suffix ("Chord Chart 1").
    struct Chart {
        const QImage* picture;
        QString name;
    };
    // Writes one file; runs inside the trap step `step`, so that a throw is that step's box.
    using WriteFile =
        std::function<void(qint32 step, const QImage& picture, const QString& path, ChartFormat)>;

    explicit ExportCommands(ChartFileWriter& writer);

    // The format branch of an export command, under `trap`: when the "BMP" test holds, every
    // chart is written as name.bmp under its bmpWrites step; else when the "JPG" test holds,
    // as name.jpg under its jpegWrites step. The folder text is read afresh for every file.
    // A test that fails counts as holding (the trap's rule). Files go through `write`, by
    // default straight to the writer (ChartFileWriter::saveChart). After shutDown() no further
    // file is written.
    void saveCharts(ErrorTrap& trap, const FormatSteps& steps, const FormatButtons& format,
                    const std::function<QString()>& folderText, const QList<Chart>& charts,
                    const WriteFile& write = {}) const;

    ChartFileWriter& writer() const { return m_writer; }

    // True while a SaveAllRun of these commands lives.
    bool isSavingAll() const { return m_savingAll; }

    // Writer threads of a save-all. Unless set, SaveAllRun::threadsFor(0): one per core
    // beyond the first, and the window's thread writes the oldest waiting file itself when
    // the queue is full. Set, exactly `threads` threads write (the window's thread only when
    // `windowWrites`).
    void setWriteThreads(int threads, bool windowWrites = false) {
        m_writeThreads = threads;
        m_windowWrites = windowWrites;
    }
    int writeThreads() const { return m_writeThreads; }
    bool windowWrites() const { return m_windowWrites; }

    // The window is going away: a running command stops before its next file, and no later
    // one writes anything.
    void shutDown() { m_shutDown = true; }
    bool isShutDown() const { return m_shutDown; }

private:
    friend class SaveAllRun; // marks the commands as saving all for its lifetime

    ChartFileWriter& m_writer;
    bool m_savingAll = false;
    bool m_shutDown = false;
    int m_writeThreads;
    bool m_windowWrites;
};
