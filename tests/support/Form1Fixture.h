#pragma once

#include "shell/SettingsStore.h"
#include "support/FakeMessageBoxes.h"
#include "support/FakeMidiPort.h"
#include "support/FakeServices.h"
#include "support/Form1TestAccess.h"
#include "support/Printers.h"
#include "support/RecordingFileWriter.h"
#include "window/Form1.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A main window wired to fakes: settings in a temporary INI file, a temporary program folder
// and desktop folder. Tests set up the fakes and the store, then call startWindow().
class Form1Fixture : public ::testing::Test {
protected:
    QTemporaryDir temp;
    QString settingsFile = temp.filePath(QStringLiteral("config/Quillmoor.ini"));
    QString programFolder = temp.filePath(QStringLiteral("program"));
    QString desktopFolder = temp.filePath(QStringLiteral("Desktop"));
    bool desktopKnown = true;

    FakeMessageBoxes messages;
    FakeFolderDialog folderDialog;
    FakeMidiPort midiPort;
    RecordingFileWriter fileWriter;
    FakeWebLauncher webLauncher;
    FakeRandomSource random;
    FakeClock clock;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Form1> form;

    void SetUp() override {
        QDir().mkpath(programFolder);
        QDir().mkpath(desktopFolder);
        settings = std::make_unique<SettingsStore>(settingsFile);
    }

    // Stores a value before the window starts, as a previous run would have.
    void storeSetting(const QString& key, const QString& value) {
        settings->saveSetting(key, value);
    }
    QString storedSetting(const QString& key) const {
        return settings->getSetting(key, QStringLiteral("<absent>"));
    }

    // Creates the window and runs its start-up.
    Form1& startWindow() {
        createWindow();
        form->Form_Load();
        return *form;
    }

    // Creates the window without starting it up.
    Form1& createWindow() {
        form = std::make_unique<Form1>(Form1Services{
            *settings, messages, folderDialog, midiPort, fileWriter, webLauncher, random, clock,
            programFolder, [this] { return desktopKnown ? desktopFolder : QString(); }});
        return *form;
    }
};
