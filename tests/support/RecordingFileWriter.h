#pragma once

#include "base/Failure.h"
#include "export/ChartFileWriter.h"
#include "export/ImageFileWriter.h"

#include <QList>
#include <QStringList>
#include <functional>
#include <mutex>

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
