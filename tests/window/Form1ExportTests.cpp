// The three export commands of the main window, writing real files into a temporary folder.
#include "SaveAllFixture.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "chart/ChartRenderer.h"
#include "chart/ChartSurface.h"
#include "chart/ChordChart.h"
#include "support/FileTestSupport.h"
#include "support/Printers.h"
#include "window/ChartPicture.h"
#include "window/MainWindowCloser.h"
#include "window/ProgressBar.h"
#include "window/PushButton.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTimer>
#include <cmath>
#include <csignal>
#include <iostream>

namespace {

const QString doneBox = QStringLiteral("Strumvane|Done.");
const QString folderMissingBox =
    QStringLiteral("Strumvane|Folder does not exist. Please select another folder.");

QString errorBox(const QString& description, int line) {
    return description +
           QStringLiteral("\r\nin Strumvane2021/08/31.Form1.PushButton4_Click at line %1\r\r"
                          "Please email screenshot of this message to support@strumvane.example")
               .arg(line);
}

// Decodes an image file, checking that its content is of the format its name says.
QImage decode(const QString& fileName, Format format) {
    QImageReader reader(fileName);
    const QByteArray expected = format == Format::Bmp ? "bmp" : "jpeg";
    EXPECT_EQ(reader.format(), expected) << fileName.toStdString();
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Mean difference per colour channel, 0..255; a size mismatch counts as completely different.
double meanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 255;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            sum += std::abs(qRed(p[col]) - qRed(q[col])) +
                   std::abs(qGreen(p[col]) - qGreen(q[col])) +
                   std::abs(qBlue(p[col]) - qBlue(q[col]));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

// A JPEG at quality 100 stays this close to its picture; different charts are far apart.
constexpr double jpegTolerance = 1.5;

// Checks a decoded file against the picture it was written from: equal for BMP, within the
// JPEG tolerance for JPG.
void expectSamePicture(const QImage& decoded, const QImage& picture, Format format) {
    ASSERT_EQ(decoded.size(), QSize(516, 117));
    if (format == Format::Bmp)
        EXPECT_EQ(decoded, picture.convertToFormat(QImage::Format_RGB32));
    else
        EXPECT_LT(meanDifference(decoded, picture), jpegTolerance);
}

QImage freshChart(ChordChartKind kind, int line, int pitch, bool leftHanded = false) {
    ChartSurface surface;
    drawChordChart(surface, kind, ChordCatalogue::entries()[line], qint16(pitch), leftHanded);
    return surface.image();
}

// The save-all stem, written out independently: "/", "+" and "\" become "_".
QString stemOf(const QString& chordName, const QString& noteNames) {
    QString stem;
    for (const QChar c : chordName + u' ' + noteNames)
        stem += (c == u'/' || c == u'+' || c == u'\\') ? QChar(u'_') : c;
    return stem;
}

// The chord (line, Pitch) that the save-all run shows for each of its stems, in run order.
struct RunChord {
    QString stem;
    int line;
    int pitch;
};
QList<RunChord> runChords(int lineCount) {
    QList<RunChord> chords;
    const auto entries = ChordCatalogue::entries();
    for (int line = 0; line < lineCount; ++line) {
        const ChordEntry& entry = entries[line];
        for (qint16 pitch = 0; pitch < 12; ++pitch) {
            const ChordTheory::PlacedChord placed = ChordTheory::placeChord(
                QString::fromLatin1(entry.fretPattern), QString::fromLatin1(entry.spelling), pitch);
            const QString name = ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType),
                                                               pitch, placed.rootShift);
            chords << RunChord{stemOf(name, placed.noteNames), line, pitch};
        }
    }
    return chords;
}

} // namespace

class Form1ExportTests : public SaveAllFixture {
protected:
    QStringList filesInOut() const {
        return QDir(out).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    }

    void expectAtRest() {
        EXPECT_EQ(ui(*form).ProgressBar1->position(), 0);
        EXPECT_EQ(ui(*form).ProgressBar1->text(), QStringLiteral("Progress Bar"));
        EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    }

    void expectUsersChoiceBack(int line, int pitch) {
        EXPECT_EQ(ui(*form).ListView1->currentRow(), line);
        EXPECT_EQ(ui(*form).Pitch, pitch);
        EXPECT_TRUE(ui(*form).Option1[pitch]->isChecked());
        EXPECT_EQ(storedSetting(QStringLiteral("Chords")), QString::number(line));
        EXPECT_EQ(storedSetting(QStringLiteral("Pitch")), QString::number(pitch));
    }
};

TEST_F(Form1ExportTests, FormatButtons_StoreTheirNumber) {
    startSaving(Format::Jpg);
    ui(*form).Option3->click();
    EXPECT_EQ(storedSetting(QStringLiteral("Save Option")), QStringLiteral("3"));
    ui(*form).Option2->click();
    EXPECT_EQ(storedSetting(QStringLiteral("Save Option")), QStringLiteral("2"));
}

TEST_F(Form1ExportTests, SaveChartsAbove_WritesExactlyTheTwoChartsOnScreen) {
    for (const Format format : {Format::Bmp, Format::Jpg}) {
        SCOPED_TRACE(suffix(format).toStdString());
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        startSaving(format);
        ui(*form).PushButton1->click();
        const QString ext = suffix(format);
        EXPECT_EQ(filesInOut(), (QStringList{"Chord Chart 1." + ext, "Chord Chart 2." + ext}));
        expectSamePicture(decode(out + "/Chord Chart 1." + ext, format),
                          ui(*form).Picture1->surface().image(), format);
        expectSamePicture(decode(out + "/Chord Chart 2." + ext, format),
                          ui(*form).Picture2->surface().image(), format);
        EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
        EXPECT_TRUE(messages.errorBoxes.isEmpty());
        if (format == Format::Jpg) {
            EXPECT_EQ(fileWriter.qualities, (QList<quint8>{100, 100}));
        }
    }
}

TEST_F(Form1ExportTests, SaveBlankChart_WritesTheGridWithoutMarksOrTitle) {
    const struct {
        Format format;
        bool leftHanded;
    } cases[] = {{Format::Bmp, false}, {Format::Jpg, false}, {Format::Bmp, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(suffix(c.format).toStdString() + (c.leftHanded ? " left" : " right"));
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        startSaving(c.format);
        ui(*form).chkLeftHanded->setChecked(c.leftHanded);
        ui(*form).PushButton2->click();
        const QString file = "Blank Chart." + suffix(c.format);
        EXPECT_EQ(filesInOut(), QStringList{file});
        ChartSurface grid;
        ChartRenderer::DrawChartGrid(grid, c.leftHanded);
        expectSamePicture(decode(out + u'/' + file, c.format), grid.image(), c.format);
        EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    }
}

TEST_F(Form1ExportTests, Commands_WithoutAFolderShowTheFolderMessageAndWriteNothing) {
    const QString aFile = temp.filePath(QStringLiteral("notes.txt"));
    FileTestSupport::writeAll(aFile, "not a folder");
    const QString folderTexts[] = {temp.filePath(QStringLiteral("missing/")), aFile, QString()};
    for (const QString& folderText : folderTexts) {
        for (int command : {1, 2, 4}) {
            SCOPED_TRACE("folder '" + folderText.toStdString() + "' command " +
                         std::to_string(command));
            startSaving(Format::Bmp);
            ui(*form).setFolderText(folderText);
            PushButton* button = command == 1   ? ui(*form).PushButton1
                                 : command == 2 ? ui(*form).PushButton2
                                                : ui(*form).PushButton4;
            button->click();
            EXPECT_EQ(messages.informationBoxes, QStringList{folderMissingBox});
            EXPECT_TRUE(messages.errorBoxes.isEmpty());
            EXPECT_TRUE(fileWriter.calls.isEmpty());
            EXPECT_TRUE(filesInOut().isEmpty());
            expectAtRest();
            expectUsersChoiceBack(5, 3);
        }
    }
}

TEST_F(Form1ExportTests, SaveChartsAbove_ReplacesExistingFilesWithoutAsking) {
    FileTestSupport::writeAll(out + "/Chord Chart 1.jpg", "an old file");
    startSaving(Format::Jpg);
    ui(*form).PushButton1->click();
    ui(*form).PushButton1->click();
    EXPECT_EQ(filesInOut(), (QStringList{"Chord Chart 1.jpg", "Chord Chart 2.jpg"}));
    expectSamePicture(decode(out + "/Chord Chart 1.jpg", Format::Jpg),
                      ui(*form).Picture1->surface().image(), Format::Jpg);
    EXPECT_EQ(messages.informationBoxes, (QStringList{doneBox, doneBox}));
}

TEST_F(Form1ExportTests, SaveChartsAbove_FolderTypedWithoutSeparatorGetsTheFilesInside) {
    startSaving(Format::Bmp);
    ui(*form).setFolderText(out);
    ui(*form).PushButton1->click();
    EXPECT_EQ(filesInOut(), (QStringList{"Chord Chart 1.bmp", "Chord Chart 2.bmp"}));
    EXPECT_FALSE(QFileInfo::exists(out + "Chord Chart 1.bmp"));
}

TEST_F(Form1ExportTests, SaveChartsAbove_FailingWriteShowsBoxAndStillTriesTheOther) {
    startSaving(Format::Jpg);
    fileWriter.failWhen = [](const QString& name) { return name.endsWith(" 1.jpg"); };
    ui(*form).PushButton1->click();
    EXPECT_EQ(messages.errorBoxes,
              QStringList{"Permission denied\r\nin Strumvane2021/08/31.Form1.PushButton1_Click at "
                          "line 116\r\rPlease email screenshot of this message to "
                          "support@strumvane.example"});
    EXPECT_EQ(filesInOut(), QStringList{"Chord Chart 2.jpg"});
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
}

// Two lines of the list in BMP: every file named by its chord and equal to a fresh drawing.
TEST_F(Form1ExportTests, SaveAll_ShortListInBmpWritesEveryChordOfEveryPitch) {
    startSaving(Format::Bmp, 1, 4);
    keepChordLines(2);
    ui(*form).PushButton4->click();

    const QList<RunChord> chords = runChords(2);
    QStringList expectedCalls;
    QMap<QString, RunChord> lastForStem;
    for (const RunChord& chord : chords) {
        expectedCalls << out + u'/' + chord.stem + " 1.bmp" << out + u'/' + chord.stem + " 2.bmp";
        lastForStem.insert(chord.stem, chord);
    }
    EXPECT_EQ(fileWriter.calls, expectedCalls);
    QStringList expectedFiles;
    for (const QString& stem : lastForStem.keys())
        expectedFiles << stem + " 1.bmp" << stem + " 2.bmp";
    expectedFiles.sort();
    EXPECT_EQ(filesInOut(), expectedFiles);
    for (const RunChord& chord : lastForStem) {
        SCOPED_TRACE(chord.stem.toStdString());
        expectSamePicture(decode(out + u'/' + chord.stem + " 1.bmp", Format::Bmp),
                          freshChart(ChordChartKind::Fingering, chord.line, chord.pitch),
                          Format::Bmp);
        expectSamePicture(decode(out + u'/' + chord.stem + " 2.bmp", Format::Bmp),
                          freshChart(ChordChartKind::Interval, chord.line, chord.pitch),
                          Format::Bmp);
    }
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    expectUsersChoiceBack(1, 4);
    expectAtRest();
}

// The one full run: every chord at every Pitch in JPG (about 650 MB, removed afterwards).
TEST_F(Form1ExportTests, SaveAll_JpgWritesTheWholeCatalogueAndRestoresTheUsersChoice) {
    startSaving(Format::Jpg, 5, 3);
    const int lineCount = ui(*form).ListView1->count();
    ASSERT_EQ(lineCount, 611);

    // What the window shows while it lets the event loop run after line 305.
    Qt::CursorShape cursorDuringRun = Qt::ArrowCursor;
    QString progressText;
    double progressPosition = -1;
    atLine(306, [&] {
        cursorDuringRun = form->cursor().shape();
        progressText = ui(*form).ProgressBar1->text();
        progressPosition = ui(*form).ProgressBar1->position();
    });

    QElapsedTimer clock;
    clock.start();
    ui(*form).PushButton4->click();
    const double seconds = clock.elapsed() / 1000.0;
    std::cout << "[ MEASURED ] save-all JPG: " << seconds << " s for " << fileWriter.calls.size()
              << " files" << std::endl;
    RecordProperty("SaveAllSeconds", std::to_string(seconds));

    EXPECT_EQ(fileWriter.calls.size(), 14664);
    EXPECT_TRUE(messages.errorBoxes.isEmpty()) << messages.errorBoxes.value(0).toStdString();
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    EXPECT_EQ(cursorDuringRun, Qt::WaitCursor);
    EXPECT_EQ(progressText, QStringLiteral("Processing chords, please wait..."));
    EXPECT_NEAR(progressPosition, 305.0 / 611.0 * 100.0, 1e-9);
    expectUsersChoiceBack(5, 3);
    expectAtRest();

    const QList<RunChord> chords = runChords(lineCount);
    QMap<QString, RunChord> firstForStem;
    QMap<QString, RunChord> lastForStem;
    for (const RunChord& chord : chords) {
        if (!firstForStem.contains(chord.stem))
            firstForStem.insert(chord.stem, chord);
        lastForStem.insert(chord.stem, chord);
    }
    QStringList expectedFiles;
    for (const QString& stem : lastForStem.keys())
        expectedFiles << stem + " 1.jpg" << stem + " 2.jpg";
    expectedFiles.sort();
    EXPECT_LT(expectedFiles.size(), 14664);
    EXPECT_EQ(filesInOut(), expectedFiles);

    // A few files against fresh drawings, among them a stem that two entries share, whose file
    // must hold the later entry's chart.
    QList<RunChord> samples = {chords.first(), chords[5 * 12 + 3], chords.last()};
    // Of the stems that two entries share, the one whose two charts differ most.
    const RunChord* shared = nullptr;
    RunChord sharedEarlier;
    double sharedDifference = 0;
    for (const RunChord& last : lastForStem) {
        const RunChord& first = firstForStem[last.stem];
        if (first.line == last.line)
            continue;
        const double difference =
            meanDifference(freshChart(ChordChartKind::Fingering, first.line, first.pitch),
                           freshChart(ChordChartKind::Fingering, last.line, last.pitch));
        if (difference > sharedDifference) {
            shared = &last;
            sharedEarlier = first;
            sharedDifference = difference;
        }
    }
    ASSERT_NE(shared, nullptr) << "no stem shared by two entries";
    samples << *shared;
    const QImage sharedOnDisk = decode(out + u'/' + shared->stem + " 1.jpg", Format::Jpg);
    EXPECT_LT(meanDifference(sharedOnDisk,
                             freshChart(ChordChartKind::Fingering, shared->line, shared->pitch)) *
                  2,
              meanDifference(sharedOnDisk, freshChart(ChordChartKind::Fingering, sharedEarlier.line,
                                                      sharedEarlier.pitch)))
        << shared->stem.toStdString() << ": the later entry's chart must be the one kept";
    for (const RunChord& chord : samples) {
        SCOPED_TRACE(chord.stem.toStdString());
        const QString stemPath = out + u'/' + chord.stem;
        const QImage fingering = decode(stemPath + " 1.jpg", Format::Jpg);
        EXPECT_LT(meanDifference(fingering,
                                 freshChart(ChordChartKind::Fingering, chord.line, chord.pitch)),
                  jpegTolerance);
        EXPECT_LT(meanDifference(decode(stemPath + " 2.jpg", Format::Jpg),
                                 freshChart(ChordChartKind::Interval, chord.line, chord.pitch)),
                  jpegTolerance);
    }
    QDir(out).removeRecursively();
}

TEST_F(Form1ExportTests, SaveAll_FilesThatCannotBeWrittenEachGetABoxAndRunEndsWithDone) {
    const struct {
        Format format;
        const char* failedSuffix;
        QString description;
        int line;
    } cases[] = {
        {Format::Bmp, " 1.bmp", QStringLiteral("Permission denied"), 138},
        {Format::Jpg, " 2.jpg", QStringLiteral("Cannot save the image. GDI+ Error:7"), 146},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(suffix(c.format).toStdString());
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        // Folders in the way of two files of the run: the real writer fails on them.
        const QList<RunChord> chords = runChords(2);
        const QString blocked[] = {chords[2].stem + c.failedSuffix,
                                   chords[17].stem + c.failedSuffix};
        for (const QString& name : blocked)
            QDir(out).mkdir(name);
        startSaving(c.format, 1, 0);
        keepChordLines(2);
        ui(*form).PushButton4->click();

        EXPECT_EQ(messages.errorBoxes,
                  (QStringList{errorBox(c.description, c.line), errorBox(c.description, c.line)}));
        EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
        EXPECT_EQ(fileWriter.calls.size(), 48);
        // Every file but the two is there and whole; nothing half-written is left behind.
        const QStringList files = filesInOut();
        EXPECT_EQ(files.size(), 46);
        for (const QString& file : files) {
            EXPECT_TRUE(file.endsWith(" 1." + suffix(c.format)) ||
                        file.endsWith(" 2." + suffix(c.format)))
                << file.toStdString();
            EXPECT_EQ(decode(out + u'/' + file, c.format).size(), QSize(516, 117));
        }
        expectUsersChoiceBack(1, 0);
        expectAtRest();
    }
}

TEST_F(Form1ExportTests, SaveAll_EveryWriteFailingGivesOneBoxPerFile) {
    startSaving(Format::Jpg, 0, 0);
    keepChordLines(2);
    fileWriter.writeFiles = false;
    fileWriter.failWhen = [](const QString&) { return true; };
    ui(*form).PushButton4->click();
    QStringList expected;
    for (int i = 0; i < 24; ++i)
        expected << errorBox("Permission denied", 144) << errorBox("Permission denied", 146);
    EXPECT_EQ(messages.errorBoxes, expected);
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    expectAtRest();
}

TEST_F(Form1ExportTests, SaveAll_ReadOnlyFolderGivesOneBoxPerFile) {
    const QString locked = FileTestSupport::readOnlyFolder(temp);
    if (locked.isEmpty())
        GTEST_SKIP() << "this process may write into read-only folders (root); the fake-writer "
                        "case covers the boxes";
    startSaving(Format::Bmp, 0, 0);
    keepChordLines(1);
    ui(*form).setFolderText(locked + u'/');
    ui(*form).PushButton4->click();
    QStringList expected;
    for (int i = 0; i < 12; ++i)
        expected << errorBox("Permission denied", 138) << errorBox("Permission denied", 140);
    EXPECT_EQ(messages.errorBoxes, expected);
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    EXPECT_TRUE(QDir(locked).entryList(QDir::Files).isEmpty());
}

TEST_F(Form1ExportTests, SaveAll_SecondClickDuringRunIsIgnored) {
    startSaving(Format::Jpg, 1, 2);
    keepChordLines(2);
    fileWriter.writeFiles = false;
    // Clicks arrive through the event loop that the run lets run, before line 0 and line 1.
    QTimer::singleShot(0, ui(*form).PushButton4, &QAbstractButton::click);
    atLine(1, [&] { ui(*form).PushButton4->click(); });
    ui(*form).PushButton4->click();
    EXPECT_EQ(fileWriter.calls.size(), 48);
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_FALSE(ui(*form).files.isSavingAll());
    expectUsersChoiceBack(1, 2);
}

// Closed while the files of line 0 are still queued or being written: the run stops queuing,
// the writer threads end with whole files or none, and nothing hangs.
TEST_F(Form1ExportTests, SaveAll_ClosingTheWindowEndsTheRunAtOnce) {
    startSaving(Format::Bmp, 3, 5);
    ui(*form).files.setWriteThreads(2);
    atLine(1, [&] { form->close(); });
    ui(*form).PushButton4->click();
    EXPECT_LE(fileWriter.calls.size(), 24);
    QStringList written;
    for (const QString& call : fileWriter.calls)
        written << QFileInfo(call).fileName();
    written.sort();
    written.removeDuplicates();
    EXPECT_EQ(filesInOut(), written);
    for (const QString& file : filesInOut())
        EXPECT_EQ(decode(out + u'/' + file, Format::Bmp).size(), QSize(516, 117));
    EXPECT_TRUE(messages.informationBoxes.isEmpty());
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_FALSE(ui(*form).files.isSavingAll());
    // The next start shows the user's chord, not the one the run had reached.
    EXPECT_EQ(storedSetting(QStringLiteral("Chords")), QStringLiteral("3"));
    EXPECT_EQ(storedSetting(QStringLiteral("Pitch")), QStringLiteral("5"));
}

TEST_F(Form1ExportTests, SaveAll_ClosingFromTheEventLoopWritesNothing) {
    startSaving(Format::Bmp, 3, 5);
    QTimer::singleShot(0, form.get(), &QWidget::close);
    ui(*form).PushButton4->click();
    EXPECT_TRUE(fileWriter.calls.isEmpty());
    EXPECT_TRUE(messages.informationBoxes.isEmpty());
    EXPECT_EQ(storedSetting(QStringLiteral("Chords")), QStringLiteral("3"));
    EXPECT_EQ(storedSetting(QStringLiteral("Pitch")), QStringLiteral("5"));
}

// A close request (the window manager's close or a signal, both through MainWindowCloser)
// made while a box is up: that box is the run's last, and the run ends as a close between
// lines ends it.
TEST_F(Form1ExportTests, SaveAll_CloseRequestWhileABoxIsUpEndsTheRunAfterThatBox) {
    const struct {
        const char* name;
        int closeAtBox;
        int writeThreads;
    } cases[] = {{"at the first box", 1, 1}, {"at the third box, two writers", 3, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(out).removeRecursively();
        QDir().mkpath(out);
        startSaving(Format::Bmp, 3, 5);
        keepChordLines(3);
        ui(*form).files.setWriteThreads(c.writeThreads);
        // Every fingering chart fails; the interval charts are written by the real writer.
        fileWriter.failWhen = [](const QString& path) { return path.endsWith(" 1.bmp"); };
        MainWindowCloser closer(*form);
        messages.whileUp = [&] {
            if (messages.errorBoxes.size() == c.closeAtBox)
                closer.close(SIGTERM);
        };
        // The closer ends the program's event loop, as it does in the program; a run that
        // never stops ends with 1.
        QTimer::singleShot(0, ui(*form).PushButton4, &QAbstractButton::click);
        QTimer::singleShot(30000, form.get(), [] { QCoreApplication::exit(1); });
        EXPECT_EQ(QCoreApplication::exec(), 0);
        messages.whileUp = nullptr;

        EXPECT_EQ(messages.errorBoxes.size(), c.closeAtBox);
        EXPECT_TRUE(messages.informationBoxes.isEmpty()); // no "Done."
        EXPECT_TRUE(closer.isClosed());
        EXPECT_EQ(closer.signalNumber(), SIGTERM);
        EXPECT_FALSE(ui(*form).files.isSavingAll());
        EXPECT_EQ(storedSetting(QStringLiteral("Chords")), QStringLiteral("3"));
        EXPECT_EQ(storedSetting(QStringLiteral("Pitch")), QStringLiteral("5"));
        // Only whole interval charts: no temporary file, no fingering chart, no later line.
        for (const QString& file : filesInOut()) {
            EXPECT_TRUE(file.endsWith(QStringLiteral(" 2.bmp"))) << file.toStdString();
            EXPECT_EQ(decode(out + u'/' + file, Format::Bmp).size(), QSize(516, 117));
        }
        EXPECT_LE(filesInOut().size(), 24);
    }
}

// The same for the command that writes the two charts on screen: the second is not written.
TEST_F(Form1ExportTests, SaveChartsAbove_CloseRequestWhileABoxIsUpWritesNothingMore) {
    startSaving(Format::Jpg);
    fileWriter.failWhen = [](const QString& name) { return name.endsWith(" 1.jpg"); };
    messages.whileUp = [&] { form->close(); };
    ui(*form).PushButton1->click();
    messages.whileUp = nullptr;
    EXPECT_EQ(messages.errorBoxes.size(), 1);
    EXPECT_TRUE(messages.informationBoxes.isEmpty());
    EXPECT_EQ(fileWriter.calls.size(), 1);
    EXPECT_TRUE(filesInOut().isEmpty());
}

TEST_F(Form1ExportTests, SaveAll_NoChordOnScreenWritesNothingAndLeavesLineAndPitch) {
    // A stored line beyond the list leaves the start without a chord on screen.
    storeSetting(QStringLiteral("Chords"), QStringLiteral("700"));
    storeSetting(QStringLiteral("Pitch"), QStringLiteral("7"));
    storeSetting(QStringLiteral("Folder"), out + u'/');
    startWindow();
    ASSERT_TRUE(ui(*form).txtFretNumbers->text().isEmpty());
    messages.informationBoxes.clear();
    messages.errorBoxes.clear();
    ui(*form).PushButton4->click();
    EXPECT_TRUE(fileWriter.calls.isEmpty());
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_EQ(messages.informationBoxes, QStringList{doneBox});
    EXPECT_EQ(ui(*form).ListView1->currentRow(), -1);
    EXPECT_EQ(ui(*form).Pitch, 7);
    EXPECT_EQ(storedSetting(QStringLiteral("Chords")), QStringLiteral("700"));
    EXPECT_EQ(storedSetting(QStringLiteral("Pitch")), QStringLiteral("7"));
    expectAtRest();
}
