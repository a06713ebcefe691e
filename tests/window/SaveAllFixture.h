#pragma once

#include "support/Form1Fixture.h"

#include <QDir>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>
#include <functional>

enum class Format { Bmp, Jpg };

inline QString suffix(Format format) {
    return format == Format::Bmp ? QStringLiteral("bmp") : QStringLiteral("jpg");
}

// A main window set up to export into the folder `out` (which exists), for the tests of the
// export commands.
class SaveAllFixture : public Form1Fixture {
protected:
    QString out;

    void SetUp() override {
        Form1Fixture::SetUp();
        out = temp.filePath(QStringLiteral("out"));
        QDir().mkpath(out);
    }

    // Starts the window on catalogue line `line` at `pitch`, saving into `out` in `format`.
    Form1& startSaving(Format format, int line = 5, int pitch = 3) {
        messages.errorBoxes.clear();
        storeSetting(QStringLiteral("Chords"), QString::number(line));
        storeSetting(QStringLiteral("Pitch"), QString::number(pitch));
        storeSetting(QStringLiteral("Folder"), out + u'/');
        storeSetting(QStringLiteral("Save Option"), format == Format::Bmp ? "3" : "2");
        startWindow();
        // One writer thread: the writer sees the files in the run's order, as the tests that
        // count its calls expect. More threads change only the order of the calls.
        ui(*form).files.setWriteThreads(1);
        EXPECT_TRUE(messages.errorBoxes.isEmpty());
        messages.informationBoxes.clear();
        fileWriter.calls.clear();
        fileWriter.qualities.clear();
        return *form;
    }

    // Runs `action` on the window's thread when a save-all run lets the event loop run at the
    // start of line `line` (0 is the first): before that line's chords are drawn, after all
    // files of the lines before it are queued. Call before starting the run.
    void atLine(int line, std::function<void()> action) {
        QTimer::singleShot(0, form.get(), [this, line, action] {
            if (line == 0)
                action();
            else
                atLine(line - 1, action);
        });
    }

    // Keeps only the first `lines` lines of the chord list, so that a save-all run is short.
    void keepChordLines(int lines) {
        const QSignalBlocker blocker(ui(*form).ListView1);
        while (ui(*form).ListView1->count() > lines)
            delete ui(*form).ListView1->takeItem(lines);
    }
};
