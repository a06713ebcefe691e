#include "export/ImageFileWriter.h"
#include "shell/DesktopWebLauncher.h"
#include "shell/MersenneRandomSource.h"
#include "shell/SettingsStore.h"
#include "shell/SystemClock.h"
#include "shell/TerminationSignals.h"
#include "sound/ChoosingMidiPort.h"
#include "window/Form1.h"
#include "window/MainWindowCloser.h"
#include "window/QtFolderDialog.h"
#include "window/QtMessageBoxes.h"

#ifdef STRUMVANE_HAS_XCB
#include "window/platform/XcbCloseRequestFilter.h"
#endif

#include <QApplication>
#include <QStandardPaths>
#include <memory>

namespace {

// The whole run of the window; endingSignal receives the signal that closed it, if any.
int runWindow(int argc, char** argv, int& endingSignal) {
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

    // SIGTERM and SIGINT close the window as its close button does, even while a box is up
    // (no one may be there to click it): a save-all stops and restores the user's settings.
    MainWindowCloser closer(form);
    TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals, &TerminationSignals::received,
                     [&closer](int number) { closer.close(number); });
#ifdef STRUMVANE_HAS_XCB
    std::unique_ptr<XcbCloseRequestFilter> closeFilter;
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        closeFilter = std::make_unique<XcbCloseRequestFilter>(form, [&closer] { closer.close(); });
        app.installNativeEventFilter(closeFilter.get());
    }
#endif

    form.Form_Load();
    int status = 0;
    // A signal during start-up (its boxes) ends the program before the window is shown.
    if (!closer.isClosed()) {
        form.show();
        status = app.exec();
    }
    endingSignal = closer.signalNumber();
    return status;
}

} // namespace

int main(int argc, char** argv) {
    int endingSignal = 0;
    const int status = runWindow(argc, argv, endingSignal);
    // Everything is closed and written: the parent learns that the signal ended the program.
    if (endingSignal != 0)
        TerminationSignals::endBy(endingSignal);
    return status;
}
