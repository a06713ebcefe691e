#pragma once

#include "base/Failure.h"
#include "export/ChartFileWriter.h"
#include "export/FolderDialog.h"
#include "export/ImageFileWriter.h"
#include "shell/Clock.h"
#include "shell/RandomSource.h"
#include "shell/WebLauncher.h"
#include "sound/MidiPort.h"

#include <QList>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <mutex>

// Stand-ins for what the main window asks of the desktop. Each records what it was asked;
// what it answers is set by the test beforehand.

class FakeFolderDialog : public FolderDialog {
public:
    QString chooseFolder(QWidget*, const QString& title, const QString& startFolder) override {
        titles << title;
        startFolders << startFolder;
        return answer;
    }
    QString answer;           // what the "user" chooses; empty = cancel
    QStringList titles;       // every title shown
    QStringList startFolders; // every start folder handed in
};

class FakeMidiPort : public MidiPort {
public:
    qint32 open() override {
        ++openCalls;
        isOpen = openResult == 0;
        return openResult;
    }
    void sendShortMessage(quint32 packed) override { messages << packed; }
    qint32 close() override {
        ++closeCalls;
        isOpen = false;
        return 0;
    }
    qint32 openResult = 0; // 0: a device opens; anything else: no device
    bool isOpen = false;
    int openCalls = 0;
    int closeCalls = 0;
    QList<quint32> messages; // every packed message sent, in order
};

// Writes real files through the production writer, records every call, and fails the calls
// for which `failWhen` answers true (with "Permission denied"), writing nothing for them.
// A save-all calls it from its writer threads: one call at a time runs, `failWhen` included,
// so a hook may read `calls` (but must not touch the window, which lives on another thread).
class RecordingFileWriter : public ChartFileWriter {
public:
    void saveBitmap(const QImage& picture, const QString& fileName) override {
        const std::lock_guard<std::mutex> locked(lock);
        calls << fileName;
        if (failWhen && failWhen(fileName))
            throw Failure::permissionDenied();
        if (writeFiles)
            real.saveBitmap(picture, fileName);
    }
    void saveJpeg(const QImage& picture, const QString& fileName, quint8 quality) override {
        const std::lock_guard<std::mutex> locked(lock);
        calls << fileName;
        qualities << quality;
        if (failWhen && failWhen(fileName))
            throw Failure::permissionDenied();
        if (writeFiles)
            real.saveJpeg(picture, fileName, quality);
    }
    // The real writer's folder per command, as in the program.
    void beginCommand() override { real.beginCommand(); }
    void endCommand() override { real.endCommand(); }
    ImageFileWriter real;
    bool writeFiles = true;
    std::function<bool(const QString&)> failWhen;
    QStringList calls;
    QList<quint8> qualities;
    std::mutex lock;
};

class FakeWebLauncher : public WebLauncher {
public:
    void openUrl(const QUrl& url) override { opened << url; }
    QList<QUrl> opened;
};

class FakeRandomSource : public RandomSource {
public:
    void seed(quint32 value) override { seeds << value; }
    double nextUniform() override { return next; }
    double next = 0.5; // the number every draw returns
    QList<quint32> seeds;
};

class FakeClock : public Clock {
public:
    double secondsSinceMidnight() const override { return seconds; }
    double seconds = 45296.75; // 12:34:56.75
};
