// The export commands of the main window: the charts on screen, a blank chart, and every
// chord at every Pitch.
#include "window/Form1.h"

#include "base/Failure.h"
#include "export/ChartFileNames.h"
#include "export/SaveAllRun.h"
#include "shell/ErrorTrap.h"
#include "shell/MessageBoxes.h"
#include "shell/SettingsStore.h"
#include "window/ChartPicture.h"
#include "window/ProgressBar.h"
#include "writers/ImageFolder.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

const QString folderMissingText =
    QStringLiteral("Folder does not exist. Please select another folder.");

// The "BMP" and "JPG" buttons, asked at the moment of each test.
ExportCommands::FormatButtons formatButtons(const QRadioButton* bmp, const QRadioButton* jpeg) {
    return {[bmp] { return bmp->isChecked(); }, [jpeg] { return jpeg->isChecked(); }};
}

} // namespace

bool Form1::outputFolderReady(ErrorTrap& trap, qint32 missingBoxStep) {
    const QString folder = Text2->text();
    // Written under a changed name, the files could replace others: such a folder is refused
    // before anything is written, with one box. (A NUL names no folder at all.)
    if (!folder.isEmpty() && !folder.contains(QChar(0)) &&
        ImageFolder::exactNativeName(folder).isEmpty()) {
        trap.report(106, Failure::badFileName());
        return false;
    }
    if (!trap.test(106, [&] { return ChartFileNames::FolderExists(folder); })) {
        trap.step(missingBoxStep,
                  [&] { m_services.messages.information(applicationTitle, folderMissingText); });
        return false;
    }
    return true;
}

void Form1::Option2_Click() {
    m_services.settings.setSaveOption(SettingsStore::saveOptionJpeg);
}

void Form1::Option3_Click() {
    m_services.settings.setSaveOption(SettingsStore::saveOptionBitmap);
}

void Form1::chooseFormat(QRadioButton* button) {
    if (button->isChecked())
        return;
    {
        const QSignalBlocker blocker(button);
        button->setChecked(true);
    }
    if (button == Option2)
        Option2_Click();
    else
        Option3_Click();
}

void Form1::PushButton1_Click() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton1_Click"));
    if (!outputFolderReady(trap, 122))
        return;
    files.saveCharts(trap, {108, {110, 112}, 114, {116, 118}}, formatButtons(Option3, Option2),
                     [&] { return Text2->text(); },
                     {{&Picture1->surface().image(), QStringLiteral("Chord Chart 1")},
                      {&Picture2->surface().image(), QStringLiteral("Chord Chart 2")}});
    if (files.isShutDown())
        return;
    trap.step(120,
              [&] { m_services.messages.information(applicationTitle, QStringLiteral("Done.")); });
}

void Form1::PushButton2_Click() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton2_Click"));
    if (!outputFolderReady(trap, 120))
        return;
    trap.step(108, [&] { DrawChartGrid(*Picture3); });
    files.saveCharts(trap, {110, {112}, 114, {116}}, formatButtons(Option3, Option2),
                     [&] { return Text2->text(); },
                     {{&Picture3->surface().image(), QStringLiteral("Blank Chart")}});
    if (files.isShutDown())
        return;
    trap.step(118,
              [&] { m_services.messages.information(applicationTitle, QStringLiteral("Done.")); });
}

bool Form1::saveAllLine(ErrorTrap& trap, SaveAllRun& running, int line, int lineCount) {
    trap.step(120, [&] { QCoreApplication::processEvents(); });
    if (files.isShutDown())
        return false;
    running.reportFinished(trap);
    if (files.isShutDown())
        return false; // closed while a box was open
    trap.step(122, [&] { ProgressBar1->setPosition(double(line) / double(lineCount) * 100.0); });
    trap.step(124,
              [&] { ProgressBar1->setText(QStringLiteral("Processing chords, please wait...")); });
    trap.step(126, [&] {
        // Paints what the last line changed, now: the charts, the fields, the list and the
        // progress bar. A full repaint() would redraw every control 611 times.
        QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
    });
    trap.step(128, [&] { selectChordLine(line); });
    for (int j = 0; j < int(Option1.size()) && !files.isShutDown(); ++j) {
        trap.step(132, [&] { choosePitch(j); });
        QString stem;
        trap.step(134, [&] {
            stem = ChartFileNames::saveAllStem(txtChordName->text(), txtChordSpelling->text());
        });
        files.saveCharts(
            trap, {136, {138, 140}, 142, {144, 146}}, formatButtons(Option3, Option2),
            [&] { return Text2->text(); },
            {{&Picture1->surface().image(), ChartFileNames::saveAllChartName(stem, 1)},
             {&Picture2->surface().image(), ChartFileNames::saveAllChartName(stem, 2)}},
            running.queueWrite());
    }
    return !files.isShutDown();
}

void Form1::PushButton4_Click() {
    // A second click while the run yields to the event loop would start a run inside the run.
    if (files.isSavingAll())
        return;
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton4_Click"));
    SettingsStore& settings = m_services.settings;
    if (!outputFolderReady(trap, 164))
        return;
    SaveAllRun running(files);

    bool chordOnScreen = false;
    // Should a stored value be unreadable, the run comes back to what was on screen.
    int storedLine = ListView1->currentRow();
    int storedPitch = Pitch;
    if (trap.test(108, [&] { return ListView1->count() > 0; }) && trap.test(110, [&] {
            return !txtFretNumbers->text().isEmpty() && !txtFingering->text().isEmpty();
        })) {
        chordOnScreen = true;
        trap.step(112, [&] { setCursor(Qt::WaitCursor); });
        trap.step(114, [&] { storedLine = settings.chords(); });
        trap.step(116, [&] { storedPitch = settings.pitch(); });

        // Thousands of "Chords" and "Pitch" writes: they reach the disk once, at the end. Each
        // write of the settings file replaces it (and a lock file) on disk, and a file system
        // slows down creating the chart files while it still remembers many deleted ones.
        settings.holdWrites(true);
        const int lineCount = ListView1->count();
        for (int i = 0; i < lineCount; ++i) {
            if (!saveAllLine(trap, running, i, lineCount))
                break;
        }
        // "Done." only once every file is on disk, after the boxes of the last files. Closing
        // the window ends the run at once: queued files are dropped, those being written end
        // whole. The store gets the user's chord back, or the next start would show the run's
        // last one.
        if (!files.isShutDown())
            running.finish(trap);
        if (files.isShutDown()) {
            running.drop();
            trap.step(152, [&] { settings.setChords(storedLine); });
            trap.step(154, [&] { settings.setPitch(storedPitch); });
        }
        trap.step(150, [&] { settings.holdWrites(false); });
    }
    if (files.isShutDown())
        return;

    if (chordOnScreen) {
        trap.step(152, [&] { selectChordLine(storedLine); });
        trap.step(154, [&] { choosePitch(storedPitch); });
    }
    trap.step(156, [&] { setCursor(Qt::ArrowCursor); });
    trap.step(158, [&] { ProgressBar1->setPosition(0); });
    trap.step(160, [&] { ProgressBar1->setText(QStringLiteral("Progress Bar")); });
    trap.step(162,
              [&] { m_services.messages.information(applicationTitle, QStringLiteral("Done.")); });
}
