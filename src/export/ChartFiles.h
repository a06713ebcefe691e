#pragma once

#include "export/ChartFormat.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>
#include <memory>

class ChartFileWriter;
class ChartWritePool;
class ErrorTrap;

// Where and how the export commands write chart files: the folder test, the file names, the
// format branch that writes a chart or a pair of charts, the plan of a save-all, and whether a
// save-all runs. The window's commands and `strumvane-charts export-all` both use it.
//
// Example:
//   ChartFiles::FolderExists("/home/ann/Charts/");              // true for a directory
//   ChartFiles::filePath("/home/ann/Charts", "Blank Chart.bmp")  // "/home/ann/Charts/Blank
//   Chart.bmp" ChartFiles::saveAllStem("C/E", "E-C-G-C")                    // "C_E E-C-G-C"
//   ChartFiles::saveAllFileName("C_E E-C-G-C", 1, ChartFormat::Jpeg)  // "C_E E-C-G-C 1.jpg"
class ChartFiles {
public:
    static constexpr quint8 jpegQuality = 100;
    static constexpr int pitchCount = 12;

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

    // One chord of the save-all plan: catalogue entry 1..611 at Pitch 0..11 and its file stem.
    struct PlannedChord {
        int entry;
        qint16 pitch;
        QString stem;

        bool operator==(const PlannedChord&) const = default;
    };

    explicit ChartFiles(ChartFileWriter& writer);

    // True when path names an existing directory; false for anything else (missing, a file,
    // the empty text, a name with a NUL), never a failure.
    static bool FolderExists(const QString& path);
    // The folder text joined with a file name. A folder typed without its trailing "/" still
    // receives the file inside it: ("/tmp/out", "a.jpg") and ("/tmp/out/", "a.jpg") both give
    // "/tmp/out/a.jpg"; an empty folder gives the bare file name.
    static QString filePath(const QString& folder, const QString& fileName);
    // name + ".bmp" or ".jpg".
    static QString fileName(const QString& name, ChartFormat format);
    // The save-all file stem: the chord name, one blank and the note names, with every "/",
    // "+" and "\" made "_" so that no name makes a sub-folder: ("Cm6\9", "C-A-Eb-G-D") gives
    // "Cm6_9 C-A-Eb-G-D", "(+11)" becomes "(_11)".
    static QString saveAllStem(const QString& chordName, const QString& noteNames);
    // The name, without suffix, of chart 1 (fingering) or 2 (interval) under `stem`:
    // ("C_E E-C-G-C", 2) gives "C_E E-C-G-C 2".
    static QString saveAllChartName(const QString& stem, int chart);
    // saveAllChartName with the format's suffix: "C_E E-C-G-C 2.jpg".
    static QString saveAllFileName(const QString& stem, int chart, ChartFormat format);

    // The chords whose files a save-all over the whole catalogue leaves: it visits every entry
    // in catalogue order at every Pitch from C to B and writes each chord's pair under its
    // stem, so where stems agree the later chord's files replace the earlier ones. Each stem
    // appears once, at the place of its first chord, with the last chord that has it: fewer
    // than 611 x 12 chords. With `uniqueNames` every chord of the 611 x 12 is kept, its stem
    // followed by " #" and the entry number ("Am7 A-E-G-C #165"), so no file replaces another.
    static QList<PlannedChord> saveAllPlan(bool uniqueNames = false);

    // The format branch of an export command, under `trap`: when the "BMP" test holds, every
    // chart is written as name.bmp under its bmpWrites step; else when the "JPG" test holds,
    // as name.jpg under its jpegWrites step. The folder text is read afresh for every file.
    // A test that fails counts as holding (the trap's rule). Files go through `write`, by
    // default writeChart.
    void saveCharts(ErrorTrap& trap, const FormatSteps& steps, const FormatButtons& format,
                    const std::function<QString()>& folderText, const QList<Chart>& charts,
                    const WriteFile& write = {}) const;

    // Writes one chart file through the writer: BMP, or JPEG at jpegQuality. Throws the
    // writer's Failure. A save-all calls it on its writer threads, several at once.
    void writeChart(const QImage& picture, const QString& path, ChartFormat format) const;

private:
    // One command of the writer for its lifetime (ChartFileWriter::beginCommand/endCommand).
    class WriterCommand {
    public:
        explicit WriterCommand(ChartFileWriter& writer);
        ~WriterCommand();
        WriterCommand(const WriterCommand&) = delete;
        WriterCommand& operator=(const WriterCommand&) = delete;

    private:
        ChartFileWriter& m_writer;
    };

public:
    // A save-all in progress, for its lifetime, one command of the writer: the window's thread
    // draws and queues each file with queueWrite(), writer threads encode and write it
    // (ChartWritePool), and the window collects the outcome with reportFinished() once per line and
    // finish() at the end. Ending without finish() (the window closed) drops the queued files and
    // waits for those being written, so no file is left half-written.
    class SaveAllRun {
    public:
        explicit SaveAllRun(ChartFiles& files);
        ~SaveAllRun();
        SaveAllRun(const SaveAllRun&) = delete;
        SaveAllRun& operator=(const SaveAllRun&) = delete;

        // The `write` of saveCharts for a save-all: queues a copy of the picture with its
        // path and step number; waits while the queue is full.
        WriteFile queueWrite();
        // Shows the box of every failed file that has finished, in file order, each under
        // its own step number; none once the window is going away.
        void reportFinished(ErrorTrap& trap);
        // Waits for every queued file, then reports them.
        void finish(ErrorTrap& trap);
        // Drops the queued files and waits for those being written; nothing more is reported.
        void drop();

    private:
        ChartFiles& m_files;
        WriterCommand m_command;
        std::unique_ptr<ChartWritePool> m_pool;
    };
    bool isSavingAll() const { return m_savingAll; }

    // Writer threads of a save-all and how many files may wait for them. Unless set, there
    // are ChartWritePool::defaultThreads(), and the window's thread writes the oldest waiting
    // file itself when the queue is full. Set, exactly `threads` threads write (the window's
    // thread only when `windowWrites`).
    void setWriteThreads(int threads, bool windowWrites = false) {
        m_writeThreads = threads;
        m_windowWrites = windowWrites;
    }
    int writeThreads() const { return m_writeThreads; }
    static constexpr int queuedFilesLimit = 8;

    // The window is going away: a running save-all stops before its next file, and no later
    // one writes anything.
    void shutDown() { m_shutDown = true; }
    bool isShutDown() const { return m_shutDown; }

private:
    ChartFileWriter& m_writer;
    bool m_savingAll = false;
    bool m_shutDown = false;
    int m_writeThreads;
    bool m_windowWrites = true;
};
