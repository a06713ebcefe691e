// The output folder of the main window: the folder text and its browse button.
#include "window/Form1.h"

#include "shell/ErrorTrap.h"
#include "shell/FolderDialog.h"
#include "shell/SettingsStore.h"

#include <QLineEdit>
#include <QSignalBlocker>

void Form1::Text2_Change() {
    m_services.settings.setFolder(Text2->text());
}

void Form1::setFolderText(const QString& text) {
    {
        const QSignalBlocker blocker(Text2);
        Text2->setText(text);
    }
    Text2_Change();
}

QString Form1::BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder) {
    return m_services.folderDialog.chooseFolder(owner, title, startFolder);
}

void Form1::PushButton7_Click() {
    ErrorTrap trap(m_services.messages, errorLocation(u"Form1.PushButton7_Click"));
    QString chosen;
    trap.step(100, [&] {
        const QString lastFolder = m_services.settings.lastFolder();
        chosen = BrowseForFolder(this, QStringLiteral("Please select folder:"), lastFolder);
    });
    if (trap.test(102, [&] { return chosen.isEmpty(); }))
        return;
    trap.step(104, [&] { m_services.settings.setLastFolder(chosen); });
    if (trap.test(104, [&] { return !chosen.endsWith(QLatin1Char('/')); }))
        trap.step(106, [&] { setFolderText(chosen + QLatin1Char('/')); });
    else
        trap.step(108, [&] { setFolderText(chosen); });
}
