#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartStyle.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "shell/ApplicationError.h"
#include "support/Form1Fixture.h"
#include "support/PixelProbe.h"
#include "support/Printers.h"
#include "window/ChartPicture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <vector>

namespace {

constexpr QRgb white = 0xffffffff;

QString startUpLocation() {
    return errorLocation(u"Form1.Form_Load");
}

// A chart as the window must draw it, made independently of the window on a fresh surface
// with the picture's initial font.
QImage referenceChart(ChordChartKind kind, int entryNumber, int pitch, bool leftHanded) {
    ChartSurface surface(kind == ChordChartKind::Interval ? ChartSurface::msSansSerifBold()
                                                          : ChartSurface::arialBold());
    drawChordChart(surface, kind, ChordCatalogue::entry(entryNumber), static_cast<qint16>(pitch),
                   leftHanded);
    return surface.image();
}

bool isAllWhite(const QImage& image) {
    return PixelProbe::count(image, image.rect(), [](QRgb c) { return c != white; }) == 0;
}

} // namespace

class Form1BrowserTests : public Form1Fixture {
protected:
    // Starts with a "Chords" value that cannot be restored, so no chord is shown yet: the
    // state of the browser before the user's first selection.
    Form1& startWithoutChord() {
        storeSetting(QStringLiteral("Chords"), QStringLiteral("none"));
        startWindow();
        EXPECT_EQ(messages.errorBoxes.size(), 1);
        messages.errorBoxes.clear();
        EXPECT_EQ(ui(*form).ListView1->currentRow(), -1);
        return *form;
    }

    void showForm() {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void clickLine(int row) {
        QListWidgetItem* item = ui(*form).ListView1->item(row);
        ASSERT_NE(item, nullptr);
        ui(*form).ListView1->scrollToItem(item);
        const QRect rect = ui(*form).ListView1->visualItemRect(item);
        ASSERT_TRUE(ui(*form).ListView1->viewport()->rect().contains(rect.center()));
        QTest::mouseClick(ui(*form).ListView1->viewport(), Qt::LeftButton, {}, rect.center());
    }

    // Clicks on the indicator of a radio button or check box.
    static void clickButton(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    void clickPitch(int index) { clickButton(ui(*form).Option1[index]); }

    QImage picture1() const { return ui(*form).Picture1->surface().image(); }
    QImage picture2() const { return ui(*form).Picture2->surface().image(); }

    // Both visible charts show `entryNumber` at `pitch` in the given orientation.
    void expectCharts(int entryNumber, int pitch, bool leftHanded) {
        EXPECT_EQ(picture1(),
                  referenceChart(ChordChartKind::Fingering, entryNumber, pitch, leftHanded))
            << "fingering chart of entry " << entryNumber << " at Pitch " << pitch;
        EXPECT_EQ(picture2(),
                  referenceChart(ChordChartKind::Interval, entryNumber, pitch, leftHanded))
            << "interval chart of entry " << entryNumber << " at Pitch " << pitch;
    }

    void expectNoChordShown() {
        EXPECT_TRUE(ui(*form).txtChordName->text().isEmpty());
        EXPECT_TRUE(ui(*form).txtChordSpelling->text().isEmpty());
        EXPECT_TRUE(ui(*form).txtFretNumbers->text().isEmpty());
        EXPECT_TRUE(ui(*form).txtFingering->text().isEmpty());
        EXPECT_TRUE(isAllWhite(picture1()));
        EXPECT_TRUE(isAllWhite(picture2()));
    }

    QString caption() const { return ui(*form).Frame1->title(); }
};

// --- Start-up restore ------------------------------------------------------------------------

TEST_F(Form1BrowserTests, WorkedExample_EmptyStoreShowsEntry36AtCThenEAfterClick) {
    startWindow();
    showForm();
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_EQ(form->windowTitle(), "Strumvane");
    EXPECT_EQ(ui(*form).openStringNotes, (std::array<qint16, 6>{40, 45, 50, 55, 59, 64}));
    ASSERT_EQ(ui(*form).ListView1->count(), 611);
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 35);
    EXPECT_EQ(ui(*form).txtChordName->text(), "Cm");
    EXPECT_EQ(ui(*form).txtChordSpelling->text(), "C-G-C-Eb");
    EXPECT_EQ(ui(*form).txtFretNumbers->text(), "8-10-10-8-x-x");
    EXPECT_EQ(ui(*form).txtFingering->text(), "1-3-4-1-x-x");
    EXPECT_EQ(caption(), "Chords - [36 / 611]");
    EXPECT_EQ(ui(*form).chordName, "Cm");
    expectCharts(36, 0, false);
    EXPECT_EQ(storedSetting("Chords"), "35");
    // "C" was already chosen, so the Pitch handler did not run and stored nothing.
    EXPECT_EQ(storedSetting("Pitch"), "<absent>");

    clickPitch(4);
    EXPECT_TRUE(ui(*form).Option1[4]->isChecked());
    EXPECT_EQ(storedSetting("Pitch"), "4");
    EXPECT_EQ(ui(*form).Pitch, 4);
    EXPECT_EQ(ui(*form).txtFretNumbers->text(), "12-14-14-12-x-x");
    EXPECT_EQ(ui(*form).txtChordName->text(), "Em");
    EXPECT_EQ(ui(*form).txtChordSpelling->text(), "E-B-E-G");
    expectCharts(36, 4, false);
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 35);
    EXPECT_EQ(caption(), "Chords - [36 / 611]");
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
}

struct RestoreCase {
    const char* chords; // nullptr: absent
    const char* pitch;  // nullptr: absent
    int row;
    int pitchIndex;
    const char* name;
};

void PrintTo(const RestoreCase& c, std::ostream* out) {
    *out << "Chords=" << (c.chords ? c.chords : "<absent>")
         << " Pitch=" << (c.pitch ? c.pitch : "<absent>");
}

class Form1RestoreTests : public Form1BrowserTests,
                          public ::testing::WithParamInterface<RestoreCase> {};

TEST_P(Form1RestoreTests, Restore_SelectsStoredLineAndPitch) {
    const RestoreCase& c = GetParam();
    if (c.chords)
        storeSetting("Chords", c.chords);
    if (c.pitch)
        storeSetting("Pitch", c.pitch);
    startWindow();
    EXPECT_TRUE(messages.errorBoxes.isEmpty()) << messages.errorBoxes.join('\n').toStdString();
    EXPECT_EQ(ui(*form).ListView1->currentRow(), c.row);
    EXPECT_EQ(ui(*form).Pitch, c.pitchIndex);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(ui(*form).Option1[i]->isChecked(), i == c.pitchIndex) << "button " << i;
    EXPECT_EQ(ui(*form).txtChordName->text(), c.name);
    EXPECT_EQ(caption(), QStringLiteral("Chords - [%1 / 611]").arg(c.row + 1));
    expectCharts(c.row + 1, c.pitchIndex, false);
    // The restore drives the same handlers as a click, which store the values again.
    EXPECT_EQ(storedSetting("Chords"), QString::number(c.row));
    if (c.pitchIndex != 0) {
        EXPECT_EQ(storedSetting("Pitch"), QString::number(c.pitchIndex));
    }
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, Form1RestoreTests,
    ::testing::Values(RestoreCase{nullptr, "11", 35, 11, "Bm"},
                      RestoreCase{"5", "10.5", 5, 10, "Bbmaj"}, // half to even: 10
                      RestoreCase{"0", "7", 0, 7, "G octave"},
                      RestoreCase{"610", nullptr, 610, 0, "F7b9#11/C"},
                      RestoreCase{"4.5", "0", 4, 0, "C(no5th)"}, // half to even: 4
                      RestoreCase{" 18 ", "0", 18, 0, "Ab/C"}));

struct BadSettingCase {
    const char* key;
    const char* value;
    int step;
    std::function<Failure()> failure;
};

void PrintTo(const BadSettingCase& c, std::ostream* out) {
    *out << c.key << "=\"" << c.value << "\"";
}

class Form1BadSettingTests : public Form1BrowserTests,
                             public ::testing::WithParamInterface<BadSettingCase> {};

TEST_P(Form1BadSettingTests, BadStoredValue_ShowsBoxAndStartUpCarriesOn) {
    const BadSettingCase& c = GetParam();
    storeSetting(c.key, c.value);
    startWindow();
    EXPECT_EQ(messages.errorBoxes, QStringList{applicationErrorText(c.failure().description(),
                                                                    startUpLocation(), c.step)});
    // Later steps still ran.
    EXPECT_EQ(ui(*form).Text2->text(), desktopFolder + "/");
    EXPECT_EQ(storedSetting("Folder"), desktopFolder + "/");
    EXPECT_TRUE(ui(*form).Option2->isChecked());
    // The bad value is left as it was.
    EXPECT_EQ(storedSetting(c.key), c.value);

    if (QString::fromLatin1(c.key) == "Chords") {
        EXPECT_EQ(ui(*form).ListView1->currentRow(), -1);
        EXPECT_EQ(caption(), "Chords");
        expectNoChordShown();
    } else {
        // The chord of step 144 stands, at Pitch C.
        EXPECT_EQ(ui(*form).Pitch, 0);
        EXPECT_TRUE(ui(*form).Option1[0]->isChecked());
        EXPECT_EQ(ui(*form).ListView1->currentRow(), 35);
        EXPECT_EQ(ui(*form).txtChordName->text(), "Cm");
        expectCharts(36, 0, false);
    }
}

INSTANTIATE_TEST_SUITE_P(
    StoredValues, Form1BadSettingTests,
    ::testing::Values(BadSettingCase{"Chords", "abc", 144, &Failure::typeMismatch},
                      BadSettingCase{"Chords", "", 144, &Failure::typeMismatch},
                      BadSettingCase{"Chords", "611", 144, &Failure::invalidPropertyValue},
                      BadSettingCase{"Chords", "-1", 144, &Failure::invalidPropertyValue},
                      BadSettingCase{"Chords", "610.6", 144, &Failure::invalidPropertyValue},
                      BadSettingCase{"Chords", "40000", 144, &Failure::overflow},
                      BadSettingCase{"Pitch", "12", 146,
                                     [] { return Failure::controlArrayElementMissing(12); }},
                      BadSettingCase{"Pitch", "x", 146, &Failure::typeMismatch},
                      BadSettingCase{"Pitch", "11.6", 146,
                                     [] { return Failure::controlArrayElementMissing(12); }},
                      BadSettingCase{"Pitch", "-1", 146,
                                     [] { return Failure::controlArrayElementMissing(-1); }}));

TEST_F(Form1BrowserTests, Restart_KeepsLineAndPitchButNotLeftHanded) {
    startWindow();
    showForm();
    clickLine(100);
    clickPitch(10);
    clickButton(ui(*form).chkLeftHanded);
    ASSERT_TRUE(ui(*form).chkLeftHanded->isChecked());
    expectCharts(101, 10, true);
    EXPECT_EQ(storedSetting("Chords"), "100");
    EXPECT_EQ(storedSetting("Pitch"), "10");

    // A new run: a new window on a new store over the same file.
    form.reset();
    settings = std::make_unique<SettingsStore>(settingsFile);
    startWindow();
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 100);
    EXPECT_EQ(ui(*form).Pitch, 10);
    EXPECT_TRUE(ui(*form).Option1[10]->isChecked());
    EXPECT_FALSE(ui(*form).chkLeftHanded->isChecked());
    EXPECT_EQ(caption(), "Chords - [101 / 611]");
    expectCharts(101, 10, false);
}

// --- Chord list ------------------------------------------------------------------------------

TEST_F(Form1BrowserTests, ListClick_SameTextOnTwoLinesShowsDifferentCharts) {
    startWindow();
    showForm();
    ASSERT_EQ(ui(*form).ListView1->item(5)->text(), "maj");
    ASSERT_EQ(ui(*form).ListView1->item(6)->text(), "maj");

    clickLine(5);
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 5);
    EXPECT_EQ(caption(), "Chords - [6 / 611]");
    EXPECT_EQ(ui(*form).txtFretNumbers->text(), "8-10-10-9-8-8");
    const QImage first = picture1();
    expectCharts(6, 0, false);

    clickLine(6);
    EXPECT_EQ(caption(), "Chords - [7 / 611]");
    EXPECT_NE(ui(*form).txtFretNumbers->text(), "8-10-10-9-8-8");
    EXPECT_EQ(ui(*form).txtChordName->text(), "Cmaj");
    EXPECT_NE(picture1(), first);
    expectCharts(7, 0, false);

    // Once a line is chosen, one line stays chosen: a Ctrl+click cannot empty the choice.
    const QRect line = ui(*form).ListView1->visualItemRect(ui(*form).ListView1->item(6));
    QTest::mouseClick(ui(*form).ListView1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      line.center());
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 6);
    EXPECT_EQ(ui(*form).ListView1->selectedItems().size(), 1);
}

TEST_F(Form1BrowserTests, ListClick_CaptionCountsFromOneWhileStoreCountsFromZero) {
    startWindow();
    showForm();
    for (const int row : {0, 1, 609, 610}) {
        clickLine(row);
        EXPECT_EQ(caption(), QStringLiteral("Chords - [%1 / 611]").arg(row + 1));
        EXPECT_EQ(storedSetting("Chords"), QString::number(row));
    }
    EXPECT_EQ(ui(*form).ListView1->item(0)->text(), " octave");
    EXPECT_EQ(ui(*form).txtChordName->text(), "F7b9#11/C"); // line 610 at C
}

TEST_F(Form1BrowserTests, KeyboardNavigation_RedrawsAndStoresEveryStep) {
    startWindow();
    showForm();
    clickLine(5);
    ui(*form).ListView1->setFocus();
    for (int row = 6; row <= 9; ++row) {
        QTest::keyClick(ui(*form).ListView1, Qt::Key_Down);
        ASSERT_EQ(ui(*form).ListView1->currentRow(), row);
        const ChordEntry& entry = ChordCatalogue::entry(row + 1);
        const ChordTheory::PlacedChord placed = ChordTheory::placeChord(
            QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), 0);
        EXPECT_EQ(ui(*form).txtFretNumbers->text(), placed.fretNumbers) << "line " << row;
        EXPECT_EQ(ui(*form).txtFingering->text(), QString::fromLatin1(entry.fingering));
        EXPECT_EQ(caption(), QStringLiteral("Chords - [%1 / 611]").arg(row + 1));
        EXPECT_EQ(storedSetting("Chords"), QString::number(row));
        expectCharts(row + 1, 0, false);
    }
    QTest::keyClick(ui(*form).ListView1, Qt::Key_Up);
    EXPECT_EQ(storedSetting("Chords"), "8");
    expectCharts(9, 0, false);
}

TEST_F(Form1BrowserTests, TwinEntries97And98_GiveIdenticalFieldsAndCharts) {
    startWindow();
    showForm();
    clickPitch(9);
    for (const int firstRow : {96, 559}) {
        clickLine(firstRow);
        const QStringList fields{ui(*form).txtChordName->text(), ui(*form).txtChordSpelling->text(),
                                 ui(*form).txtFretNumbers->text(), ui(*form).txtFingering->text()};
        const QList<qint16> notes = ui(*form).chordNotes;
        const QImage fingering = picture1();
        const QImage interval = picture2();

        clickLine(firstRow + 1);
        EXPECT_EQ(caption(), QStringLiteral("Chords - [%1 / 611]").arg(firstRow + 2));
        EXPECT_EQ((QStringList{ui(*form).txtChordName->text(), ui(*form).txtChordSpelling->text(),
                               ui(*form).txtFretNumbers->text(), ui(*form).txtFingering->text()}),
                  fields);
        EXPECT_EQ(ui(*form).chordNotes, notes);
        EXPECT_EQ(picture1(), fingering);
        EXPECT_EQ(picture2(), interval);
    }
}

// --- ShowChord and the chord state -----------------------------------------------------------

struct ShowChordCase {
    int entry;
    int pitch;
    const char* fretNumbers;
    QList<qint16> notes;
    const char* spelling;
    const char* name;
    qint16 rootShift;
};

void PrintTo(const ShowChordCase& c, std::ostream* out) {
    *out << "entry " << c.entry << " at Pitch " << c.pitch;
}

class Form1ShowChordTests : public Form1BrowserTests,
                            public ::testing::WithParamInterface<std::vector<ShowChordCase>> {};

// The cases run in one window in turn, so every case also checks that nothing is left over
// from the chord before it (rootShift of a slash chord, a longer note list).
TEST_P(Form1ShowChordTests, ShowChord_FillsFieldsStateAndCharts) {
    startWindow();
    for (const ShowChordCase& c : GetParam()) {
        SCOPED_TRACE(testing::Message() << "entry " << c.entry << " at Pitch " << c.pitch);
        ui(*form).choosePitch(c.pitch);
        ui(*form).selectChordLine(c.entry - 1);
        EXPECT_EQ(ui(*form).txtFretNumbers->text(), c.fretNumbers);
        EXPECT_EQ(ui(*form).chordNotes, c.notes);
        EXPECT_EQ(ui(*form).chordNoteCount, c.notes.size());
        EXPECT_EQ(ui(*form).txtChordSpelling->text(), c.spelling);
        EXPECT_EQ(ui(*form).txtChordName->text(), c.name);
        EXPECT_EQ(ui(*form).chordName, c.name);
        EXPECT_EQ(ui(*form).rootShift, c.rootShift);
        EXPECT_EQ(ui(*form).txtFingering->text(),
                  QString::fromLatin1(ChordCatalogue::entry(c.entry).fingering));
        expectCharts(c.entry, c.pitch, false);
    }
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, Form1ShowChordTests,
    ::testing::Values(std::vector<ShowChordCase>{
        {6, 0, "8-10-10-9-8-8", {48, 55, 60, 64, 67, 72}, "C-G-C-E-G-C", "Cmaj", 0},
        {19, 0, "8-x-6-8-9-x", {48, 56, 63, 68}, "C-Ab-Eb-Ab", "Ab/C", 8},
        {6, 5, "1-3-3-2-1-1", {41, 48, 53, 57, 60, 65}, "F-C-F-A-C-F", "Fmaj", 0},
        {133, 0, "x-3-5-4-5-x", {48, 55, 59, 64}, "C-G-B-E", "Am9/C", 9},
        {6, 4, "12-14-14-13-12-12", {52, 59, 64, 68, 71, 76}, "E-B-E-Ab-B-E", "Emaj", 0},
        {1, 0, "x-3-x-5-x-x", {48, 60}, "C-C", "C octave", 0},
        {12, 0, "x-3-5-5-5-3", {48, 55, 60, 64, 67}, "C-G-C-E-G", "Cmaj", 0},
        {602, 7, "3-3-2-4-3-2", {43, 48, 52, 59, 62, 66}, "G-C-E-B-D-F#", "Cmaj9#11/G", 5},
        {603, 7, "3-3-2-4-3-2", {43, 48, 52, 59, 62, 66}, "G-C-E-B-D-F#", "CM9(+11)/G", 5},
        {507, 2, "x-17-15-14-12-12", {62, 65, 69, 71, 76}, "D-F-A-B-E", "Dm6\\9", 0},
    }));

TEST_F(Form1BrowserTests, ShowChord_WithoutSelectedLineFailsSubscriptOutOfRange) {
    startWithoutChord();
    try {
        ui(*form).ShowChord();
        FAIL() << "ShowChord read entry 0";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.number(), Failure::subscriptOutOfRange().number());
    }
}

TEST_F(Form1BrowserTests, DrawChordMarks_NamesFromSelectionPitchAndRootShift) {
    startWindow();
    ui(*form).selectChordLine(18); // entry 19, "/3rd"
    ASSERT_EQ(ui(*form).chordName, "Ab/C");

    // The member names the chord from the window's state at the moment it draws.
    ui(*form).Pitch = 7;
    ui(*form).rootShift = 8;
    const ChartStyle style = ChartStyle::fingering();
    ui(*form).DrawChartGrid(*ui(*form).Picture1);
    ui(*form).DrawChordMarks("3-x-1-3-4-x", *ui(*form).Picture1, "2-x-1-3-4-x", style.dotWidth,
                             style.labelColour, style.dotColour);
    EXPECT_EQ(ui(*form).chordName, "Eb/G");
    EXPECT_EQ(ui(*form).txtChordName->text(), "Eb/G");
    EXPECT_EQ(ui(*form).fretCount, 16);

    // The blank chart names nothing.
    ui(*form).DrawChartGrid(*ui(*form).Picture3);
    EXPECT_EQ(ui(*form).chordName, "Eb/G");
    EXPECT_EQ(ui(*form).txtChordName->text(), "Eb/G");
}

// --- Pitch buttons and handedness ------------------------------------------------------------

TEST_F(Form1BrowserTests, NoChordRestored_ShowingAndFocusingTheListSelectsNothing) {
    startWithoutChord();
    showForm();
    ui(*form).ListView1->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui(*form).ListView1->currentRow(), -1);
    EXPECT_TRUE(ui(*form).ListView1->selectedItems().isEmpty());
    EXPECT_EQ(storedSetting("Chords"), "none");
    expectNoChordShown();

    // The first step down from "no line" shows the first line.
    QTest::keyClick(ui(*form).ListView1, Qt::Key_Down);
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 0);
    EXPECT_EQ(caption(), "Chords - [1 / 611]");
    EXPECT_EQ(storedSetting("Chords"), "0");
    expectCharts(1, 0, false);
}

TEST_F(Form1BrowserTests, PitchClickBeforeAnyChord_StoresPitchAndDrawsNothing) {
    startWithoutChord();
    showForm();
    clickPitch(7);
    EXPECT_TRUE(ui(*form).Option1[7]->isChecked());
    EXPECT_EQ(ui(*form).Pitch, 7);
    EXPECT_EQ(storedSetting("Pitch"), "7");
    EXPECT_EQ(ui(*form).ListView1->currentRow(), -1);
    EXPECT_EQ(caption(), "Chords");
    expectNoChordShown();

    // The next chord uses the new Pitch.
    clickLine(5);
    EXPECT_EQ(ui(*form).txtFretNumbers->text(), "3-5-5-4-3-3");
    EXPECT_EQ(ui(*form).txtChordName->text(), "Gmaj");
    expectCharts(6, 7, false);
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
}

TEST_F(Form1BrowserTests, LeftHandedBeforeAnyChord_DrawsNothingThenNextChordIsMirrored) {
    startWithoutChord();
    showForm();
    clickButton(ui(*form).chkLeftHanded);
    ASSERT_TRUE(ui(*form).chkLeftHanded->isChecked());
    expectNoChordShown();

    clickLine(5);
    expectCharts(6, 0, true);
    // The nut, 7 pixels wide, stands at the right; at the left there is only a fret wire.
    const int betweenStrings = PixelProbe::row(2.5);
    EXPECT_EQ(
        PixelProbe::darkRunAcross(picture1(), PixelProbe::col(0.5, true), betweenStrings, true), 7);
    EXPECT_GT(PixelProbe::col(0.5, true), ChartSurface::pictureWidth / 2);
    EXPECT_LE(
        PixelProbe::darkRunAcross(picture1(), PixelProbe::col(0.5, false), betweenStrings, true),
        1);

    // Unchecking redraws at once, right-handed.
    clickButton(ui(*form).chkLeftHanded);
    expectCharts(6, 0, false);
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
}

TEST_F(Form1BrowserTests, PitchChange_KeepsLineCaptionAndChordsSetting) {
    startWindow();
    showForm();
    clickLine(18); // "/3rd"
    EXPECT_EQ(ui(*form).txtChordName->text(), "Ab/C");
    // A stand-in value shows whether the Pitch handler rewrites "Chords".
    settings->saveSetting("Chords", "7");

    clickPitch(9);
    EXPECT_EQ(ui(*form).ListView1->currentRow(), 18);
    EXPECT_EQ(caption(), "Chords - [19 / 611]");
    EXPECT_EQ(storedSetting("Chords"), "7");
    EXPECT_EQ(storedSetting("Pitch"), "9");
    EXPECT_EQ(ui(*form).txtChordName->text(), "F/A");
    EXPECT_EQ(ui(*form).txtChordSpelling->text(), "A-F-C-F");
    expectCharts(19, 9, false);

    // Choosing the Pitch already chosen by program runs nothing.
    settings->saveSetting("Pitch", "3");
    ui(*form).choosePitch(9);
    EXPECT_EQ(storedSetting("Pitch"), "3");
}

// --- Failures in handlers without a trap -----------------------------------------------------

TEST_F(Form1BrowserTests, HandlerFailure_ShowsBoxAndNoExceptionEscapes) {
    startWindow();
    showForm();
    // A plain file where the settings folder was: no one, root included, can write there.
    ASSERT_TRUE(QDir(temp.filePath("config")).removeRecursively());
    QFile blocker(temp.filePath("config"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    clickPitch(2);
    const QString description = Failure::pathFileAccessError().description();
    EXPECT_EQ(messages.errorBoxes, QStringList{applicationErrorText(
                                       description, errorLocation(u"Form1.Option1_Click"), 0)});
    // The store fails, but the chord still follows the chosen button.
    EXPECT_EQ(ui(*form).Pitch, 2);
    EXPECT_TRUE(ui(*form).Option1[2]->isChecked());
    EXPECT_EQ(ui(*form).txtChordName->text(), "Dm");

    messages.errorBoxes.clear();
    clickLine(5);
    // The chord is shown (at the chosen D) before the line is stored.
    EXPECT_EQ(ui(*form).txtFretNumbers->text(), "10-12-12-11-10-10");
    EXPECT_EQ(caption(), "Chords - [6 / 611]");
    EXPECT_EQ(messages.errorBoxes, QStringList{applicationErrorText(
                                       description, errorLocation(u"Form1.ListView1_Click"), 0)});
}

// --- Layout ----------------------------------------------------------------------------------

TEST_F(Form1BrowserTests, Layout_FixedClientAreaFontsAndWhiteBackgrounds) {
    // The charts' initial fonts are seen only before anything is drawn on them.
    createWindow();
    EXPECT_EQ(form->size(), QSize(696, 736));
    EXPECT_EQ(form->minimumSize(), QSize(696, 736));
    EXPECT_EQ(form->maximumSize(), QSize(696, 736));

    const auto expectFont = [](const QFont& font, const QString& family, qreal points,
                               const char* what) {
        EXPECT_EQ(font.family(), family) << what;
        EXPECT_DOUBLE_EQ(font.pointSizeF(), points) << what;
        EXPECT_TRUE(font.bold()) << what;
    };
    expectFont(form->font(), "Arial", 9, "window");
    expectFont(ui(*form).ListView1->font(), "Arial", 8.25, "ListView1");
    expectFont(ui(*form).txtChordName->font(), "Arial", 9, "txtChordName");
    expectFont(ui(*form).Picture1->surface().font(), "Arial", 9, "Picture1");
    expectFont(ui(*form).Picture3->surface().font(), "Arial", 9, "Picture3");
    expectFont(ui(*form).Picture2->surface().font(), "MS Sans Serif", 8.25, "Picture2");
    form->Form_Load();
    showForm();

    QList<QWidget*> whiteControls{ui(*form).Frame1,        ui(*form).Frame2,  ui(*form).Frame3,
                                  ui(*form).Frame4,        ui(*form).Frame5,  ui(*form).Frame6,
                                  ui(*form).chkLeftHanded, ui(*form).Option2, ui(*form).Option3};
    for (QRadioButton* button : ui(*form).Option1)
        whiteControls << button;
    const QImage shot = form->grab().toImage();
    for (QWidget* widget : whiteControls) {
        EXPECT_EQ(widget->palette().color(QPalette::Window), QColor(Qt::white))
            << widget->metaObject()->className() << " " << widget->x() << "," << widget->y();
        // Next to the top-right corner, where no caption, indicator or frame line is drawn.
        const QPoint corner = widget->mapTo(form.get(), QPoint(widget->width() - 2, 1));
        // The style may tint a frame's inside by a few levels; no grey of a default
        // background (0xefefef) shows through.
        const QRgb seen = shot.pixel(corner);
        EXPECT_GE(qMin(qMin(qRed(seen), qGreen(seen)), qBlue(seen)), 250)
            << "background at " << corner.x() << "," << corner.y();
    }
    for (QLabel* label : {ui(*form).Label1, ui(*form).Label2, ui(*form).Label3, ui(*form).Label4})
        EXPECT_EQ(label->palette().color(QPalette::Window), QColor(Qt::white));
}

struct Place {
    const char* name;
    std::function<QWidget*(Form1&)> widget;
    std::function<QWidget*(Form1&)> parent; // nullptr: the window
    int left, top, width, height;           // twips
};

TEST_F(Form1BrowserTests, Layout_EveryControlAtItsPlaceAndSize) {
    startWindow();
    const auto window = [](Form1& f) -> QWidget* { return &f; };
    const std::vector<Place> table{
        {"Frame1", [](Form1& f) { return ui(f).Frame1; }, window, 120, 120, 2280, 10815},
        {"ListView1", [](Form1& f) { return ui(f).ListView1; },
         [](Form1& f) { return ui(f).Frame1; }, 240, 300, 1815, 10140},
        {"Frame2", [](Form1& f) { return ui(f).Frame2; }, window, 2520, 90, 7800, 705},
        {"Frame5", [](Form1& f) { return ui(f).Frame5; }, window, 2520, 840, 7800, 735},
        {"chkLeftHanded", [](Form1& f) { return ui(f).chkLeftHanded; },
         [](Form1& f) { return ui(f).Frame5; }, 240, 300, 2175, 255},
        {"Frame6", [](Form1& f) { return ui(f).Frame6; }, window, 2520, 1620, 7800, 1245},
        {"Label4", [](Form1& f) { return ui(f).Label4; }, [](Form1& f) { return ui(f).Frame6; },
         360, 330, 1095, 225},
        {"txtChordName", [](Form1& f) { return ui(f).txtChordName; },
         [](Form1& f) { return ui(f).Frame6; }, 1560, 270, 2160, 345},
        {"Label3", [](Form1& f) { return ui(f).Label3; }, [](Form1& f) { return ui(f).Frame6; },
         3990, 330, 1275, 225},
        {"txtChordSpelling", [](Form1& f) { return ui(f).txtChordSpelling; },
         [](Form1& f) { return ui(f).Frame6; }, 5400, 270, 2160, 345},
        {"Label1", [](Form1& f) { return ui(f).Label1; }, [](Form1& f) { return ui(f).Frame6; },
         240, 810, 1200, 225},
        {"txtFretNumbers", [](Form1& f) { return ui(f).txtFretNumbers; },
         [](Form1& f) { return ui(f).Frame6; }, 1560, 750, 2160, 345},
        {"Label2", [](Form1& f) { return ui(f).Label2; }, [](Form1& f) { return ui(f).Frame6; },
         4440, 810, 825, 225},
        {"txtFingering", [](Form1& f) { return ui(f).txtFingering; },
         [](Form1& f) { return ui(f).Frame6; }, 5400, 750, 2160, 345},
        {"Picture1", [](Form1& f) { return ui(f).Picture1; }, window, 2520, 2970, 7800, 1815},
        {"Picture2", [](Form1& f) { return ui(f).Picture2; }, window, 2520, 4890, 7800, 1815},
        {"Picture3", [](Form1& f) { return ui(f).Picture3; }, window, 10920, 480, 7800, 1815},
        {"Frame4", [](Form1& f) { return ui(f).Frame4; }, window, 2520, 6780, 7800, 705},
        {"Option2", [](Form1& f) { return ui(f).Option2; }, [](Form1& f) { return ui(f).Frame4; },
         240, 300, 975, 255},
        {"Option3", [](Form1& f) { return ui(f).Option3; }, [](Form1& f) { return ui(f).Frame4; },
         1440, 300, 975, 255},
        {"Frame3", [](Form1& f) { return ui(f).Frame3; }, window, 2520, 7560, 7800, 795},
        {"Text2", [](Form1& f) { return ui(f).Text2; }, [](Form1& f) { return ui(f).Frame3; }, 240,
         300, 6660, 345},
        {"PushButton7", [](Form1& f) { return (QWidget*)ui(f).PushButton7; },
         [](Form1& f) { return ui(f).Frame3; }, 6960, 300, 600, 345},
        {"PushButton1", [](Form1& f) { return (QWidget*)ui(f).PushButton1; }, window, 2520, 8460,
         7800, 405},
        {"PushButton4", [](Form1& f) { return (QWidget*)ui(f).PushButton4; }, window, 2520, 8970,
         7800, 405},
        {"PushButton3", [](Form1& f) { return (QWidget*)ui(f).PushButton3; }, window, 2520, 9480,
         7800, 405},
        {"PushButton2", [](Form1& f) { return (QWidget*)ui(f).PushButton2; }, window, 2520, 9990,
         7800, 405},
        {"ProgressBar1", [](Form1& f) { return (QWidget*)ui(f).ProgressBar1; }, window, 2520, 10500,
         7800, 405},
    };
    const auto px = [](int twips) { return qRound(twips / 15.0); };
    for (const Place& place : table) {
        QWidget* widget = place.widget(*form);
        ASSERT_NE(widget, nullptr) << place.name;
        EXPECT_EQ(widget->parentWidget(), place.parent(*form)) << place.name;
        const QRect table(px(place.left), px(place.top), px(place.width), px(place.height));
        if (auto* caption = qobject_cast<QLabel*>(widget)) {
            // A caption wider than its place in this system's font grows to the left and
            // keeps its right edge beside its field; it is never clipped.
            EXPECT_EQ(caption->geometry().right(), table.right()) << place.name;
            EXPECT_EQ(caption->y(), table.y()) << place.name;
            EXPECT_EQ(caption->height(), table.height()) << place.name;
            EXPECT_GE(caption->width(), table.width()) << place.name;
            EXPECT_GE(caption->width(), caption->sizeHint().width()) << place.name;
            EXPECT_TRUE(caption->alignment() & Qt::AlignRight) << place.name;
        } else {
            EXPECT_EQ(widget->geometry(), table) << place.name;
        }
    }
    for (int i = 0; i < 12; ++i) {
        QRadioButton* button = ui(*form).Option1[i];
        EXPECT_EQ(button->parentWidget(), ui(*form).Frame2);
        EXPECT_EQ(button->text(), ChordTheory::PitchNames[i]);
        EXPECT_EQ(button->geometry(),
                  QRect(px(240 + 600 * i), px(300), px(i == 11 ? 495 : 615), px(255)))
            << "Option1(" << i << ")";
    }
}

TEST_F(Form1BrowserTests, ChartPictures_ShowTheirSurfaceInsideASunkenBorder) {
    startWindow();
    showForm();
    for (ChartPicture* picture : {ui(*form).Picture1, ui(*form).Picture2, ui(*form).Picture3}) {
        EXPECT_EQ(picture->size(), QSize(520, 121));
        EXPECT_EQ(picture->contentsRect(), QRect(2, 2, 516, 117));
        EXPECT_EQ(picture->frameShadow(), QFrame::Sunken);
    }
    // What the picture paints inside its border is the surface's drawing.
    const QImage shown = ui(*form).Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown.copy(2, 2, 516, 117), picture1());
}

TEST_F(Form1BrowserTests, Picture3_LiesOutsideTheWindowAndKeepsTheBlankChart) {
    startWindow();
    showForm();
    EXPECT_GE(ui(*form).Picture3->x(), form->width());
    EXPECT_TRUE(ui(*form).Picture3->visibleRegion().isEmpty());

    ui(*form).DrawChartGrid(*ui(*form).Picture3);
    const QImage blank = referenceChart(ChordChartKind::Blank, 1, 0, false);
    EXPECT_EQ(ui(*form).Picture3->surface().image(), blank);
    // Redrawing the window and other charts leaves it as it was.
    form->repaint();
    clickLine(5);
    form->hide();
    form->show();
    QCoreApplication::processEvents();
    EXPECT_EQ(ui(*form).Picture3->surface().image(), blank);
}
