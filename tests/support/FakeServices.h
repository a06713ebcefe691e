#pragma once

#include "shell/Clock.h"
#include "shell/FolderDialog.h"
#include "shell/RandomSource.h"
#include "shell/WebLauncher.h"

#include <QList>
#include <QStringList>
#include <QUrl>

// Stand-ins for what the program asks of the desktop. Each records what it was asked; what
// it answers is set by the test beforehand.

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
