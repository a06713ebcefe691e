#pragma once

#include "sound/MidiOutput.h"

#include <QCursor>
#include <QList>
#include <QRgb>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class ChartFileWriter;
class ChartPicture;
class Clock;
class FolderDialog;
class MessageBoxes;
class MidiPort;
class ProgressBar;
class PushButton;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class RandomSource;
class SettingsStore;
class SkinFramework;
class WebLauncher;

// What the main window asks of the outside world. Production wires the desktop; tests wire
// fakes that record what was asked.
struct Form1Services {
    SettingsStore& settings;
    MessageBoxes& messages;
    FolderDialog& folderDialog;
    MidiPort& midiPort;
    ChartFileWriter& fileWriter;
    WebLauncher& webLauncher;
    RandomSource& random;
    Clock& clock;
    // Folder of the running program, without a trailing "/" except for the root folder.
    QString programFolder;
    // The user's desktop folder, or the empty text when it cannot be determined.
    std::function<QString()> desktopFolder;
};

// The main window: the chord list, the Pitch buttons, the handedness option, the detail
// fields and both charts, the export commands, the output folder and the sound button.
// Controls and chord state are public, as the window's handlers and tests use them; handler
// names follow their control and event (ListView1_Click, Option1_Click, ...).
class Form1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int twipsPerPixel = 15;

    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // --- Start-up and shutdown -------------------------------------------------------------
    // The whole start-up, step by step under the error trap; runs once, before show().
    void Form_Load();
    // The shutdown: silences any sounding notes and closes the MIDI output.
    void Form_Unload();
    void SetApplicationTitle();
    // The title rule: cut before the last blank until at most 40 characters remain; a single
    // word stays whole. "Strumvane Chord Chart Studio" gives "Strumvane Chord Chart".
    static QString applicationTitleFor(const QString& name);
    QString DefaultSaveFolder();
    void MaybeOpenHomePage();
    static bool FileExists(const QString& path);

    // --- Chord browser ---------------------------------------------------------------------
    // Fills ListView1 with one line per catalogue entry (611 lines, none selected).
    void LoadChordCatalogue();
    // Shows the selected entry at Pitch: detail fields, chordNotes and both charts. Fails
    // with "Subscript out of range" when no line is selected.
    void ShowChord();
    void DrawChartGrid(ChartPicture& target);
    void DrawChordMarks(const QString& fretNumbers, ChartPicture& target, const QString& labels,
                        float dotWidth, QRgb labelColour, QRgb dotColour);

    void ListView1_Click();
    void Option1_Click(int index);
    void chkLeftHanded_Click();

    // Selects line `row` of ListView1 as a click would (ListView1_Click runs when the line
    // changes). A row outside the list fails with "Invalid property value"; failures of the
    // handler reach the caller.
    void selectChordLine(int row);
    // Makes Option1(index) the chosen Pitch button as a click would (Option1_Click runs when
    // the button changes). No button `index` fails with "Control array element ...".
    void choosePitch(int index);

    // --- Chord sound -------------------------------------------------------------------------
    void OpenMidiOutput();
    void PushButton3_MouseDown();
    void PushButton3_MouseUp();

    // --- Export and output folder ------------------------------------------------------------
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton4_Click();
    void Option2_Click();
    void Option3_Click();
    static bool FolderExists(const QString& path);
    void Text2_Change();
    void PushButton7_Click();
    QString BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder);
    // Sets the folder text as typing would; failures of Text2_Change reach the caller.
    void setFolderText(const QString& text);
    // The save-all file stem: name, a blank and the note names, with "/", "+" and "\" made
    // "_": ("Cm6\9", "C-A-Eb-G-D") gives "Cm6_9 C-A-Eb-G-D".
    static QString saveAllStem(const QString& chordName, const QString& noteNames);
    // True while the save-all command runs.
    bool isSavingAll() const { return m_savingAll; }

    // --- Pointer feedback and skin -----------------------------------------------------------
    void ApplySkin();
    void HandPointer();
    void DefaultPointer();

    // --- Chord state ---------------------------------------------------------------------------
    qint16 Pitch = 0;                        // 0..11, the chosen Pitch button
    qint16 rootShift = 0;                    // root shift of the last chord's lowest string
    QList<qint16> chordNotes;                // MIDI notes of the last chord, low string first
    qint16 chordNoteCount = 0;               // entries in chordNotes
    QString chordName;                       // name of the chord drawn last
    quint8 fretCount = 0;                    // frets a chart shows, 16 after the first grid
    std::array<qint16, 6> openStringNotes{}; // set at start-up: 40 45 50 55 59 64
    QString applicationTitle;                // caption of the plain message boxes
    QString programFolder;
    MidiOutput midi;
    QCursor customPointer; // the hand pointer of the push buttons

    // --- Controls ------------------------------------------------------------------------------
    QGroupBox* Frame1 = nullptr; // "Chords"
    QGroupBox* Frame2 = nullptr; // "Pitch"
    QGroupBox* Frame3 = nullptr; // "Save Results To This Folder"
    QGroupBox* Frame4 = nullptr; // "Save As"
    QGroupBox* Frame5 = nullptr; // "Handed Options"
    QGroupBox* Frame6 = nullptr; // "Details"
    QListWidget* ListView1 = nullptr;
    std::array<QRadioButton*, 12> Option1{};
    QCheckBox* chkLeftHanded = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* txtChordName = nullptr;
    QLineEdit* txtChordSpelling = nullptr;
    QLineEdit* txtFretNumbers = nullptr;
    QLineEdit* txtFingering = nullptr;
    ChartPicture* Picture1 = nullptr; // fingering chart
    ChartPicture* Picture2 = nullptr; // interval chart
    ChartPicture* Picture3 = nullptr; // blank chart, outside the visible area
    QRadioButton* Option2 = nullptr;  // "JPG"
    QRadioButton* Option3 = nullptr;  // "BMP"
    QLineEdit* Text2 = nullptr;       // output folder
    PushButton* PushButton1 = nullptr;
    PushButton* PushButton2 = nullptr;
    PushButton* PushButton3 = nullptr;
    PushButton* PushButton4 = nullptr;
    PushButton* PushButton7 = nullptr;
    ProgressBar* ProgressBar1 = nullptr;
    std::unique_ptr<SkinFramework> SkinFramework1;

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    // Makes a format button the chosen one as a click would.
    void chooseFormat(QRadioButton* button);
    void connectHandlers();
    // Runs a handler that has no trap of its own so that no failure reaches the event loop.
    void guarded(const char* procedure, const std::function<void()>& handler);
    int selectedEntry() const;
    QString folderPath(const QString& fileName) const;
    void saveChartPair(const QString& stem);

    Form1Services m_services;
    bool m_savingAll = false;
    bool m_closing = false;
    QList<qint16> m_soundingNotes; // notes the play button started, silenced on release
};
