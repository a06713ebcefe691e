// Start-up and shutdown of the main window.
#include "browser/Form1.h"

#include "shell/Clock.h"
#include "shell/ErrorTrap.h"
#include "shell/Failure.h"
#include "shell/RandomSource.h"
#include "shell/SettingsStore.h"
#include "shell/WebLauncher.h"

#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QtEndian>

namespace {

const QString productName = QStringLiteral("Strumvane");
const QUrl homePageAddress(QStringLiteral("https://www.strumvane.example/"));

// A Windows cursor file as the window's pointer. Qt reads the picture but not the hotspot,
// which sits in the first directory entry: x at byte 10, y at byte 12, little-endian.
QCursor loadCursorFile(const QString& path) {
    // A pipe or a device by that name could keep start-up waiting for ever on its first read.
    const QFileInfo info(path);
    if (!info.isFile())
        throw info.isDir() ? Failure::fileNotFound() : Failure::pathFileAccessError();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure::fileNotFound();
    const QByteArray data = file.read(1 << 20);
    QImage picture;
    if (data.size() >= 22)
        picture.loadFromData(data, "CUR");
    if (picture.isNull())
        throw Failure(481, QStringLiteral("Invalid picture"));
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const int hotX = qFromLittleEndian<quint16>(bytes + 10);
    const int hotY = qFromLittleEndian<quint16>(bytes + 12);
    return QCursor(QPixmap::fromImage(picture), qMin(hotX, picture.width() - 1),
                   qMin(hotY, picture.height() - 1));
}

} // namespace

QString Form1::applicationTitleFor(const QString& name) {
    QString title = name;
    do {
        const qsizetype blank = title.lastIndexOf(QLatin1Char(' '));
        if (blank < 0)
            break; // a single word stays whole
        title.truncate(blank);
    } while (title.size() > 40);
    if (title.size() > 40)
        title.truncate(40);
    return title;
}

void Form1::SetApplicationTitle() {
    applicationTitle = applicationTitleFor(productName);
}

QString Form1::DefaultSaveFolder() {
    const QString desktop = m_services.desktopFolder ? m_services.desktopFolder() : QString();
    if (desktop.isEmpty())
        throw Failure::invalidProcedureCall();
    return desktop.endsWith(QLatin1Char('/')) ? desktop : desktop + QLatin1Char('/');
}

void Form1::MaybeOpenHomePage() {
    m_services.random.seed(static_cast<quint32>(m_services.clock.secondsSinceMidnight()));
    const int n = static_cast<int>(m_services.random.nextUniform() * 100) + 1;
    if (n == 7)
        m_services.webLauncher.openUrl(homePageAddress);
}

bool Form1::FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
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

void Form1::Form_Load() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.Form_Load"));
    SettingsStore& settings = m_services.settings;

    trap.step(100, [&] { ApplySkin(); });
    trap.step(104, [&] { setWindowTitle(productName); });
    trap.step(104, [&] { setWindowIcon(QIcon(QStringLiteral(":/icons/strumvane.svg"))); });
    trap.step(104, [&] { SetApplicationTitle(); });
    const QString cursorFile = programFolder + QStringLiteral("/HAND-M.CUR");
    if (trap.test(122, [&] { return FileExists(cursorFile); }))
        trap.step(124, [&] { customPointer = loadCursorFile(cursorFile); });
    trap.step(126, [&] { MaybeOpenHomePage(); });
    const qint16 tuning[6] = {40, 45, 50, 55, 59, 64};
    for (int i = 0; i < 6; ++i)
        trap.step(128 + 2 * i, [&] { openStringNotes[i] = tuning[i]; });
    trap.step(140, [&] { OpenMidiOutput(); });
    trap.step(142, [&] { LoadChordCatalogue(); });
    trap.step(144,
              [&] { selectChordLine(settings.getSettingNumber(QStringLiteral("Chords"), 35)); });
    trap.step(146, [&] { choosePitch(settings.getSettingNumber(QStringLiteral("Pitch"), 0)); });
    // The default is worked out before the store is read, as the store's own default.
    trap.step(148, [&] {
        const QString fallback = DefaultSaveFolder();
        setFolderText(settings.getSetting(QStringLiteral("Folder"), fallback));
    });
    const auto saveOption = [&] {
        return settings.getSettingNumber(QStringLiteral("Save Option"), 1);
    };
    if (trap.test(150, [&] { return saveOption() == 2; }))
        trap.step(152, [&] { chooseFormat(Option2); });
    else if (trap.test(154, [&] { return saveOption() == 3; }))
        trap.step(156, [&] { chooseFormat(Option3); });
}

void Form1::Form_Unload() {
    // Notes still held would hang on the synthesiser once the port is gone.
    for (const qint16 note : std::exchange(m_soundingNotes, {}))
        midi.NoteOff(note);
    midi.close();
}

void Form1::closeEvent(QCloseEvent* event) {
    m_closing = true;
    Form_Unload();
    QWidget::closeEvent(event);
}
