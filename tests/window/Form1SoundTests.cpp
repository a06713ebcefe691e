// The play button of the main window against a recording MIDI port: what a press and a release
// send, and what happens without a device.
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "support/Form1Fixture.h"
#include "support/Printers.h"
#include "window/PushButton.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <optional>

namespace {

const QString midiUnavailableBox =
    QStringLiteral("Strumvane|The MIDI stream is unavailable. Close & restart program.");

// Packed as the platform expects, written out here rather than taken from the code under test.
quint32 noteOn(int note) {
    return 0x007F0000u + quint32(note) * 256u + 0x90u;
}
quint32 noteOff(int note) {
    return quint32(note) * 256u + 0x80u;
}

// The MIDI notes of a fret-number text: open string plus fret, muted strings left out.
QList<int> notesOfFretNumbers(const QString& fretNumbers) {
    const int openStrings[6] = {40, 45, 50, 55, 59, 64};
    const QStringList marks = fretNumbers.split(QLatin1Char('-'));
    QList<int> notes;
    for (int i = 0; i < marks.size() && i < 6; ++i) {
        if (marks[i] != QLatin1String("x"))
            notes << openStrings[i] + marks[i].toInt();
    }
    return notes;
}

QList<quint32> noteOns(const QList<int>& notes) {
    QList<quint32> packed;
    for (const int note : notes)
        packed << noteOn(note);
    return packed;
}
QList<quint32> noteOffs(const QList<int>& notes) {
    QList<quint32> packed;
    for (const int note : notes)
        packed << noteOff(note);
    return packed;
}

struct ChordChoice {
    int line;
    int pitch;
};

// The first catalogue chord (entry order, then Pitch) for which `wanted` holds.
std::optional<ChordChoice>
findChord(const std::function<bool(const ChordEntry&, const ChordTheory::PlacedChord&)>& wanted) {
    const auto entries = ChordCatalogue::entries();
    for (int line = 0; line < int(entries.size()); ++line) {
        for (qint16 pitch = 0; pitch < 12; ++pitch) {
            const ChordTheory::PlacedChord chord =
                ChordTheory::placeChord(QString::fromLatin1(entries[line].fretPattern),
                                        QString::fromLatin1(entries[line].spelling), pitch);
            if (wanted(entries[line], chord))
                return ChordChoice{line, pitch};
        }
    }
    return std::nullopt;
}

// Records sends and the close in one sequence, so that their order can be checked.
class SequenceMidiPort : public FakeMidiPort {
public:
    void sendShortMessage(quint32 packed) override {
        if (failingNote >= 0 && int((packed >> 8) & 0x7F) == failingNote)
            throw Failure::permissionDenied();
        FakeMidiPort::sendShortMessage(packed);
        sequence << QStringLiteral("send %1").arg(packed, 8, 16, QLatin1Char('0'));
    }
    qint32 close() override {
        sequence << QStringLiteral("close");
        return FakeMidiPort::close();
    }
    int failingNote = -1; // sends for this note fail, as a broken driver would
    QStringList sequence;
};

} // namespace

class Form1SoundTests : public Form1Fixture {
protected:
    SequenceMidiPort sequencePort;

    // Starts the window showing catalogue line `line` at `pitch`, with the port's start-up
    // messages (the program change) cleared.
    Form1& startAt(int line, int pitch) {
        storeSetting(QStringLiteral("Chords"), QString::number(line));
        storeSetting(QStringLiteral("Pitch"), QString::number(pitch));
        startWindow();
        midiPort.messages.clear();
        return *form;
    }

    // As startAt, on the sequence-recording port.
    Form1& startWithSequencePortAt(int line, int pitch) {
        storeSetting(QStringLiteral("Chords"), QString::number(line));
        storeSetting(QStringLiteral("Pitch"), QString::number(pitch));
        form = std::make_unique<Form1>(
            Form1Services{*settings, messages, folderDialog, sequencePort, fileWriter, webLauncher,
                          random, clock, programFolder, [this] { return desktopFolder; }});
        form->Form_Load();
        sequencePort.messages.clear();
        sequencePort.sequence.clear();
        return *form;
    }

    void press(Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(ui(*form).PushButton3, button);
    }
    void release(Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(ui(*form).PushButton3, button);
    }

    // Presses and releases, checking that the press sends the note-ons and the release the
    // note-offs of `notes`, in string order.
    void expectPressAndReleaseSound(const QList<int>& notes) {
        press();
        EXPECT_EQ(midiPort.messages, noteOns(notes));
        midiPort.messages.clear();
        release();
        EXPECT_EQ(midiPort.messages, noteOffs(notes));
        EXPECT_TRUE(messages.errorBoxes.isEmpty()) << messages.errorBoxes.join(u'\n').toStdString();
    }
};

TEST_F(Form1SoundTests, Start_OpensPortOnceAndSendsProgramChangeZero) {
    startWindow();
    EXPECT_EQ(midiPort.openCalls, 1);
    EXPECT_EQ(ui(*form).sound.midi().midiOpenResult(), 0);
    EXPECT_EQ(ui(*form).sound.midi().midiChannel(), 0);
    EXPECT_EQ(ui(*form).sound.midi().midiVelocity(), 127);
    EXPECT_EQ(midiPort.messages, QList<quint32>{0x000000C0u});
    EXPECT_FALSE(messages.informationBoxes.contains(midiUnavailableBox));
}

TEST_F(Form1SoundTests, PressAndRelease_WorkedExampleSendsPackedValuesOfTheTable) {
    // Entry 6 at C: fret numbers 8-10-10-9-8-8.
    startAt(5, 0);
    ASSERT_EQ(ui(*form).txtFretNumbers->text(), QStringLiteral("8-10-10-9-8-8"));
    press();
    EXPECT_EQ(midiPort.messages, (QList<quint32>{0x007F3090, 0x007F3790, 0x007F3C90, 0x007F4090,
                                                 0x007F4390, 0x007F4890}));
    midiPort.messages.clear();
    release();
    EXPECT_EQ(midiPort.messages, (QList<quint32>{0x00003080, 0x00003780, 0x00003C80, 0x00004080,
                                                 0x00004380, 0x00004880}));
}

TEST_F(Form1SoundTests, PressAndRelease_FourStringChordStartsWithDString) {
    const auto choice = findChord([](const ChordEntry& entry, const ChordTheory::PlacedChord& c) {
        return QString::fromLatin1(entry.fretPattern).startsWith(QLatin1String("x-x-")) &&
               c.notes.size() == 4;
    });
    ASSERT_TRUE(choice) << "the catalogue has no chord on the four high strings";
    startAt(choice->line, choice->pitch);
    const QString frets = ui(*form).txtFretNumbers->text();
    const QList<int> notes = notesOfFretNumbers(frets);
    ASSERT_EQ(notes.size(), 4) << frets.toStdString();
    EXPECT_EQ(notes.first(), 50 + frets.split(QLatin1Char('-'))[2].toInt());
    expectPressAndReleaseSound(notes);
}

TEST_F(Form1SoundTests, PressAndRelease_RepeatedNoteIsSentTwiceEachWay) {
    // No catalogue voicing doubles a note in unison, so the chord state is set as the chord
    // display would leave it for such a voicing (B string at fret 5 and open high e).
    startAt(5, 0);
    ui(*form).chordNotes = {45, 52, 57, 64, 64};
    ui(*form).chordNoteCount = 5;
    press();
    EXPECT_EQ(midiPort.messages, noteOns({45, 52, 57, 64, 64}));
    EXPECT_EQ(midiPort.messages.count(0x007F4090u), 2);
    midiPort.messages.clear();
    release();
    EXPECT_EQ(midiPort.messages, noteOffs({45, 52, 57, 64, 64}));
    EXPECT_EQ(midiPort.messages.count(0x00004080u), 2);
}

TEST_F(Form1SoundTests, Press_AnyMouseButtonSoundsTheChord) {
    startAt(5, 0);
    const QList<int> notes = notesOfFretNumbers(ui(*form).txtFretNumbers->text());
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        SCOPED_TRACE(int(button));
        midiPort.messages.clear();
        press(button);
        EXPECT_EQ(midiPort.messages, noteOns(notes));
        midiPort.messages.clear();
        release(button);
        EXPECT_EQ(midiPort.messages, noteOffs(notes));
    }
}

TEST_F(Form1SoundTests, Keyboard_ClicksTheButtonButSoundsNothing) {
    startAt(5, 0);
    QSignalSpy clicks(ui(*form).PushButton3, &PushButton::clicked);
    QTest::keyClick(ui(*form).PushButton3, Qt::Key_Space);
    QTest::keyClick(ui(*form).PushButton3, Qt::Key_Enter);
    EXPECT_GE(clicks.count(), 1); // the key did reach the button
    EXPECT_TRUE(midiPort.messages.isEmpty());
}

TEST_F(Form1SoundTests, Release_SilencesTheNotesOfThePressNotOfTheNewChord) {
    startAt(5, 0);
    const QList<int> pressed = notesOfFretNumbers(ui(*form).txtFretNumbers->text());
    press();
    midiPort.messages.clear();
    ui(*form).choosePitch(2); // the chord on screen changes while the button is held
    ASSERT_NE(notesOfFretNumbers(ui(*form).txtFretNumbers->text()), pressed);
    release();
    EXPECT_EQ(midiPort.messages, noteOffs(pressed));
    // A second release has nothing left to silence.
    midiPort.messages.clear();
    release();
    EXPECT_TRUE(midiPort.messages.isEmpty());
}

TEST_F(Form1SoundTests, NoDevice_MessageOnceAtStartAndPressSendsNothing) {
    midiPort.openResult = 2;
    startAt(5, 0);
    EXPECT_NE(ui(*form).sound.midi().midiOpenResult(), 0);
    EXPECT_EQ(messages.informationBoxes, QStringList{midiUnavailableBox});
    press();
    release();
    EXPECT_TRUE(midiPort.messages.isEmpty());
    EXPECT_EQ(messages.informationBoxes, QStringList{midiUnavailableBox});
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
}

TEST_F(Form1SoundTests, Close_WhileSoundingSendsNoteOffsBeforeClosingThePort) {
    startWithSequencePortAt(5, 0);
    press();
    sequencePort.sequence.clear();
    form->close();
    EXPECT_EQ(sequencePort.sequence,
              (QStringList{"send 00003080", "send 00003780", "send 00003c80", "send 00004080",
                           "send 00004380", "send 00004880", "close"}));
}

TEST_F(Form1SoundTests, Close_WithNothingSoundingOnlyClosesThePort) {
    startWithSequencePortAt(5, 0);
    press();
    release();
    sequencePort.sequence.clear();
    form->close();
    EXPECT_EQ(sequencePort.sequence, QStringList{"close"});
}

TEST_F(Form1SoundTests, FailingSend_ShowsBoxAtLine102AndGoesOnWithTheNextNote) {
    sequencePort.failingNote = 60;
    startWithSequencePortAt(5, 0);
    const QString detail = QStringLiteral(
        " at line 102\r\rPlease email screenshot of this message to support@strumvane.example");
    press();
    EXPECT_EQ(
        messages.errorBoxes,
        QStringList{"Permission denied\r\nin Strumvane2021/08/31.Form1.PushButton3_MouseDown" +
                    detail});
    EXPECT_EQ(sequencePort.messages,
              (QList<quint32>{0x007F3090, 0x007F3790, 0x007F4090, 0x007F4390, 0x007F4890}));
    messages.errorBoxes.clear();
    sequencePort.messages.clear();
    sequencePort.failingNote = 64;
    release();
    EXPECT_EQ(messages.errorBoxes,
              QStringList{"Permission denied\r\nin Strumvane2021/08/31.Form1.PushButton3_MouseUp" +
                          detail});
    EXPECT_EQ(sequencePort.messages,
              (QList<quint32>{0x00003080, 0x00003780, 0x00004380, 0x00004880}));
}
