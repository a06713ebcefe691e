// The output folder of the main window: the folder text and its browse button.
#include "support/Form1Fixture.h"
#include "support/Printers.h"
#include "window/PushButton.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTest>

class Form1OutputFolderTests : public Form1Fixture {
protected:
    Form1& startWithFolder(const QString& folder) {
        storeSetting(QStringLiteral("Folder"), folder);
        startWindow();
        return *form;
    }
};

TEST_F(Form1OutputFolderTests, Typing_StoresTheFolderTextAtEveryChange) {
    startWithFolder(QStringLiteral("/srv/"));
    const struct {
        Qt::Key key;
        QString expected;
    } keys[] = {
        {Qt::Key_C, QStringLiteral("/srv/c")},
        {Qt::Key_Backspace, QStringLiteral("/srv/")},
        {Qt::Key_Backspace, QStringLiteral("/srv")},
        {Qt::Key_X, QStringLiteral("/srvx")},
    };
    ui(*form).Text2->setFocus();
    ui(*form).Text2->end(false);
    for (const auto& k : keys) {
        QTest::keyClick(ui(*form).Text2, k.key);
        EXPECT_EQ(ui(*form).Text2->text(), k.expected);
        EXPECT_EQ(storedSetting(QStringLiteral("Folder")), k.expected);
    }
    ui(*form).Text2->clear();
    EXPECT_EQ(storedSetting(QStringLiteral("Folder")), QString());
}

TEST_F(Form1OutputFolderTests, Browse_ChosenFolderGetsTrailingSeparatorAndIsRemembered) {
    const struct {
        QString chosen;
        QString folderText;
    } cases[] = {
        {QStringLiteral("/home/ann/Charts"), QStringLiteral("/home/ann/Charts/")},
        {QStringLiteral("/"), QStringLiteral("/")}, // the root keeps its single separator
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        startWithFolder(QStringLiteral("/srv/"));
        folderDialog.answer = c.chosen;
        ui(*form).PushButton7->click();
        EXPECT_EQ(ui(*form).Text2->text(), c.folderText);
        EXPECT_EQ(storedSetting(QStringLiteral("Folder")), c.folderText);
        EXPECT_EQ(storedSetting(QStringLiteral("LastFolder")), c.chosen);
        EXPECT_EQ(folderDialog.titles.last(), QStringLiteral("Please select folder:"));
        EXPECT_TRUE(messages.errorBoxes.isEmpty());
    }
}

TEST_F(Form1OutputFolderTests, Browse_OpensAtTheFolderChosenLastEvenAfterTyping) {
    startWithFolder(QStringLiteral("/srv/"));
    folderDialog.answer = QStringLiteral("/home/ann/Charts");
    ui(*form).PushButton7->click();
    ui(*form).Text2->setText(QStringLiteral("/elsewhere/"));
    folderDialog.answer.clear();
    ui(*form).PushButton7->click();
    // The first browse opens where the dialog likes (nothing chosen yet).
    EXPECT_EQ(folderDialog.startFolders, (QStringList{QString(), "/home/ann/Charts"}));
}

TEST_F(Form1OutputFolderTests, Browse_CancelLeavesTextAndSettingsAlone) {
    storeSetting(QStringLiteral("LastFolder"), QStringLiteral("/home/ann/Old"));
    startWithFolder(QStringLiteral("/srv/typed"));
    folderDialog.answer.clear();
    ui(*form).PushButton7->click();
    EXPECT_EQ(folderDialog.startFolders, QStringList{"/home/ann/Old"});
    EXPECT_EQ(ui(*form).Text2->text(), QStringLiteral("/srv/typed"));
    EXPECT_EQ(storedSetting(QStringLiteral("Folder")), QStringLiteral("/srv/typed"));
    EXPECT_EQ(storedSetting(QStringLiteral("LastFolder")), QStringLiteral("/home/ann/Old"));
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
}

TEST_F(Form1OutputFolderTests, Browse_StoreThatCannotBeWrittenShowsBoxesAndStillSetsTheText) {
    startWithFolder(QStringLiteral("/srv/"));
    // A plain file where the settings file's folder should be: no write can reach it, even
    // as root. (A folder in place of the file itself detaches the store instead.)
    const QString settingsFolder = QFileInfo(settingsFile).path();
    ASSERT_TRUE(QDir(settingsFolder).removeRecursively());
    QFile blocker(settingsFolder);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    folderDialog.answer = QStringLiteral("/home/ann/Charts");
    ui(*form).PushButton7->click();
    const QString location = QStringLiteral("in Strumvane2021/08/31.Form1.PushButton7_Click ");
    const QString tail =
        QStringLiteral("\r\rPlease email screenshot of this message to support@strumvane.example");
    EXPECT_EQ(messages.errorBoxes,
              (QStringList{"Path/File access error\r\n" + location + "at line 104" + tail,
                           "Path/File access error\r\n" + location + "at line 106" + tail}));
    EXPECT_EQ(ui(*form).Text2->text(), QStringLiteral("/home/ann/Charts/"));
}
