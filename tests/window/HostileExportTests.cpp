// The export commands against a hostile disk and a restless user: output folder texts that name
// no folder, a folder removed in the middle of a save-all run, a disk that fills up, and other
// commands clicked while a save-all run yields to the event loop.
#include "SaveAllFixture.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "support/FileTestSupport.h"
#include "support/Printers.h"
#include "window/ChartPicture.h"
#include "window/ProgressBar.h"
#include "window/PushButton.h"
#include "writers/ImageFolder.h"
#include "writers/JpegFailure.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSet>
#include <QSignalBlocker>
#include <QTimer>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString doneBox = QStringLiteral("Strumvane|Done.");
const QString folderMissingBox =
    QStringLiteral("Strumvane|Folder does not exist. Please select another folder.");

QString errorBox(const QString& description, const char* procedure, int line) {
    return description + QStringLiteral("\r\nin Strumvane2021/08/31.Form1.%1 at line %2\r\r"
                                        "Please email screenshot of this message to "
                                        "support@strumvane.example")
                             .arg(QLatin1String(procedure))
                             .arg(line);
}

// The save-all stems of the first `lineCount` lines in run order, worked out from the
// catalogue: chord name, a blank, the note names, with "/", "+" and "\" made "_".
QStringList runStems(int lineCount) {
    QStringList stems;
    const auto entries = ChordCatalogue::entries();
    for (int line = 0; line < lineCount; ++line) {
        const ChordEntry& entry = entries[line];
        for (qint16 pitch = 0; pitch < 12; ++pitch) {
            const ChordTheory::PlacedChord placed = ChordTheory::placeChord(
                QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), pitch);
            QString stem = ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType),
                                                         pitch, placed.rootShift) +
                           u' ' + placed.noteNames;
            for (QChar& c : stem) {
                if (c == u'/' || c == u'+' || c == u'\\')
                    c = u'_';
            }
            stems << stem;
        }
    }
    return stems;
}

// The run's file names in call order: " 1" and " 2" of every stem.
QStringList runFileNames(int lineCount, Format format) {
    QStringList names;
    for (const QString& stem : runStems(lineCount))
        names << stem + " 1." + suffix(format) << stem + " 2." + suffix(format);
    return names;
}

QStringList sortedUnique(QStringList names) {
    names.sort();
    names.removeDuplicates();
    return names;
}

QImage decoded(const QString& fileName) {
    return QImageReader(fileName).read().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class HostileExportTests : public SaveAllFixture {
protected:
    // Every entry of a folder, hidden ones (an unfinished write's temporary file) included.
    static QStringList entriesOf(const QString& folder) {
        return QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    // Every file in `folder` is a whole chart image.
    static void expectWholeCharts(const QString& folder) {
        for (const QString& name : entriesOf(folder)) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(QImageReader(folder + u'/' + name).size(), QSize(516, 117));
            EXPECT_EQ(decoded(folder + u'/' + name).size(), QSize(516, 117));
        }
    }

    void expectRunEndedForTheUser(int line, int pitch) {
        EXPECT_FALSE(ui(*form).files.isSavingAll());
        EXPECT_EQ(ui(*form).ListView1->currentRow(), line);
        EXPECT_EQ(ui(*form).Pitch, pitch);
        EXPECT_TRUE(ui(*form).Option1[pitch]->isChecked());
        EXPECT_EQ(storedSetting(QStringLiteral("Chords")), QString::number(line));
        EXPECT_EQ(storedSetting(QStringLiteral("Pitch")), QString::number(pitch));
        EXPECT_EQ(ui(*form).ProgressBar1->position(), 0);
        EXPECT_EQ(ui(*form).ProgressBar1->text(), QStringLiteral("Progress Bar"));
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    }
};

// Folder texts a user can type or a damaged store can hold that name no usable folder: every
// command shows the folder message and asks the writer for nothing.
TEST_F(HostileExportTests, FolderTextNamingNoFolder_FolderMessageForEveryCommand) {
    const QString aFile = temp.filePath(QStringLiteral("notes.txt"));
    FileTestSupport::writeAll(aFile, "not a folder");
    QFile::link(aFile, temp.filePath(QStringLiteral("link-to-file")));
    QFile::link(temp.filePath(QStringLiteral("gone")), temp.filePath(QStringLiteral("dangling")));
    const QString texts[] = {
        aFile + u'/',
        aFile + QStringLiteral("/sub/"),
        temp.filePath(QStringLiteral("link-to-file")) + u'/',
        temp.filePath(QStringLiteral("dangling")) + u'/',
        out + u'/' + QChar(u'\0') + u'/',
        QString::fromUtf8("\0", 1),
        QStringLiteral("/") + QString(5000, u'd') + u'/',
        QStringLiteral("\n"),
        QStringLiteral("   "),
    };
    for (const QString& text : texts) {
        for (int command : {1, 2, 4}) {
            SCOPED_TRACE("folder '" + text.left(80).toStdString() + "' command " +
                         std::to_string(command));
            startSaving(Format::Jpg, 2, 1);
            ui(*form).setFolderText(text);
            PushButton* button = command == 1   ? ui(*form).PushButton1
                                 : command == 2 ? ui(*form).PushButton2
                                                : ui(*form).PushButton4;
            button->click();
            EXPECT_EQ(messages.informationBoxes, QStringList{folderMissingBox});
            EXPECT_TRUE(messages.errorBoxes.isEmpty());
            EXPECT_TRUE(fileWriter.calls.isEmpty());
            expectRunEndedForTheUser(2, 1);
        }
    }
    EXPECT_TRUE(entriesOf(out).isEmpty());
}

// The folder disappears after ten files (a removable drive pulled out) and comes back before
// the thirtieth: each file in between gets its own box, the files written after the return are
// whole, nothing unfinished is left behind, and the run ends with "Done.".
TEST_F(HostileExportTests, SaveAll_FolderRemovedDuringRunOneBoxPerLostFile) {
    const struct {
        Format format;
        QString description;
        int firstLine;
        int secondLine;
    } cases[] = {
        {Format::Bmp, QStringLiteral("Path not found"), 138, 140},
        {Format::Jpg, QStringLiteral("Cannot save the image. GDI+ Error:7"), 144, 146},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(suffix(c.format).toStdString());
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        messages = FakeMessageBoxes();
        startSaving(c.format, 1, 4);
        keepChordLines(2);
        fileWriter.writeFiles = true;
        fileWriter.failWhen = [&](const QString&) {
            if (fileWriter.calls.size() == 11) {
                EXPECT_TRUE(QDir(out).removeRecursively());
            }
            if (fileWriter.calls.size() == 31) {
                EXPECT_TRUE(QDir().mkpath(out));
            }
            return false;
        };
        ui(*form).PushButton4->click();

        const QStringList names = runFileNames(2, c.format);
        ASSERT_EQ(fileWriter.calls.size(), names.size());
        QStringList expectedBoxes;
        for (int call = 10; call < 30; ++call)
            expectedBoxes << errorBox(c.description, "PushButton4_Click",
                                      call % 2 == 0 ? c.firstLine : c.secondLine);
        EXPECT_EQ(messages.errorBoxes, expectedBoxes);
        EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
        EXPECT_EQ(entriesOf(out), sortedUnique(names.mid(30)));
        expectWholeCharts(out);
        expectRunEndedForTheUser(1, 4);
    }
}

// The folder is moved away after ten files (renamed by a file manager): the run keeps writing
// into it where it now is, every file whole, without a box; a temporary file that a killed
// run left there is gone, and no temporary file of this run is left.
TEST_F(HostileExportTests, SaveAll_FolderMovedDuringRunGetsEveryFileAndLosesStaleTemporaries) {
    const pid_t dead = fork();
    if (dead == 0)
        _exit(0);
    waitpid(dead, nullptr, 0);
    const QString stale = QString::fromLatin1(ImageFolder::temporaryName(dead, 1));
    FileTestSupport::writeAll(out + u'/' + stale, "half a chart");
    const QString moved = temp.filePath(QStringLiteral("moved"));
    startSaving(Format::Bmp, 1, 4);
    keepChordLines(2);
    fileWriter.failWhen = [&](const QString&) {
        if (fileWriter.calls.size() == 11) {
            EXPECT_TRUE(QDir().rename(out, moved));
        }
        return false;
    };
    ui(*form).PushButton4->click();

    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    EXPECT_FALSE(QFileInfo::exists(out));
    EXPECT_EQ(entriesOf(moved), sortedUnique(runFileNames(2, Format::Bmp)));
    expectWholeCharts(moved);
}

// A folder text that is no exact file name (a lone UTF-16 surrogate from a damaged store):
// written under a changed name, the files could land on others, so every command stops at its
// folder check with one box and writes nothing.
TEST_F(HostileExportTests, FolderTextThatIsNoExactName_OneBoxAtTheFolderCheck) {
    const QString text = out + u'/' + QChar(0xD800) + u'/';
    const char* procedures[] = {"PushButton1_Click", "PushButton2_Click", "PushButton4_Click"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(procedures[i]);
        startSaving(Format::Jpg, 2, 1);
        ui(*form).setFolderText(text);
        form->findChild<PushButton*>(QString::fromLatin1(procedures[i]).section(u'_', 0, 0))
            ->click();
        EXPECT_EQ(
            messages.errorBoxes,
            QStringList{errorBox(QStringLiteral("Bad file name or number"), procedures[i], 106)});
        EXPECT_TRUE(messages.informationBoxes.isEmpty());
        EXPECT_TRUE(fileWriter.calls.isEmpty());
        expectRunEndedForTheUser(2, 1);
    }
    EXPECT_TRUE(entriesOf(out).isEmpty());
}

// Three writer threads, and every fifth file of the run fails: the threads finish files out of
// order, yet the boxes come in file order, one per failed file, and "Done." comes last.
TEST_F(HostileExportTests, SaveAll_EveryFifthFileFailingOnThreeThreadsBoxesInFileOrder) {
    startSaving(Format::Jpg, 1, 4);
    keepChordLines(2);
    ui(*form).files.setWriteThreads(3);
    const QStringList names = runFileNames(2, Format::Jpg);
    QSet<QString> failing;
    for (qsizetype i = 4; i < names.size(); i += 5)
        failing.insert(names[i]);
    fileWriter.writeFiles = false;
    fileWriter.failWhen = [&](const QString& path) {
        return failing.contains(QFileInfo(path).fileName());
    };
    ui(*form).PushButton4->click();

    QStringList expectedBoxes;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (failing.contains(names[i]))
            expectedBoxes << errorBox(QStringLiteral("Permission denied"), "PushButton4_Click",
                                      i % 2 == 0 ? 144 : 146);
    }
    EXPECT_EQ(messages.errorBoxes, expectedBoxes);
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    EXPECT_EQ(sortedUnique(fileWriter.calls), sortedUnique([&] {
                  QStringList paths;
                  for (const QString& name : names)
                      paths << out + u'/' + name;
                  return paths;
              }()));
    expectRunEndedForTheUser(1, 4);
}

// The disk fills up after twenty files. The fake fails as the real writers do when the system
// answers "no space left": a BMP write with "Path/File access error", a JPEG write with the
// JPEG writer's own failure. Every later file gets its box, the run and a following command
// still end with "Done.".
TEST_F(HostileExportTests, SaveAll_DiskFullOneBoxPerFileThenDone) {
    const struct {
        Format format;
        Failure failure;
        int firstLine;
        int secondLine;
    } cases[] = {
        {Format::Bmp, Failure(75, QStringLiteral("Path/File access error")), 138, 140},
        {Format::Jpg, JpegFailure::withStatus(JpegFailure::Win32Error), 144, 146},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(suffix(c.format).toStdString());
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        messages = FakeMessageBoxes();
        startSaving(c.format, 0, 11);
        keepChordLines(2);
        fileWriter.writeFiles = true;
        fileWriter.failWhen = [&](const QString&) -> bool {
            if (fileWriter.calls.size() > 20)
                throw c.failure;
            return false;
        };
        ui(*form).PushButton4->click();

        const QStringList names = runFileNames(2, c.format);
        ASSERT_EQ(fileWriter.calls.size(), names.size());
        QStringList expectedBoxes;
        for (qsizetype call = 20; call < names.size(); ++call)
            expectedBoxes << errorBox(c.failure.description(), "PushButton4_Click",
                                      call % 2 == 0 ? c.firstLine : c.secondLine);
        EXPECT_EQ(messages.errorBoxes, expectedBoxes);
        EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
        EXPECT_EQ(entriesOf(out), sortedUnique(names.mid(0, 20)));
        expectWholeCharts(out);
        expectRunEndedForTheUser(0, 11);

        // The disk is still full for the next command.
        messages = FakeMessageBoxes();
        ui(*form).PushButton1->click();
        EXPECT_EQ(messages.errorBoxes,
                  (QStringList{errorBox(c.failure.description(), "PushButton1_Click",
                                        c.format == Format::Bmp ? 110 : 116),
                               errorBox(c.failure.description(), "PushButton1_Click",
                                        c.format == Format::Bmp ? 112 : 118)}));
        EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    }
}

// Another command clicked while the run yields to the event loop between lines. The click does
// what it always does at that moment; the run goes on with its own next chord, writes its whole
// file set and ends on the user's chord with "Done.".
TEST_F(HostileExportTests, SaveAll_OtherCommandsClickedDuringRun) {
    const QString otherFolder = temp.filePath(QStringLiteral("other"));
    const struct {
        const char* name;
        std::function<void(Form1&)> click;
        QStringList extraFiles; // written by the click itself, into `out`
        int extraDoneBoxes;
    } cases[] = {
        {"Save Charts Above",
         [](Form1& f) { ui(f).PushButton1->click(); },
         {"Chord Chart 1.bmp", "Chord Chart 2.bmp"},
         1},
        {"Save A Blank Chart",
         [](Form1& f) { ui(f).PushButton2->click(); },
         {"Blank Chart.bmp"},
         1},
        {"browse for a folder", [](Form1& f) { ui(f).PushButton7->click(); }, {}, 0},
        {"Pitch F#", [](Form1& f) { ui(f).Option1[6]->click(); }, {}, 0},
        {"list line 0", [](Form1& f) { ui(f).ListView1->setCurrentRow(0); }, {}, 0},
        {"Left Handed", [](Form1& f) { ui(f).chkLeftHanded->click(); }, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        QDir(otherFolder).removeRecursively();
        QDir().mkpath(otherFolder);
        messages = FakeMessageBoxes();
        folderDialog.answer = otherFolder;
        startSaving(Format::Bmp, 2, 9);
        keepChordLines(3);
        bool leftHandedBefore = ui(*form).chkLeftHanded->isChecked();

        // The run lets it through before line 1, after line 0's files are queued.
        QImage shownAtClick;
        bool clicked = false;
        atLine(1, [&] {
            shownAtClick = ui(*form).Picture1->surface().image().copy();
            clicked = true;
            c.click(*form);
        });
        ui(*form).PushButton4->click();
        ASSERT_TRUE(clicked) << "the click must come while the run goes on";
        EXPECT_FALSE(ui(*form).files.isSavingAll());

        const QStringList runNames = runFileNames(3, Format::Bmp);
        QStringList runCalls;
        QStringList extraCalls;
        for (const QString& call : fileWriter.calls) {
            const QString name = QFileInfo(call).fileName();
            (c.extraFiles.contains(name) ? extraCalls : runCalls) << name;
        }
        EXPECT_EQ(runCalls, runNames);
        EXPECT_EQ(extraCalls, c.extraFiles);
        EXPECT_TRUE(messages.errorBoxes.isEmpty()) << messages.errorBoxes.value(0).toStdString();
        QStringList expectedInfo;
        for (int i = 0; i < c.extraDoneBoxes; ++i)
            expectedInfo << doneBox;
        expectedInfo << doneBox;
        EXPECT_EQ(messages.informationBoxes, expectedInfo);

        // Files before the browse land in the old folder, the rest in the chosen one.
        QStringList onDisk = entriesOf(out);
        if (QString(c.name) == "browse for a folder") {
            EXPECT_EQ(ui(*form).Text2->text(), otherFolder + u'/');
            onDisk += entriesOf(otherFolder);
            EXPECT_EQ(entriesOf(out), sortedUnique(runNames.mid(0, 24)));
            expectWholeCharts(otherFolder);
        }
        EXPECT_EQ(sortedUnique(onDisk), sortedUnique(runNames + c.extraFiles));
        expectWholeCharts(out);
        if (QString(c.name) == "Save Charts Above") {
            // The chart on screen at the click: the run's last chord of line 0.
            EXPECT_EQ(decoded(out + "/Chord Chart 1.bmp"),
                      shownAtClick.convertToFormat(QImage::Format_RGB32));
        }
        if (QString(c.name) == "Left Handed") {
            // The charts after the click are mirrored, and the option stays as clicked.
            EXPECT_NE(ui(*form).chkLeftHanded->isChecked(), leftHandedBefore);
            ChartSurface mirrored;
            drawChordChart(mirrored, ChordChartKind::Fingering, ChordCatalogue::entries()[2], 9,
                           true);
            EXPECT_EQ(ui(*form).Picture1->surface().image(), mirrored.image());
        }
        expectRunEndedForTheUser(2, 9);
    }
}
