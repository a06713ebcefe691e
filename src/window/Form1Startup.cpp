// Start-up and shutdown of the main window.
#include "window/Form1.h"

#include "catalogue/ChordTheory.h"
#include "shell/ErrorTrap.h"
#include "shell/SettingsStore.h"
#include "shell/StartupRules.h"

#include <QIcon>
#include <QRadioButton>

void Form1::Form_Load() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.Form_Load"));
    SettingsStore& settings = m_services.settings;
    StartupRules rules(m_services.random, m_services.clock, m_services.webLauncher,
                       m_services.desktopFolder);

    trap.step(100, [&] { ApplySkin(); });
    trap.step(104, [&] { setWindowTitle(StartupRules::productName); });
    trap.step(104, [&] { setWindowIcon(QIcon(QStringLiteral(":/icons/strumvane.svg"))); });
    trap.step(104, [&] {
        applicationTitle = StartupRules::applicationTitleFor(StartupRules::productName);
    });
    const QString cursorFile = programFolder + StartupRules::cursorFileName;
    if (trap.test(122, [&] { return StartupRules::FileExists(cursorFile); }))
        trap.step(124, [&] { customPointer = StartupRules::loadCursorFile(cursorFile); });
    trap.step(126, [&] { rules.MaybeOpenHomePage(); });
    const auto& tuning = ChordTheory::standardOpenStringNotes;
    for (size_t i = 0; i < tuning.size(); ++i)
        trap.step(128 + 2 * int(i), [&] { openStringNotes[i] = tuning[i]; });
    trap.step(140, [&] { OpenMidiOutput(); });
    trap.step(142, [&] { LoadChordCatalogue(); });
    trap.step(144, [&] { selectChordLine(settings.chords()); });
    trap.step(146, [&] { choosePitch(settings.pitch()); });
    // The default is worked out before the store is read, as the store's own default.
    trap.step(148, [&] {
        const QString fallback = rules.DefaultSaveFolder();
        setFolderText(settings.folder(fallback));
    });
    if (trap.test(150, [&] { return settings.saveOption() == SettingsStore::saveOptionJpeg; }))
        trap.step(152, [&] { chooseFormat(Option2); });
    else if (trap.test(154,
                       [&] { return settings.saveOption() == SettingsStore::saveOptionBitmap; }))
        trap.step(156, [&] { chooseFormat(Option3); });
}

void Form1::Form_Unload() {
    files.shutDown();
    sound.shutdown();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QWidget::closeEvent(event);
}
