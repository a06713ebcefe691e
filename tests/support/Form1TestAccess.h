#pragma once

#include "window/Form1.h"

// The main window's controls, chord state and handlers, for tests: Form1 keeps them private
// and names this class its friend. Members are references into the window, so a test reads
// and drives the window itself: ui(form).ListView1->setCurrentRow(5); ui(form).Pitch.
class Form1TestAccess {
public:
    explicit Form1TestAccess(Form1& form)
        : window(form), Pitch(form.Pitch), rootShift(form.rootShift), chordNotes(form.chordNotes),
          chordNoteCount(form.chordNoteCount), chordName(form.chordName), fretCount(form.fretCount),
          openStringNotes(form.openStringNotes), applicationTitle(form.applicationTitle),
          programFolder(form.programFolder), customPointer(form.customPointer), sound(form.sound),
          files(form.files), Frame1(form.Frame1), Frame2(form.Frame2), Frame3(form.Frame3),
          Frame4(form.Frame4), Frame5(form.Frame5), Frame6(form.Frame6), ListView1(form.ListView1),
          Option1(form.Option1), chkLeftHanded(form.chkLeftHanded), Label1(form.Label1),
          Label2(form.Label2), Label3(form.Label3), Label4(form.Label4),
          txtChordName(form.txtChordName), txtChordSpelling(form.txtChordSpelling),
          txtFretNumbers(form.txtFretNumbers), txtFingering(form.txtFingering),
          Picture1(form.Picture1), Picture2(form.Picture2), Picture3(form.Picture3),
          Option2(form.Option2), Option3(form.Option3), Text2(form.Text2),
          PushButton1(form.PushButton1), PushButton2(form.PushButton2),
          PushButton3(form.PushButton3), PushButton4(form.PushButton4),
          PushButton7(form.PushButton7), ProgressBar1(form.ProgressBar1),
          SkinFramework1(form.SkinFramework1) {}

    // Handlers and the routines they share, called as Qt would call them.
    void Form_Unload() { window.Form_Unload(); }
    void LoadChordCatalogue() { window.LoadChordCatalogue(); }
    void ShowChord() { window.ShowChord(); }
    void DrawChartGrid(ChartPicture& target) { window.DrawChartGrid(target); }
    void DrawChordMarks(const QString& fretNumbers, ChartPicture& target, const QString& labels,
                        float dotWidth, QRgb labelColour, QRgb dotColour) {
        window.DrawChordMarks(fretNumbers, target, labels, dotWidth, labelColour, dotColour);
    }
    void ListView1_Click() { window.ListView1_Click(); }
    void Option1_Click(int index) { window.Option1_Click(index); }
    void chkLeftHanded_Click() { window.chkLeftHanded_Click(); }
    void selectChordLine(int row) { window.selectChordLine(row); }
    void choosePitch(int index) { window.choosePitch(index); }
    void OpenMidiOutput() { window.OpenMidiOutput(); }
    void PushButton3_MouseDown() { window.PushButton3_MouseDown(); }
    void PushButton3_MouseUp() { window.PushButton3_MouseUp(); }
    void PushButton1_Click() { window.PushButton1_Click(); }
    void PushButton2_Click() { window.PushButton2_Click(); }
    void PushButton4_Click() { window.PushButton4_Click(); }
    void Option2_Click() { window.Option2_Click(); }
    void Option3_Click() { window.Option3_Click(); }
    void chooseFormat(QRadioButton* button) { window.chooseFormat(button); }
    void Text2_Change() { window.Text2_Change(); }
    void PushButton7_Click() { window.PushButton7_Click(); }
    void setFolderText(const QString& text) { window.setFolderText(text); }
    void ApplySkin() { window.ApplySkin(); }
    void HandPointer() { window.HandPointer(); }
    void DefaultPointer() { window.DefaultPointer(); }

    Form1& window;
    qint16& Pitch;
    qint16& rootShift;
    QList<qint16>& chordNotes;
    qint16& chordNoteCount;
    QString& chordName;
    quint8& fretCount;
    std::array<qint16, 6>& openStringNotes;
    QString& applicationTitle;
    QString& programFolder;
    QCursor& customPointer;
    ChordSound& sound;
    ExportCommands& files;
    QGroupBox*& Frame1;
    QGroupBox*& Frame2;
    QGroupBox*& Frame3;
    QGroupBox*& Frame4;
    QGroupBox*& Frame5;
    QGroupBox*& Frame6;
    QListWidget*& ListView1;
    std::array<QRadioButton*, 12>& Option1;
    QCheckBox*& chkLeftHanded;
    QLabel*& Label1;
    QLabel*& Label2;
    QLabel*& Label3;
    QLabel*& Label4;
    QLineEdit*& txtChordName;
    QLineEdit*& txtChordSpelling;
    QLineEdit*& txtFretNumbers;
    QLineEdit*& txtFingering;
    ChartPicture*& Picture1;
    ChartPicture*& Picture2;
    ChartPicture*& Picture3;
    QRadioButton*& Option2;
    QRadioButton*& Option3;
    QLineEdit*& Text2;
    PushButton*& PushButton1;
    PushButton*& PushButton2;
    PushButton*& PushButton3;
    PushButton*& PushButton4;
    PushButton*& PushButton7;
    ProgressBar*& ProgressBar1;
    std::unique_ptr<SkinFramework>& SkinFramework1;
};

inline Form1TestAccess ui(Form1& form) {
    return Form1TestAccess(form);
}
