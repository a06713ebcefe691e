#pragma once

#include <QString>
#include <QTextStream>
#include <QtGlobal>
#include <atomic>

class ImageFolder;

// Writes both charts of every catalogue entry at every Pitch into a folder, with the file
// names and pixels of the window's "Save All Charts As Image Files": the stem is the chord
// name, a blank and the note names ("Cm6_9 C-A-Eb-G-D"), followed by " 1.jpg" (fingering
// chart) and " 2.jpg" (interval chart). Where two chords share a stem, the later entry's
// charts are the ones written, as in the window (SaveAllPlan). Runs through the window's
// save-all run (SaveAllRun): its writer threads, and the calling thread while their queue is
// full, each draw, encode and write a file.
class ExportAll {
public:
    struct Options {
        QString folder;   // an existing, writable folder
        bool jpeg = true; // false: BMP
        bool leftHanded = false;
        int jobs = 0;              // busy threads (SaveAllRun::threadsFor); 0: one per core
        bool uniqueNames = false;  // every chart kept: "Am7 A-E-G-C #165 fingering.jpg"
        bool showProgress = false; // a progress line on `err`, redrawn in place, erased at the end
    };

    struct Outcome {
        int written = 0; // files written whole
        int failed = 0;  // files that could not be written
        // The run ended early because no further file could be written: the disk or the
        // user's quota is full, the file system turned read-only, or the folder was removed.
        bool stoppedByFailure = false;
    };

    // Runs the export into `target`, the folder options.folder opened for this run (its
    // text names the files in messages); messages go to `err`. Stops queuing files once `stop`
    // becomes non-zero (a signal's number), checked between files; files already queued are
    // written whole. The first file that fails for a reason is named with it ("cannot write
    // '/x/Cmaj C-G-C-E-G-C 1.jpg': Permission denied"); later ones for the same reason are
    // counted in one line at the end ("cannot write 12 more files: Permission denied"). A
    // failure that every later file would meet too ends the run at once with one line
    // ("cannot write into '/x': No space left on device; stopped after 312 of 9480 files").
    static Outcome run(const Options& options, const ImageFolder& target, QTextStream& err,
                       const std::atomic_int& stop);
};
