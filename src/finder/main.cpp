#include "finder/FinderSettings.h"
#include "finder/FinderWindow.h"
#include "finder/QtSaveFileDialog.h"
#include "shell/SettingsStore.h"
#include "shell/TerminationSignals.h"
#include "sound/ChoosingMidiPort.h"

#include <QApplication>

namespace {

// The whole run of the window; endingSignal receives the signal that closed it, if any.
int runFinder(int argc, char** argv, int& endingSignal) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("strumvane-finder"));
    QApplication::setApplicationDisplayName(QStringLiteral("Strumvane Chord Finder"));
    QApplication::setApplicationVersion(QStringLiteral(STRUMVANE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("strumvane-finder"));

    // The main window's settings file, in a group of its own.
    SettingsStore settings(SettingsStore::userFileName(), QLatin1String(FinderSettings::group));
    // The main window's choice of output: a synthesiser port, else the built-in synthesiser,
    // else another port (STRUMVANE_MIDI_PORT chooses).
    ChoosingMidiPort midiPort;
    QtSaveFileDialog saveDialog;
    FinderWindow window(FinderServices{settings, midiPort, saveDialog, [&midiPort] {
                                           return midiPort.report().isEmpty()
                                                      ? QString()
                                                      : midiPort.report().last();
                                       }});

    // SIGTERM and SIGINT close the window as its close button does (the sound stops), and a
    // file dialog that is up with it: nobody may be there to answer it.
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::received, &window, [&](int number) {
        endingSignal = number;
        QApplication::closeAllWindows();
    });
    window.start();
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    int endingSignal = 0;
    const int status = runFinder(argc, argv, endingSignal);
    // Everything is closed and written: the parent learns that the signal ended the program.
    if (endingSignal != 0)
        TerminationSignals::endBy(endingSignal);
    return status;
}
