#pragma once

#include "chart/ChordBox.h"
#include "finder/ChordPlayer.h"
#include "finder/FindForm.h"
#include "finder/FinderSettings.h"
#include "finder/ShapeEditor.h"
#include "finder/SheetFiles.h"
#include "finder/SheetList.h"
#include "fretboard/ChordTones.h"
#include "fretboard/Fretboard.h"
#include "fretboard/VoicingFinder.h"

#include <QList>
#include <QMainWindow>
#include <QString>
#include <functional>
#include <optional>

class ChordBoxGrid;
class MidiPort;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QCompleter;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStringListModel;
class QTabWidget;
class SaveFileDialog;
class SettingsStore;
class ShapeEditorView;

// What the chord finder asks of the outside world. Production wires the desktop; tests wire
// fakes.
struct FinderServices {
    SettingsStore& settings; // the finder's group of the settings file
    MidiPort& midiPort;
    SaveFileDialog& saveDialog;
    // What the sound goes to, in one line for the status bar, once the port is open
    // ("chosen: built-in synthesiser ..."); may be empty.
    std::function<QString()> soundDescription;
};

// Strumvane Chord Finder: find the voicings of a chord on any instrument, name a shape, hear
// it, and gather chords on a lesson sheet. Above the pages, the fretboard (instrument,
// tuning, capo) and how boxes are drawn (labels, handedness) and chords sound (strum), shared
// by every page:
//   Find   a chord field with completion, the filters of `strumvane-charts find`, the
//          voicings as a grid of chord boxes (easiest first, while typing), the selected
//          one's details, Play and Add to Sheet;
//   Name   an editable chord box, the readings of its shape (best first), each one can be
//          sent to Find or added to the sheet with the shape;
//   Sheet  the sheet's title and chords (reorder, remove), saved as a PDF lesson sheet, or
//          one chord as an SVG or PNG box.
// Every choice but the chord is kept in the settings (FinderSettings) the moment it changes.
// Problems are said beside the control or in the status bar, never in a box. Every control
// carries an object name (the member's name), an accessible name and a tooltip.
//
// Example:
//   FinderWindow window(services);
//   window.start();   // the sound output, the kept choices, the focus in the chord field
//   window.show();
class FinderWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit FinderWindow(FinderServices services, QWidget* parent = nullptr);
    ~FinderWindow() override;

    // Opens the sound output and restores the kept choices; once, before show().
    void start();

    // The rows the Find page shows now, easiest first.
    const QList<VoicingFinder::Row>& rows() const { return m_rows; }
    const SheetList& sheet() const { return m_sheet; }
    const ShapeEditor& editor() const { return m_editor; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // --- The shared bar (FinderWindow.cpp) -------------------------------------------------
    // Gives a control its object name, accessible name and tooltip.
    static void describe(QWidget* control, const char* objectName, const QString& name,
                         const QString& tip);
    QWidget* createFretboardBar();
    // Fills the tuning box with the instrument's presets.
    void fillTunings();
    // The instrument, tuning or capo changed: a new fretboard for every page.
    void fretboardEdited();
    void boxOptionsEdited();
    void applyBoxOptions();
    // Runs a settings write; a failure is said in the status bar.
    void remember(const std::function<void()>& write);
    void say(const QString& message);

    // --- Find (FinderFind.cpp) ---------------------------------------------------------------
    QWidget* createFindPage();
    // The parts of the page, each creating its controls.
    QLayout* createChordRow(QWidget* page);
    QLayout* createFilterRow(QWidget* page);
    QGroupBox* createDetails(QWidget* page);
    void connectFindPage();
    void filtersEdited();
    // Fills the filter controls from the form, their ranges from the fretboard.
    void showFilters();
    void search();
    void updateCompletion(const QString& text);
    void showDetails(int index);
    void addCurrentToSheet();
    QList<qint16> currentNotes() const;

    // --- Name (FinderName.cpp) ---------------------------------------------------------------
    QWidget* createNamePage();
    QLayout* createShapeEditor(QWidget* page);
    QWidget* createReadings(QWidget* page);
    void connectNamePage();
    void shapeChanged();
    QString chosenReading() const;
    void sendReadingToFind();
    void addShapeToSheet();

    // --- Sheet (FinderSheet.cpp) -------------------------------------------------------------
    QWidget* createSheetPage();
    void addToSheet(const SheetList::Entry& entry);
    // Shows the sheet list anew, with `current` selected, and keeps it in the settings.
    void sheetChanged(int current);
    void showSheet(int current);
    // Enables what needs a chosen chord.
    void sheetRowChosen(int row);
    void moveSheetEntry(int by);
    void removeSheetEntry();
    void saveSheet();
    void saveScore();
    // Says on the page how a save of `file` went: `error` empty when it was written.
    void saved(const QString& file, const QString& error);
    void saveBox(SheetFiles::Kind kind);
    // Asks where to save; empty when cancelled. Remembers the folder.
    QString askForFile(const QString& title, const QString& name, SheetFiles::Kind kind);

    // --- Sound -------------------------------------------------------------------------------
    void hold(const QList<qint16>& notes);
    void letGo();

    FinderServices m_services;
    FinderSettings m_settings;
    ChordPlayer m_player;
    FindForm m_form;
    Fretboard m_board;
    ChordBox::Options m_box;
    SheetList m_sheet;
    ShapeEditor m_editor;
    QList<VoicingFinder::Row> m_rows;
    std::optional<ChordTones> m_chord; // of the rows shown
    QString m_lastFolder;
    bool m_restoring = false; // choices being put back: nothing is written

    // --- Controls ------------------------------------------------------------------------------
    QComboBox* instrumentBox = nullptr;
    QComboBox* tuningBox = nullptr;
    QLabel* tuningMessage = nullptr;
    QSpinBox* capoSpin = nullptr;
    QComboBox* labelsBox = nullptr;
    QCheckBox* leftHandedCheck = nullptr;
    QSpinBox* strumSpin = nullptr;
    QTabWidget* pages = nullptr;
    QLabel* soundLabel = nullptr;

    QLineEdit* chordEdit = nullptr;
    QLabel* chordMessage = nullptr;
    QCompleter* completer = nullptr;
    QStringListModel* completions = nullptr;
    QCheckBox* fretWindowCheck = nullptr;
    QSpinBox* lowFretSpin = nullptr;
    QSpinBox* highFretSpin = nullptr;
    QComboBox* stringsBox = nullptr;
    QComboBox* topBox = nullptr;
    QCheckBox* inversionsCheck = nullptr;
    QCheckBox* openStringsCheck = nullptr;
    QLabel* resultsLabel = nullptr;
    ChordBoxGrid* grid = nullptr;
    QLabel* detailName = nullptr;
    QLabel* detailNotes = nullptr;
    QLabel* detailIntervals = nullptr;
    QLabel* detailFrets = nullptr;
    QLabel* detailFingering = nullptr;
    QLabel* detailPlayability = nullptr;
    QLabel* detailSource = nullptr;
    QPushButton* playButton = nullptr;
    QPushButton* addButton = nullptr;

    ShapeEditorView* editorView = nullptr;
    QSpinBox* firstFretSpin = nullptr;
    QPushButton* clearShapeButton = nullptr;
    QLabel* shapeNotes = nullptr;
    QListWidget* readingsList = nullptr;
    QPushButton* findReadingButton = nullptr;
    QPushButton* addShapeButton = nullptr;
    QPushButton* playShapeButton = nullptr;

    QLineEdit* sheetTitleEdit = nullptr;
    QListWidget* sheetList = nullptr;
    QPushButton* moveUpButton = nullptr;
    QPushButton* moveDownButton = nullptr;
    QPushButton* removeButton = nullptr;
    QPushButton* savePdfButton = nullptr;
    QPushButton* saveScoreButton = nullptr;
    QPushButton* saveSvgButton = nullptr;
    QPushButton* savePngButton = nullptr;
    QLabel* sheetMessage = nullptr;
};
