// Start-up and shutdown of the main window: the restore order, the conditional format steps,
// the optional cursor file, the title rule, the default folder, the home-page draw and the
// shutdown of the MIDI output.
#include "CursorFileBytes.h"
#include "shell/ApplicationError.h"
#include "support/Form1Fixture.h"

#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <functional>

namespace {

const QString startupLocation = QStringLiteral("in Strumvane2021/08/31.Form1.Form_Load ");

// Every box in the order shown, with a look at the window at that moment.
class OrderedMessageBoxes : public MessageBoxes {
public:
    void information(const QString& title, const QString& text) override {
        log << QStringLiteral("info|") + title + u'|' + text;
        if (onBox)
            onBox();
    }
    void applicationError(const QString& text) override {
        log << QStringLiteral("error|") + text;
        if (onBox)
            onBox();
    }
    QStringList log;
    std::function<void()> onBox;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class Form1StartupTests : public Form1Fixture {
protected:
    QString startupBox(const QString& description, int step) const {
        return applicationErrorText(description, startupLocation, step);
    }
    int chosenPitchButton() const {
        for (int i = 0; i < 12; ++i)
            if (ui(*form).Option1[i]->isChecked())
                return i;
        return -1;
    }
    QString cursorFile() const { return programFolder + QStringLiteral("/HAND-M.CUR"); }
};

TEST_F(Form1StartupTests, FirstStart_EmptyStoreShowsLine35AtCDesktopFolderAndJpg) {
    startWindow();

    EXPECT_TRUE(messages.errorBoxes.isEmpty()) << messages.errorBoxes.join('\n').toStdString();
    EXPECT_TRUE(messages.informationBoxes.isEmpty());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Strumvane"));
    EXPECT_EQ(ui(*form).applicationTitle, QStringLiteral("Strumvane"));
    EXPECT_EQ(ui(*form).openStringNotes, (std::array<qint16, 6>{40, 45, 50, 55, 59, 64}));
    EXPECT_EQ(ui(*form).ListView1->count(), 611);
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 35);
    EXPECT_EQ(ui(*form).Frame1->title(), QStringLiteral("Chords - [36 / 611]"));
    EXPECT_EQ(chosenPitchButton(), 0);
    EXPECT_EQ(ui(*form).Pitch, 0);
    EXPECT_FALSE(ui(*form).txtChordName->text().isEmpty());
    EXPECT_TRUE(ui(*form).txtChordName->text().startsWith(u'C'))
        << ui(*form).txtChordName->text().toStdString();
    EXPECT_EQ(ui(*form).Text2->text(), desktopFolder + u'/');
    EXPECT_TRUE(ui(*form).Option2->isChecked());
    EXPECT_FALSE(ui(*form).Option3->isChecked());

    EXPECT_EQ(storedSetting("Chords"), QStringLiteral("35"));
    EXPECT_EQ(storedSetting("Folder"), desktopFolder + u'/');
    EXPECT_EQ(storedSetting("Save Option"), QStringLiteral("<absent>"));
}

TEST_F(Form1StartupTests, WindowIcon_IsTheCompiledInApplicationIcon) {
    startWindow();
    // A null pixmap here means the SVG icon engine or image plugin is missing at run time.
    EXPECT_FALSE(form->windowIcon().isNull());
    EXPECT_FALSE(form->windowIcon().pixmap(32, 32).isNull());
}

TEST_F(Form1StartupTests, SaveOption_StoredTextChoosesFormat) {
    struct Case {
        const char* stored; // nullptr: absent
        bool bmp;
        int boxAtStep; // 0: no box
    };
    const Case cases[] = {
        {"3", true, 0},      {"2", false, 0},       {"1", false, 0},
        {nullptr, false, 0}, {"2.6", true, 0},      {"0", false, 0},
        {"x", false, 150},   {"40000", false, 150}, // overflow in the test of 150: its branch, JPG,
                                                    // runs
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "absent");
        SetUp();
        messages = FakeMessageBoxes();
        if (c.stored)
            storeSetting("Save Option", QString::fromLatin1(c.stored));
        startWindow();
        EXPECT_EQ(ui(*form).Option3->isChecked(), c.bmp);
        EXPECT_EQ(ui(*form).Option2->isChecked(), !c.bmp);
        if (c.boxAtStep == 0) {
            EXPECT_TRUE(messages.errorBoxes.isEmpty())
                << messages.errorBoxes.join('\n').toStdString();
        } else {
            ASSERT_EQ(messages.errorBoxes.size(), 1);
            EXPECT_TRUE(
                messages.errorBoxes[0].contains(QStringLiteral("at line %1\r").arg(c.boxAtStep)))
                << messages.errorBoxes[0].toStdString();
        }
        form.reset();
        settings.reset();
        QFile::remove(settingsFile);
    }
}

TEST_F(Form1StartupTests, SaveOptionNotANumber_ShowsExactBoxAt150ThenChoosesJpg) {
    storeSetting("Save Option", "x");
    startWindow();
    ASSERT_EQ(messages.errorBoxes.size(), 1);
    EXPECT_EQ(messages.errorBoxes[0],
              QStringLiteral("Type mismatch\r\nin Strumvane2021/08/31.Form1.Form_Load at line "
                             "150\r\rPlease email screenshot of this message to ") +
                  QString::fromLatin1(supportEmailAddress));
    EXPECT_TRUE(ui(*form).Option2->isChecked());
    // The format was never clicked, so nothing was stored over the bad text.
    EXPECT_EQ(storedSetting("Save Option"), QStringLiteral("x"));
}

TEST_F(Form1StartupTests, StoredPitch_ChoosesButtonAndRedrawsOrFailsAt146) {
    struct Case {
        const char* stored;
        int button;      // chosen afterwards
        QString failure; // empty: no box
    };
    const Case cases[] = {
        {"11", 11, {}},
        {"10.5", 10, {}}, // a half goes to the even neighbour
        {"11.6", 0, QStringLiteral("Control array element '12' doesn't exist")},
        {"12", 0, QStringLiteral("Control array element '12' doesn't exist")},
        {"-1", 0, QStringLiteral("Control array element '-1' doesn't exist")},
        {"B", 0, QStringLiteral("Type mismatch")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        SetUp();
        messages = FakeMessageBoxes();
        storeSetting("Pitch", QString::fromLatin1(c.stored));
        startWindow();
        EXPECT_EQ(chosenPitchButton(), c.button);
        EXPECT_EQ(ui(*form).Pitch, c.button);
        if (c.failure.isEmpty()) {
            EXPECT_TRUE(messages.errorBoxes.isEmpty());
        } else {
            EXPECT_EQ(messages.errorBoxes, QStringList{startupBox(c.failure, 146)});
        }
        // Start-up went on with the folder step after the Pitch step.
        EXPECT_EQ(ui(*form).Text2->text(), desktopFolder + u'/');
        form.reset();
        settings.reset();
        QFile::remove(settingsFile);
    }
}

TEST_F(Form1StartupTests, StoredPitch11_RedrawsRestoredChordForB) {
    storeSetting("Chords", "5");
    storeSetting("Pitch", "11");
    startWindow();
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 5);
    // Entry 6 is the "maj" shape: at B its fret numbers sit one fret below those of C.
    EXPECT_EQ(ui(*form).txtChordName->text(), QStringLiteral("Bmaj"));
    EXPECT_EQ(ui(*form).chordName, QStringLiteral("Bmaj"));
    EXPECT_EQ(ui(*form).txtFretNumbers->text(), QStringLiteral("7-9-9-8-7-7"));
}

TEST_F(Form1StartupTests, StoredChordsOutOfListOrNotANumber_BoxAt144AndNoLineSelected) {
    const std::pair<const char*, QString> cases[] = {
        {"611", QStringLiteral("Invalid property value")},
        {"-1", QStringLiteral("Invalid property value")},
        {"many", QStringLiteral("Type mismatch")},
        {"99999", QStringLiteral("Overflow")},
    };
    for (const auto& [stored, failure] : cases) {
        SCOPED_TRACE(stored);
        SetUp();
        messages = FakeMessageBoxes();
        storeSetting("Chords", QString::fromLatin1(stored));
        startWindow();
        EXPECT_EQ(messages.errorBoxes, QStringList{startupBox(failure, 144)});
        EXPECT_EQ(ui(*form).ListView1->currentRow(), -1);
        EXPECT_TRUE(ui(*form).txtChordName->text().isEmpty());
        EXPECT_EQ(storedSetting("Chords"), QString::fromLatin1(stored));
        EXPECT_EQ(ui(*form).Text2->text(), desktopFolder + u'/');
        form.reset();
        settings.reset();
        QFile::remove(settingsFile);
    }
}

TEST_F(Form1StartupTests, StoredFolder_EmptyTextStaysEmptyOtherTextIsRestored) {
    storeSetting("Folder", "");
    startWindow();
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_EQ(ui(*form).Text2->text(), QString());
    EXPECT_EQ(storedSetting("Folder"), QString());

    storeSetting("Folder", "/srv/charts/");
    startWindow();
    EXPECT_EQ(ui(*form).Text2->text(), QStringLiteral("/srv/charts/"));
}

TEST_F(Form1StartupTests, DesktopUnknown_Step148FailsEvenWithStoredFolder) {
    desktopKnown = false;
    storeSetting("Folder", "/srv/charts/");
    storeSetting("Save Option", "3");
    startWindow();
    EXPECT_EQ(messages.errorBoxes,
              QStringList{startupBox(QStringLiteral("Invalid procedure call or argument"), 148)});
    EXPECT_TRUE(ui(*form).Text2->text().isEmpty());
    EXPECT_EQ(storedSetting("Folder"), QStringLiteral("/srv/charts/"));
    // Start-up carried on after the failed step.
    EXPECT_TRUE(ui(*form).Option3->isChecked());
}

TEST_F(Form1StartupTests, StepOrder_MidiMessageBeforeCatalogueAndChordsBoxAfterIt) {
    OrderedMessageBoxes boxes;
    form = std::make_unique<Form1>(Form1Services{*settings, boxes, folderDialog, midiPort,
                                                 fileWriter, webLauncher, random, clock,
                                                 programFolder, [this] { return desktopFolder; }});
    QList<int> listCounts;
    QStringList iconsAndTitles;
    boxes.onBox = [&] {
        listCounts << ui(*form).ListView1->count();
        iconsAndTitles << form->windowTitle();
    };
    midiPort.openResult = 2;
    storeSetting("Chords", "x");
    storeSetting("Save Option", "y");
    form->Form_Load();

    ASSERT_EQ(boxes.log.size(), 3) << boxes.log.join('\n').toStdString();
    EXPECT_EQ(
        boxes.log[0],
        QStringLiteral("info|Strumvane|The MIDI stream is unavailable. Close & restart program."));
    EXPECT_EQ(boxes.log[1],
              QStringLiteral("error|") + startupBox(QStringLiteral("Type mismatch"), 144));
    EXPECT_EQ(boxes.log[2],
              QStringLiteral("error|") + startupBox(QStringLiteral("Type mismatch"), 150));
    // The MIDI message comes after the caption was set and before the list is filled.
    EXPECT_EQ(listCounts, (QList<int>{0, 611, 611}));
    EXPECT_EQ(iconsAndTitles.value(0), QStringLiteral("Strumvane"));
    EXPECT_EQ(midiPort.openCalls, 1);
    // The home-page draw happens once, before the MIDI output.
    EXPECT_EQ(random.seeds.size(), 1);
}

TEST_F(Form1StartupTests, CursorFile_BecomesCustomPointerWithItsHotspot) {
    writeFile(cursorFile(), cursorFileBytes(5, 9));
    startWindow();
    EXPECT_TRUE(messages.errorBoxes.isEmpty()) << messages.errorBoxes.join('\n').toStdString();
    EXPECT_EQ(ui(*form).customPointer.shape(), Qt::BitmapCursor);
    EXPECT_EQ(ui(*form).customPointer.hotSpot(), QPoint(5, 9));
    EXPECT_EQ(ui(*form).customPointer.pixmap().size(), QSize(32, 32));
    const QImage picture = ui(*form).customPointer.pixmap().toImage();
    EXPECT_EQ(picture.pixelColor(16, 16), QColor(0x20, 0x40, 0x80));
}

TEST_F(Form1StartupTests, CursorFileAbsent_NoBoxAndHandIsPointingHand) {
    startWindow();
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_EQ(ui(*form).customPointer.shape(), Qt::PointingHandCursor);
}

TEST_F(Form1StartupTests, CursorFileDamaged_BoxAt124AndStartupCarriesOn) {
    const QByteArray good = cursorFileBytes(5, 9);
    const std::pair<const char*, QByteArray> cases[] = {
        {"empty", QByteArray()},
        {"directory only", good.left(22)},
        {"header cut", good.left(40)},
        {"text", QByteArray("this is not a cursor, just some text in a file")},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        SetUp();
        messages = FakeMessageBoxes();
        writeFile(cursorFile(), bytes);
        startWindow();
        ASSERT_EQ(messages.errorBoxes.size(), 1);
        EXPECT_TRUE(
            messages.errorBoxes[0].contains(startupLocation + QStringLiteral("at line 124\r")))
            << messages.errorBoxes[0].toStdString();
        EXPECT_EQ(ui(*form).customPointer.shape(), Qt::PointingHandCursor);
        EXPECT_EQ(ui(*form).ListView1->currentRow(), 35);
        EXPECT_EQ(ui(*form).openStringNotes[5], 64);
        form.reset();
    }
}

TEST_F(Form1StartupTests, StartupDrawOfSeven_OpensHomePageOnce) {
    random.next = 0.065;
    clock.seconds = 3600.2;
    startWindow();
    EXPECT_EQ(random.seeds, QList<quint32>{3600});
    EXPECT_EQ(webLauncher.opened.size(), 1);
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
}

TEST_F(Form1StartupTests, Close_SilencesSoundingNotesThenClosesPortAndWritesNoSetting) {
    storeSetting("Chords", "5");
    startWindow();
    form->show();
    ui(*form).PushButton3_MouseDown();
    const int noteOns = int(midiPort.messages.size()) - 1; // after the program change
    ASSERT_EQ(noteOns, 6);
    const QByteArray before = readFile(settingsFile);
    ASSERT_FALSE(before.isEmpty());

    EXPECT_TRUE(form->close());

    EXPECT_EQ(midiPort.closeCalls, 1);
    ASSERT_EQ(midiPort.messages.size(), 1 + 2 * noteOns);
    for (int i = 0; i < noteOns; ++i) {
        const quint32 on = midiPort.messages[1 + i];
        const quint32 off = midiPort.messages[1 + noteOns + i];
        EXPECT_EQ(off & 0xF0, 0x80u);
        EXPECT_EQ((off >> 8) & 0x7F, (on >> 8) & 0x7F); // the same note
    }
    EXPECT_EQ(readFile(settingsFile), before);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(Form1StartupTests, Close_KeepsResultOfClosingAsOpenResult) {
    midiPort.openResult = 2;
    startWindow();
    EXPECT_EQ(ui(*form).sound.midi().midiOpenResult(), 2);
    form->close();
    EXPECT_EQ(midiPort.closeCalls, 1);
    EXPECT_EQ(ui(*form).sound.midi().midiOpenResult(), 0);
    // With no device nothing was ever sent, not even note-offs at the end.
    EXPECT_TRUE(midiPort.messages.isEmpty());
}
