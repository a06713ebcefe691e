#include "finder/ChordBoxGrid.h"
#include "finder/FakeSaveFileDialog.h"
#include "finder/FinderSettings.h"
#include "finder/FinderWindow.h"
#include "shell/SettingsStore.h"
#include "support/FakeMidiPort.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The finder's window on fakes: what typing shows, what the play button sends, what the
// sheet saves, and the choices a second start finds.

namespace {

std::string text(const QString& s) {
    return s.toStdString();
}

class FinderWindowTests : public ::testing::Test {
protected:
    QString ini() const { return dir.filePath(QStringLiteral("Quillmoor.ini")); }
    std::unique_ptr<FinderWindow> start() {
        store = std::make_unique<SettingsStore>(ini(), QLatin1String(FinderSettings::group));
        auto window = std::make_unique<FinderWindow>(FinderServices{*store, port, dialog, {}});
        window->start();
        return window;
    }
    template <typename T> static T* find(const FinderWindow& window, const char* name) {
        T* control = window.findChild<T*>(QLatin1String(name));
        EXPECT_TRUE(control) << name;
        return control;
    }
    // Whether any window other than the finder's is up: a message box, a dialog.
    static bool boxShown() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && !qobject_cast<FinderWindow*>(w))
                return true;
        }
        return false;
    }

    QTemporaryDir dir;
    std::unique_ptr<SettingsStore> store;
    FakeMidiPort port;
    FakeSaveFileDialog dialog;
};

TEST_F(FinderWindowTests, Typing_ShowsTheVoicingsAndAnUnknownNameIsSaidBesideTheField) {
    auto window = start();
    window->show();
    auto* chord = find<QLineEdit>(*window, "chordEdit");
    auto* grid = find<ChordBoxGrid>(*window, "grid");
    EXPECT_EQ(window->focusWidget(), chord);
    QTest::keyClicks(chord, QStringLiteral("Am7"));
    ASSERT_GT(grid->count(), 10);
    EXPECT_EQ(grid->count(), window->rows().size());
    EXPECT_EQ(grid->currentIndex(), 0);
    EXPECT_EQ(text(grid->items().first().caption), "x-0-2-0-1-0");
    EXPECT_EQ(text(find<QLabel>(*window, "detailName")->text()), "Am7");
    EXPECT_EQ(text(find<QLabel>(*window, "detailIntervals")->text()), "x-R-5-b7-b3-5");
    EXPECT_TRUE(find<QLabel>(*window, "chordMessage")->text().isEmpty());

    chord->clear();
    QTest::keyClicks(chord, QStringLiteral("Cxyz"));
    EXPECT_EQ(grid->count(), 0);
    EXPECT_EQ(text(find<QLabel>(*window, "chordMessage")->text()),
              "unknown chord type 'xyz' in 'Cxyz'");
    EXPECT_FALSE(find<QPushButton>(*window, "playButton")->isEnabled());
    EXPECT_FALSE(boxShown());
}

TEST_F(FinderWindowTests, HoldingPlay_SoundsTheSelectedVoicingOnTheFretboard) {
    auto window = start();
    find<QSpinBox>(*window, "capoSpin")->setValue(2);
    QTest::keyClicks(find<QLineEdit>(*window, "chordEdit"), QStringLiteral("Bm"));
    ASSERT_FALSE(window->rows().isEmpty());
    EXPECT_EQ(text(window->rows().first().voicing.fretText()), "x-0-2-2-1-0");
    port.messages.clear();
    auto* play = find<QPushButton>(*window, "playButton");
    QTest::mousePress(play, Qt::LeftButton);
    // B2 F#3 B3 D4 F#4: the A-minor shape a whole tone up.
    const QList<quint32> on = {0x007F2F90, 0x007F3690, 0x007F3B90, 0x007F3E90, 0x007F4290};
    EXPECT_EQ(port.messages, on);
    QTest::mouseRelease(play, Qt::LeftButton);
    EXPECT_EQ(port.messages.mid(5),
              (QList<quint32>{0x00002F80, 0x00003680, 0x00003B80, 0x00003E80, 0x00004280}));
}

TEST_F(FinderWindowTests, TheSheet_IsSavedThroughTheDialogAndAFailureSaidOnThePage) {
    auto window = start();
    auto* chord = find<QLineEdit>(*window, "chordEdit");
    for (const char* name : {"C", "G", "Am7"}) {
        chord->setText(QString::fromLatin1(name));
        QTest::mouseClick(find<QPushButton>(*window, "addButton"), Qt::LeftButton);
    }
    ASSERT_EQ(window->sheet().count(), 3);
    find<QLineEdit>(*window, "sheetTitleEdit")->setText(QStringLiteral("Lesson 1"));
    QTest::keyClick(find<QLineEdit>(*window, "sheetTitleEdit"), Qt::Key_Backspace);
    EXPECT_EQ(text(window->sheet().title()), "Lesson ");

    dialog.answer = dir.filePath(QStringLiteral("lesson.pdf"));
    QTest::mouseClick(find<QPushButton>(*window, "savePdfButton"), Qt::LeftButton);
    QFile pdf(dialog.answer);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_TRUE(find<QLabel>(*window, "sheetMessage")->text().startsWith("Saved "));
    EXPECT_EQ(text(dialog.startPaths.last()),
              text(QDir::home().filePath(QStringLiteral("Lesson .pdf"))));

    // The same chords as a MusicXML score, a harmony each; a ukulele's chord among the
    // guitar's makes no score of one instrument, and says so.
    dialog.answer = dir.filePath(QStringLiteral("lesson.musicxml"));
    QTest::mouseClick(find<QPushButton>(*window, "saveScoreButton"), Qt::LeftButton);
    QFile score(dialog.answer);
    ASSERT_TRUE(score.open(QIODevice::ReadOnly));
    const QByteArray xml = score.readAll();
    EXPECT_EQ(xml.count("<harmony"), 3);
    EXPECT_TRUE(xml.contains("Lesson ")) << xml.left(400).toStdString();
    auto* instrument = find<QComboBox>(*window, "instrumentBox");
    instrument->setCurrentIndex(instrument->findData("ukulele"));
    QTest::mouseClick(find<QPushButton>(*window, "addButton"), Qt::LeftButton);
    ASSERT_EQ(window->sheet().count(), 4);
    dialog.answer = dir.filePath(QStringLiteral("mixed.musicxml"));
    QTest::mouseClick(find<QPushButton>(*window, "saveScoreButton"), Qt::LeftButton);
    EXPECT_FALSE(QFile::exists(dialog.answer));
    EXPECT_TRUE(find<QLabel>(*window, "sheetMessage")->text().contains("share one instrument"))
        << text(find<QLabel>(*window, "sheetMessage")->text());

    // The next dialog opens in that folder; a folder that is gone is said beside the list.
    dialog.answer = dir.filePath(QStringLiteral("gone/box.png"));
    QTest::mouseClick(find<QPushButton>(*window, "savePngButton"), Qt::LeftButton);
    EXPECT_EQ(text(dialog.startPaths.last()), text(dir.filePath(QStringLiteral("Am7.png"))));
    EXPECT_TRUE(find<QLabel>(*window, "sheetMessage")->text().startsWith("Could not save"))
        << text(find<QLabel>(*window, "sheetMessage")->text());
    EXPECT_FALSE(boxShown());
}

TEST_F(FinderWindowTests, ASecondStart_FindsTheSameChoices) {
    {
        auto window = start();
        find<QComboBox>(*window, "instrumentBox")
            ->setCurrentIndex(find<QComboBox>(*window, "instrumentBox")->findData("ukulele"));
        find<QSpinBox>(*window, "capoSpin")->setValue(3);
        find<QComboBox>(*window, "labelsBox")->setCurrentIndex(2);
        find<QCheckBox>(*window, "leftHandedCheck")->setChecked(true);
        find<QLineEdit>(*window, "chordEdit")->setText(QStringLiteral("F"));
        QTest::mouseClick(find<QPushButton>(*window, "addButton"), Qt::LeftButton);
        ASSERT_EQ(window->sheet().count(), 1);
        find<QCheckBox>(*window, "fretWindowCheck")->setChecked(true);
        find<QSpinBox>(*window, "highFretSpin")->setValue(7);
        find<QComboBox>(*window, "topBox")->setCurrentIndex(1 + 9); // A
    }
    auto window = start();
    EXPECT_EQ(find<QComboBox>(*window, "instrumentBox")->currentData().toString(), "ukulele");
    EXPECT_EQ(find<QSpinBox>(*window, "capoSpin")->value(), 3);
    EXPECT_EQ(find<QComboBox>(*window, "labelsBox")->currentText(), "Notes");
    EXPECT_TRUE(find<QCheckBox>(*window, "leftHandedCheck")->isChecked());
    EXPECT_TRUE(find<QCheckBox>(*window, "fretWindowCheck")->isChecked());
    EXPECT_EQ(find<QSpinBox>(*window, "lowFretSpin")->value(), 0);
    EXPECT_EQ(find<QSpinBox>(*window, "highFretSpin")->value(), 7);
    EXPECT_EQ(find<QComboBox>(*window, "topBox")->currentText(), "A");
    EXPECT_TRUE(find<QLineEdit>(*window, "chordEdit")->text().isEmpty());
    ASSERT_EQ(window->sheet().count(), 1);
    EXPECT_EQ(text(window->sheet().entries().first().instrument), "ukulele");
    EXPECT_EQ(window->sheet().entries().first().capo, 3);
    EXPECT_EQ(find<ChordBoxGrid>(*window, "grid")->boxOptions().leftHanded, true);
    // A restart writes nothing by itself.
    const QByteArray before = [&] {
        QFile file(ini());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    window.reset();
    start();
    QFile after(ini());
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), before);
}

TEST_F(FinderWindowTests, DamagedSettings_StartWithTheirDefaultsWithoutABox) {
    {
        QSettings raw(ini(), QSettings::IniFormat);
        raw.setValue("Finder/Instrument", "lute");
        raw.setValue("Finder/Capo", "twelve");
        raw.setValue("Finder/Labels", "intervals");
        raw.setValue("Finder/Sheet", "Am7|guitar||0|x-0-2-0-1-0|x-0-2-0-1-0;junk");
    }
    auto window = start();
    window->show();
    EXPECT_EQ(find<QComboBox>(*window, "instrumentBox")->currentData().toString(), "guitar");
    EXPECT_EQ(find<QSpinBox>(*window, "capoSpin")->value(), 0);
    EXPECT_EQ(find<QComboBox>(*window, "labelsBox")->currentText(), "Intervals");
    EXPECT_EQ(window->sheet().count(), 1);
    EXPECT_FALSE(boxShown());
}

} // namespace
