// The export commands of the main window: the charts on screen, a blank chart, and every
// chord at every Pitch.
#include "browser/Form1.h"

#include "browser/ChartPicture.h"
#include "export/ChartFileName.h"
#include "export/ChartFileWriter.h"
#include "shell/ErrorTrap.h"
#include "shell/MessageBoxes.h"
#include "shell/ProgressBar.h"
#include "shell/SettingsStore.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

namespace {

const QString folderMissingText =
    QStringLiteral("Folder does not exist. Please select another folder.");

// Resets a flag when the scope ends, however it ends.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~FlagScope() { m_flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

bool Form1::FolderExists(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isDir();
}

QString Form1::folderPath(const QString& fileName) const {
    // A folder typed without its trailing separator still receives the file inside it.
    QString folder = Text2->text();
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder + fileName;
}

QString Form1::saveAllStem(const QString& chordName, const QString& noteNames) {
    return chartFileStem(chordName, noteNames);
}

void Form1::Option2_Click() {
    m_services.settings.saveSetting(QStringLiteral("Save Option"), 2);
}

void Form1::Option3_Click() {
    m_services.settings.saveSetting(QStringLiteral("Save Option"), 3);
}

void Form1::PushButton1_Click() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton1_Click"));
    ChartFileWriter& writer = m_services.fileWriter;
    if (!trap.test(106, [&] { return FolderExists(Text2->text()); })) {
        trap.step(122,
                  [&] { m_services.messages.information(applicationTitle, folderMissingText); });
        return;
    }
    if (trap.test(108, [&] { return Option3->isChecked(); })) {
        trap.step(110, [&] {
            writer.saveBitmap(Picture1->surface().image(),
                              folderPath(QStringLiteral("Chord Chart 1.bmp")));
        });
        trap.step(112, [&] {
            writer.saveBitmap(Picture2->surface().image(),
                              folderPath(QStringLiteral("Chord Chart 2.bmp")));
        });
    } else if (trap.test(114, [&] { return Option2->isChecked(); })) {
        trap.step(116, [&] {
            writer.saveJpeg(Picture1->surface().image(),
                            folderPath(QStringLiteral("Chord Chart 1.jpg")), 100);
        });
        trap.step(118, [&] {
            writer.saveJpeg(Picture2->surface().image(),
                            folderPath(QStringLiteral("Chord Chart 2.jpg")), 100);
        });
    }
    trap.step(120,
              [&] { m_services.messages.information(applicationTitle, QStringLiteral("Done.")); });
}

void Form1::PushButton2_Click() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton2_Click"));
    ChartFileWriter& writer = m_services.fileWriter;
    if (!trap.test(106, [&] { return FolderExists(Text2->text()); })) {
        trap.step(120,
                  [&] { m_services.messages.information(applicationTitle, folderMissingText); });
        return;
    }
    trap.step(108, [&] { DrawChartGrid(*Picture3); });
    if (trap.test(110, [&] { return Option3->isChecked(); })) {
        trap.step(112, [&] {
            writer.saveBitmap(Picture3->surface().image(),
                              folderPath(QStringLiteral("Blank Chart.bmp")));
        });
    } else if (trap.test(114, [&] { return Option2->isChecked(); })) {
        trap.step(116, [&] {
            writer.saveJpeg(Picture3->surface().image(),
                            folderPath(QStringLiteral("Blank Chart.jpg")), 100);
        });
    }
    trap.step(118,
              [&] { m_services.messages.information(applicationTitle, QStringLiteral("Done.")); });
}

void Form1::PushButton4_Click() {
    // A second click while the run yields to the event loop would start a run inside the run.
    if (m_savingAll)
        return;
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton4_Click"));
    ChartFileWriter& writer = m_services.fileWriter;
    SettingsStore& settings = m_services.settings;
    if (!trap.test(106, [&] { return FolderExists(Text2->text()); })) {
        trap.step(164,
                  [&] { m_services.messages.information(applicationTitle, folderMissingText); });
        return;
    }
    const FlagScope running(m_savingAll);

    bool chordOnScreen = false;
    // Should a stored value be unreadable, the run comes back to what was on screen.
    int storedLine = ListView1->currentRow();
    int storedPitch = Pitch;
    if (trap.test(108, [&] { return ListView1->count() > 0; }) && trap.test(110, [&] {
            return !txtFretNumbers->text().isEmpty() && !txtFingering->text().isEmpty();
        })) {
        chordOnScreen = true;
        trap.step(112, [&] { setCursor(Qt::WaitCursor); });
        trap.step(114,
                  [&] { storedLine = settings.getSettingNumber(QStringLiteral("Chords"), 35); });
        trap.step(116,
                  [&] { storedPitch = settings.getSettingNumber(QStringLiteral("Pitch"), 0); });

        // Thousands of "Chords" and "Pitch" writes: they reach the disk once, at the end. Each
        // write of the settings file replaces it (and a lock file) on disk, and a file system
        // slows down creating the chart files while it still remembers many deleted ones.
        settings.holdWrites(true);
        const int lineCount = ListView1->count();
        for (int i = 0; i < lineCount; ++i) {
            trap.step(120, [&] { QCoreApplication::processEvents(); });
            if (m_closing)
                break;
            trap.step(122,
                      [&] { ProgressBar1->setPosition(double(i) / double(lineCount) * 100.0); });
            trap.step(124, [&] {
                ProgressBar1->setText(QStringLiteral("Processing chords, please wait..."));
            });
            trap.step(126, [&] {
                // Paints what the last line changed, now: the charts, the fields, the list and
                // the progress bar. A full repaint() would redraw every control 611 times.
                QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
            });
            trap.step(128, [&] { selectChordLine(i); });
            for (int j = 0; j < int(Option1.size()) && !m_closing; ++j) {
                trap.step(132, [&] { choosePitch(j); });
                QString stem;
                trap.step(134, [&] {
                    stem = saveAllStem(txtChordName->text(), txtChordSpelling->text());
                });
                if (trap.test(136, [&] { return Option3->isChecked(); })) {
                    trap.step(138, [&] {
                        writer.saveBitmap(Picture1->surface().image(),
                                          folderPath(stem + QStringLiteral(" 1.bmp")));
                    });
                    trap.step(140, [&] {
                        writer.saveBitmap(Picture2->surface().image(),
                                          folderPath(stem + QStringLiteral(" 2.bmp")));
                    });
                } else if (trap.test(142, [&] { return Option2->isChecked(); })) {
                    trap.step(144, [&] {
                        writer.saveJpeg(Picture1->surface().image(),
                                        folderPath(stem + QStringLiteral(" 1.jpg")), 100);
                    });
                    trap.step(146, [&] {
                        writer.saveJpeg(Picture2->surface().image(),
                                        folderPath(stem + QStringLiteral(" 2.jpg")), 100);
                    });
                }
            }
            if (m_closing)
                break;
        }
        // Closing the window ends the run at once; every file written so far is whole. The
        // store gets the user's chord back, or the next start would show the run's last one.
        if (m_closing) {
            trap.step(152, [&] { settings.saveSetting(QStringLiteral("Chords"), storedLine); });
            trap.step(154, [&] { settings.saveSetting(QStringLiteral("Pitch"), storedPitch); });
        }
        trap.step(150, [&] { settings.holdWrites(false); });
    }
    if (m_closing)
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
