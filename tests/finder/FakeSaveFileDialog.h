#pragma once

#include "finder/SaveFileDialog.h"

#include <QStringList>

// A save dialog that answers what the test set and records where it opened.
class FakeSaveFileDialog : public SaveFileDialog {
public:
    QString chooseSaveFile(QWidget*, const QString&, const QString& startPath, const QString&,
                           const QString&) override {
        startPaths << startPath;
        return answer;
    }
    QString answer; // the file "chosen"; empty = cancel
    QStringList startPaths;
};
