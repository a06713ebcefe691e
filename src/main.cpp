#include "browser/Form1.h"
#include "export/ImageFileWriter.h"
#include "export/QtFolderDialog.h"
#include "shell/DesktopWebLauncher.h"
#include "shell/MersenneRandomSource.h"
#include "shell/QtMessageBoxes.h"
#include "shell/SettingsStore.h"
#include "shell/SystemClock.h"
#include "sound/ChoosingMidiPort.h"

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("strumvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Strumvane"));
    QApplication::setApplicationVersion(QStringLiteral(STRUMVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("strumvane"));

    SettingsStore settings;
    QtMessageBoxes messages;
    QtFolderDialog folderDialog;
    // A synthesiser port, else the built-in synthesiser, else another port (STRUMVANE_MIDI_PORT
    // chooses).
    ChoosingMidiPort midiPort;
    ImageFileWriter fileWriter;
    DesktopWebLauncher webLauncher;
    MersenneRandomSource random;
    SystemClock clock;

    Form1 form(Form1Services{
        settings, messages, folderDialog, midiPort, fileWriter, webLauncher, random, clock,
        QCoreApplication::applicationDirPath(),
        [] { return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation); }});
    messages.setParentWidget(&form);
    form.Form_Load();
    form.show();
    return app.exec();
}
