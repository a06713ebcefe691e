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

    // Runs the export into `target`, the folder options.folder opened for this run (its
    // text names the files in messages); messages go to `err`. Stops queuing files once `stop`
    // becomes true, checked between files (files already queued are written whole). Returns
    // the number of files written; `failures` counts the files that could not be written
    // (each reported by name).
    static int run(const Options& options, const ImageFolder& target, QTextStream& err,
                   const std::atomic_bool& stop, int* failures);
};
