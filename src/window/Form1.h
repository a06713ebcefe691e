#pragma once

#include "export/ExportCommands.h"
#include "sound/ChordSound.h"

#include <QCursor>
#include <QList>
#include <QRgb>
#include <QString>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class ChartFileWriter;
class ErrorTrap;
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
class SaveAllRun;
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
// Handler names follow their control and event (ListView1_Click, Option1_Click, ...); Qt calls
// them through the connections made at construction. Controls and chord state are the
// window's own; tests reach them through Form1TestAccess, and every control carries its name
// as its object name ("ListView1", "PushButton4", "Option1_3" for Option1(3)).
//
// Example:
//   Form1 form(services);
//   form.Form_Load();   // the whole start-up: skin, caption, MIDI, catalogue, saved choices
//   form.show();
class Form1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int twipsPerPixel = 15;

    explicit Form1(Form1Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // The whole start-up, step by step under the error trap; runs once, before show().
    void Form_Load();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class Form1TestAccess;

    // --- Start-up and shutdown (Form1Startup.cpp) ------------------------------------------
    // The shutdown: ends a running save-all, silences sounding notes, closes the MIDI output.
    void Form_Unload();

    // --- Chord browser (Form1.cpp) --------------------------------------------------------
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

    // --- Chord sound (Form1Sound.cpp) ------------------------------------------------------
    void OpenMidiOutput();
    void PushButton3_MouseDown();
    void PushButton3_MouseUp();

    // --- Export (Form1Export.cpp) and output folder (Form1OutputFolder.cpp) ----------------
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton4_Click();
    void Option2_Click();
    void Option3_Click();
    // Makes a format button (Option2 or Option3) the chosen one as a click would.
    void chooseFormat(QRadioButton* button);
    void Text2_Change();
    void PushButton7_Click();
    QString BrowseForFolder(QWidget* owner, const QString& title, const QString& startFolder);
    // Sets the folder text as typing would; failures of Text2_Change reach the caller.
    void setFolderText(const QString& text);
    // The folder check that opens each export command, as step 106: false after the
    // "Application Error" box when the folder text names no file name exactly (it cannot be
    // written as it stands), or after the "Folder does not exist" box, shown as step
    // `missingBoxStep`, when it is no folder.
    bool outputFolderReady(ErrorTrap& trap, qint32 missingBoxStep);
    // One line of a save-all, steps 120 to 146: the events, the finished files' boxes, the
    // progress, the line and its twelve Pitches queued. False once the window is going away.
    bool saveAllLine(ErrorTrap& trap, SaveAllRun& running, int line, int lineCount);

    // --- Pointer feedback and skin (Form1Skin.cpp) -------------------------------------------
    void ApplySkin();
    void HandPointer();
    void DefaultPointer();

    // --- Construction ----------------------------------------------------------------------
    void createControls();
    // Gives every control its name as object name; Option1(i) is "Option1_i".
    void nameControls();
    void connectHandlers();
    // Runs a handler that has no trap of its own so that no failure reaches the event loop.
    void guarded(const char* procedure, const std::function<void()>& handler);
    int selectedEntry() const;

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
    QCursor customPointer; // the hand pointer of the push buttons

    // --- State of the subsystems --------------------------------------------------------------
    Form1Services m_services;
    ChordSound sound;     // the MIDI output and the notes a press started
    ExportCommands files; // the export commands' writer and whether a save-all runs

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
};
