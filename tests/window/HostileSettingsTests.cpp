// Settings as a damaged disk or a careless hand leaves them: random text and bytes in the numeric
// keys, numbers at and beyond the 16-bit limits, a whole INI file of noise, and a store that
// cannot be written. Start-up must always finish with a window in a sane state.
#include "base/Failure.h"
#include "catalogue/ChordCatalogue.h"
#include "catalogue/ChordTheory.h"
#include "shell/ApplicationError.h"
#include "shell/NumericText.h"
#include "support/Form1Fixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <algorithm>
#include <iostream>
#include <optional>
#include <random>
#include <variant>

namespace {

constexpr std::uint32_t fixedSeed = 20240611;

// What a numeric reader makes of a stored text: a value, or the failure it raises.
struct Converted {
    enum Kind { Value, TypeMismatch, Overflow } kind = Value;
    int value = 0;
    bool operator==(const Converted&) const = default;
};

// The conversion rule written out on its own terms, as a reference for parseInt16: blanks
// around, a sign, ASCII digits with an optional fraction, rounded half to even.
Converted referenceConversion(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral("\\A[ \\t]*([+-]?)([0-9]*)(?:\\.([0-9]*))?[ \\t]*\\z"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch() || (match.capturedLength(2) == 0 && match.capturedLength(3) == 0))
        return {Converted::TypeMismatch};
    QString whole = match.captured(2);
    while (whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.size() > 5)
        return {Converted::Overflow};
    long long magnitude = whole.isEmpty() ? 0 : whole.toLongLong();
    const QString fraction = match.captured(3);
    if (!fraction.isEmpty()) {
        static const QRegularExpression exactHalf(QStringLiteral("\\A50*\\z"));
        if (exactHalf.match(fraction).hasMatch())
            magnitude += magnitude % 2; // a half goes to the even neighbour
        else if (fraction[0] >= u'5')
            magnitude += 1;
    }
    const long long value = match.captured(1) == u"-" ? -magnitude : magnitude;
    if (value < -32768 || value > 32767)
        return {Converted::Overflow};
    return {Converted::Value, int(value)};
}

Converted actualConversion(const QString& text) {
    try {
        return {Converted::Value, parseInt16(text)};
    } catch (const Failure& failure) {
        if (failure.number() == 6)
            return {Converted::Overflow};
        EXPECT_EQ(failure.number(), 13) << failure.description().toStdString();
        return {Converted::TypeMismatch};
    }
}

std::string describe(const Converted& c) {
    switch (c.kind) {
    case Converted::Value:
        return std::to_string(c.value);
    case Converted::TypeMismatch:
        return "Type mismatch";
    case Converted::Overflow:
        return "Overflow";
    }
    return "?";
}

// A stored text shown readably in a failure message: control characters as \xNN, long texts
// cut, so that a failing value can be read off and tried again.
std::string printable(const QString& text) {
    std::string out;
    const QString shown = text.size() > 60 ? text.left(60) : text;
    for (const QChar c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c.unicode());
            out += hex;
        } else {
            out += QString(c).toStdString();
        }
    }
    if (text.size() > 60)
        out += "... (" + std::to_string(text.size()) + " characters)";
    return out;
}

// Values around the 16-bit limits, the list's and the Pitch buttons' edges, and the shapes of
// number the reader must accept or refuse.
QStringList boundaryValues() {
    QStringList values = {
        "-32769",
        "-32768",
        "32767",
        "32768",
        "65535",
        "65536",
        "1000000000",
        "1e9",
        "-1e9",
        "99999",
        "100000",
        "-99999",
        "0",
        "-0",
        "+0",
        "00000000000000000000035",
        "610",
        "611",
        "-1",
        "11",
        "12",
        "2",
        "3",
        "1",
        "35",
        "10.5",
        "11.5",
        "11.6",
        "2.5",
        "3.5",
        "1.5",
        "0.5",
        "-0.5",
        "-2.5",
        "32766.5",
        "32767.5",
        "32767.49999",
        "-32768.5",
        "-32768.50001",
        "610.5",
        "609.5",
        "2.4999999999999999999",
        "2.5000000000000000001",
        ".5",
        "5.",
        ".",
        "+",
        "-",
        "+-1",
        "--1",
        " 2 ",
        "\t3\t",
        " \t-0011.50\t ",
        "2 .5",
        "2. 5",
        "1,5",
        "0x10",
        "1e3",
        "١٢",
        "３",
        "",
        " ",
        "\t",
        "\n3",
        "3\n",
        "3\r",
        QString::fromUtf8("3\0", 2),
        QString::fromUtf8("\0"
                          "3",
                          2),
        QString::fromUtf8("1\0"
                          "2",
                          3),
        "\x01",
        "\x7f",
        "@Invalid()",
        "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)",
        "\"2\"",
        "'3'",
        "2;",
        "3 # note",
        "[Strumvane]",
        "Chords=5",
        "2,3",
        "\\",
        "\\0",
        QString(100000, u'7'),
        QString(100000, u'0') + u'3',
        QString(100000, u'x'),
    };
    return values;
}

// Random stored texts mixing the kinds of damage a store meets.
class ValueGenerator {
public:
    explicit ValueGenerator(std::uint32_t seed) : m_random(seed) {}

    QString next() {
        switch (pick(12)) {
        case 0: // near a limit
        {
            static const int limits[] = {-32768, 32767, 0, 11, 610, 65536};
            return QString::number(limits[pick(6)] + pick(7) - 3);
        }
        case 1:
            return QString::number(std::uniform_int_distribution<int>(-70000, 70000)(m_random));
        case 2: // a fraction, often a half
            return QString::number(std::uniform_int_distribution<int>(-40000, 40000)(m_random)) +
                   u'.' + (pick(2) ? QStringLiteral("5") : digits(1 + pick(6)));
        case 3: // blanks and signs around a small number
            return blanks() +
                   QString(QLatin1String(pick(3) == 0 ? "-"
                                         : pick(2)    ? "+"
                                                      : "")) +
                   digits(1 + pick(4)) + blanks();
        case 4:
            return asciiText(pick(12));
        case 5:
            return utf8Text(1 + pick(10));
        case 6:
            return QString();
        case 7: // control characters, NUL among them, around or inside a number
        {
            QString text = digits(1 + pick(3));
            text.insert(pick(text.size() + 1), QChar(char16_t(pick(32))));
            return text;
        }
        case 8:
            return QStringLiteral("1e") + digits(1);
        case 9: // very long, now and then
            return pick(20) == 0 ? QString(100000, QChar(u'0' + pick(10))) : digits(6 + pick(30));
        case 10:
            return QString::number(std::uniform_real_distribution<double>(-1e6, 1e6)(m_random), 'f',
                                   pick(4));
        default:
            return QString::number(pick(13)); // a good value for every key now and then
        }
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    QString digits(int n) {
        QString text;
        for (int i = 0; i < n; ++i)
            text += QChar(u'0' + pick(10));
        return text;
    }
    QString blanks() {
        QString text;
        for (int i = pick(3); i > 0; --i)
            text += pick(2) ? u' ' : u'\t';
        return text;
    }
    QString asciiText(int n) {
        QString text;
        for (int i = 0; i < n; ++i)
            text += QChar(char16_t(0x20 + pick(0x5f)));
        return text;
    }
    QString utf8Text(int n) {
        QString text;
        for (int i = 0; i < n; ++i) {
            static const char32_t starts[] = {0xa0, 0x400, 0x660, 0x3040, 0x4e00, 0xff10, 0x1f600};
            text += QString::fromUcs4(
                std::array<char32_t, 1>{starts[pick(7)] + char32_t(pick(64))}.data(), 1);
        }
        return text;
    }

    std::mt19937 m_random;
};

QStringList generatedValues(int count) {
    QStringList values = boundaryValues();
    ValueGenerator generator(fixedSeed);
    while (values.size() < count)
        values << generator.next();
    return values;
}

const QString startupLocation = QStringLiteral("in Strumvane2021/08/31.Form1.Form_Load ");

QString failureText(const Converted& c, int step, int rangeTop) {
    switch (c.kind) {
    case Converted::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case Converted::Overflow:
        return QStringLiteral("Overflow");
    case Converted::Value:
        if (c.value >= 0 && c.value <= rangeTop)
            return {};
        return step == 146 ? QStringLiteral("Control array element '%1' doesn't exist").arg(c.value)
                           : QStringLiteral("Invalid property value");
    }
    return {};
}

} // namespace

class HostileSettingsTests : public Form1Fixture {
protected:
    void restart() {
        form.reset();
        settings.reset();
        QFile::remove(settingsFile);
        messages = FakeMessageBoxes();
        settings = std::make_unique<SettingsStore>(settingsFile);
    }

    // The window after start-up, whatever the store held: one chord or none on show, a Pitch
    // button that matches Pitch, one format, and a list that still answers a click.
    void expectSaneWindow(const std::string& context) {
        SCOPED_TRACE(context);
        const int row = ui(*form).ListView1->currentRow();
        ASSERT_GE(ui(*form).Pitch, 0);
        ASSERT_LE(ui(*form).Pitch, 11);
        EXPECT_TRUE(ui(*form).Option1[ui(*form).Pitch]->isChecked());
        EXPECT_EQ(std::count_if(ui(*form).Option1.begin(), ui(*form).Option1.end(),
                                [](QRadioButton* b) { return b->isChecked(); }),
                  1);
        EXPECT_NE(ui(*form).Option2->isChecked(), ui(*form).Option3->isChecked());
        if (row < 0) {
            EXPECT_TRUE(ui(*form).txtChordName->text().isEmpty());
            EXPECT_TRUE(ui(*form).txtFretNumbers->text().isEmpty());
            EXPECT_TRUE(ui(*form).txtFingering->text().isEmpty());
            EXPECT_TRUE(ui(*form).txtChordSpelling->text().isEmpty());
        } else {
            expectFieldsDescribe(row, ui(*form).Pitch);
        }
        static const QRegularExpression boxForm(
            QStringLiteral("\\A[^\\r\\n]+\\r\\nin Strumvane2021/08/31\\.Form1\\.Form_Load at line "
                           "(144|146|148|150|154)\\r\\rPlease email screenshot of this message "
                           "to support@strumvane\\.example\\z"));
        for (const QString& box : messages.errorBoxes)
            EXPECT_TRUE(boxForm.match(box).hasMatch()) << printable(box);
        EXPECT_TRUE(messages.informationBoxes.isEmpty());

        // A click on a list line shows that line at the chosen Pitch.
        const int other = row == 7 ? 8 : 7;
        const qsizetype boxesBefore = messages.errorBoxes.size();
        ui(*form).ListView1->setCurrentRow(other);
        EXPECT_EQ(ui(*form).ListView1->currentRow(), other);
        expectFieldsDescribe(other, ui(*form).Pitch);
        EXPECT_EQ(messages.errorBoxes.size(), boxesBefore) << printable(messages.errorBoxes.last());
    }

    void expectFieldsDescribe(int row, int pitch) {
        const ChordEntry& entry = ChordCatalogue::entries()[row];
        const ChordTheory::PlacedChord placed =
            ChordTheory::placeChord(QString::fromLatin1(entry.fretPattern),
                                    QString::fromLatin1(entry.spelling), qint16(pitch));
        EXPECT_EQ(ui(*form).txtFretNumbers->text(), placed.fretNumbers);
        EXPECT_EQ(ui(*form).txtChordSpelling->text(), placed.noteNames);
        EXPECT_EQ(ui(*form).txtFingering->text(), QString::fromLatin1(entry.fingering));
        EXPECT_EQ(ui(*form).txtChordName->text(),
                  ChordTheory::chordDisplayName(QString::fromLatin1(entry.chordType), qint16(pitch),
                                                placed.rootShift));
    }

    // Stores the three numeric keys, starts the window and checks it against the reference:
    // which line, Pitch and format it shows and exactly which boxes it raised.
    void startWithNumericKeys(const QString& chords, const QString& pitch,
                              const QString& saveOption) {
        const std::string context = "seed " + std::to_string(fixedSeed) + " Chords='" +
                                    printable(chords) + "' Pitch='" + printable(pitch) +
                                    "' Save Option='" + printable(saveOption) + "'";
        SCOPED_TRACE(context);
        restart();
        storeSetting(QStringLiteral("Chords"), chords);
        storeSetting(QStringLiteral("Pitch"), pitch);
        storeSetting(QStringLiteral("Save Option"), saveOption);
        startWindow();

        const Converted line = referenceConversion(chords);
        const Converted pitchValue = referenceConversion(pitch);
        const Converted format = referenceConversion(saveOption);
        QStringList expectedBoxes;
        const QString lineFailure = failureText(line, 144, 610);
        const QString pitchFailure = failureText(pitchValue, 146, 11);
        if (!lineFailure.isEmpty())
            expectedBoxes << applicationErrorText(lineFailure, startupLocation, 144);
        if (!pitchFailure.isEmpty())
            expectedBoxes << applicationErrorText(pitchFailure, startupLocation, 146);
        if (format.kind != Converted::Value)
            expectedBoxes << applicationErrorText(
                format.kind == Converted::Overflow ? "Overflow" : "Type mismatch", startupLocation,
                150);
        EXPECT_EQ(messages.errorBoxes, expectedBoxes);

        EXPECT_EQ(ui(*form).ListView1->currentRow(), lineFailure.isEmpty() ? line.value : -1);
        EXPECT_EQ(ui(*form).Pitch, pitchFailure.isEmpty() ? pitchValue.value : 0);
        EXPECT_EQ(ui(*form).Option3->isChecked(),
                  format.kind == Converted::Value && format.value == 3);
        expectSaneWindow(context);
    }
};

// Every generated value, through the store on disk and the reader: the text comes back as
// stored and converts exactly as the reference says. The values go to disk in one write (a
// write each would cost an fsync each), under one key per value and numeric key.
TEST_F(HostileSettingsTests, NumericKeys_TenThousandValuesRoundTripAndConvertAsTheReference) {
    const QStringList values = generatedValues(10000);
    const auto keyFor = [](const char* key, qsizetype i) {
        return QString::fromLatin1(key) + QString::number(i);
    };
    QElapsedTimer clock;
    clock.start();
    settings->holdWrites(true);
    for (qsizetype i = 0; i < values.size(); ++i) {
        for (const char* key : {"Chords", "Pitch", "Save Option"})
            settings->saveSetting(keyFor(key, i), values[i]);
    }
    settings->holdWrites(false);
    const SettingsStore reopened(settingsFile);

    int mismatches = 0;
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString& value = values[i];
        const Converted expected = referenceConversion(value);
        for (const char* key : {"Chords", "Pitch", "Save Option"}) {
            const QString back = reopened.getSetting(keyFor(key, i), "<absent>");
            if (back != value && ++mismatches < 10)
                ADD_FAILURE() << "seed " << fixedSeed << " '" << printable(value)
                              << "' came back as '" << printable(back) << "'";
        }
        Converted stored;
        try {
            stored = {Converted::Value, reopened.getSettingNumber(keyFor("Pitch", i), 0)};
        } catch (const Failure& failure) {
            stored = {failure.number() == 6 ? Converted::Overflow : Converted::TypeMismatch};
        }
        const Converted actual = actualConversion(value);
        if ((actual != expected || stored != expected) && ++mismatches < 10)
            ADD_FAILURE() << "seed " << fixedSeed << " '" << printable(value) << "' read as "
                          << describe(actual) << " (from the store " << describe(stored)
                          << "), expected " << describe(expected);
    }
    EXPECT_EQ(mismatches, 0);
    std::cout << "[ MEASURED ] " << values.size() << " values through store and reader in "
              << clock.elapsed() << " ms" << std::endl;
}

// The generator must not drift into only one kind of text: enough of each outcome for the
// start-up property to mean something.
TEST_F(HostileSettingsTests, GeneratedValues_CoverEveryOutcome) {
    int valid = 0, mismatch = 0, overflow = 0, pitches = 0, halves = 0;
    for (const QString& value : generatedValues(10000)) {
        const Converted c = referenceConversion(value);
        valid += c.kind == Converted::Value;
        mismatch += c.kind == Converted::TypeMismatch;
        overflow += c.kind == Converted::Overflow;
        pitches += c.kind == Converted::Value && c.value >= 0 && c.value <= 11;
        halves += value.endsWith(QStringLiteral(".5"));
    }
    EXPECT_GT(valid, 2000);
    EXPECT_GT(mismatch, 2000);
    EXPECT_GT(overflow, 500);
    EXPECT_GT(pitches, 500);
    EXPECT_GT(halves, 300);
}

// A start-up costs far more than a conversion, so the window property runs on every boundary
// value and a random sample of the rest.
TEST_F(HostileSettingsTests, Startup_AlwaysCompletesInASaneState) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 5; ++i) {
        restart();
        startWindow();
    }
    std::cout << "[ MEASURED ] one start-up (window + Form_Load): " << clock.elapsed() / 5.0
              << " ms" << std::endl;

    const QStringList boundary = boundaryValues();
    for (qsizetype i = 0; i < boundary.size(); ++i) {
        startWithNumericKeys(boundary[i], boundary[(i * 7 + 3) % boundary.size()],
                             boundary[(i * 13 + 5) % boundary.size()]);
        if (HasFatalFailure())
            return;
    }
    const QStringList values = generatedValues(10000);
    std::mt19937 sampler(fixedSeed + 1);
    std::uniform_int_distribution<qsizetype> any(boundary.size(), values.size() - 1);
    for (int i = 0; i < 150; ++i) {
        startWithNumericKeys(values[any(sampler)], values[any(sampler)], values[any(sampler)]);
        if (HasFatalFailure())
            return;
    }
}

TEST_F(HostileSettingsTests, RandomBytesAsTheWholeIniFile_StartupCompletes) {
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        restart();
        std::mt19937 random(seed);
        QByteArray bytes(std::uniform_int_distribution<int>(0, 20000)(random), '\0');
        for (char& b : bytes)
            b = char(random());
        // Half the files start with the right group, so the noise lands inside it.
        if (seed % 2 == 0)
            bytes.prepend("[Strumvane]\nChords=");
        QDir().mkpath(QFileInfo(settingsFile).path());
        QFile file(settingsFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        startWindow();
        expectSaneWindow("seed " + std::to_string(seed));
    }
}

// Every key holding random text at once, "Folder" and "LastFolder" too.
TEST_F(HostileSettingsTests, EveryKeyRandomText_StartupCompletes) {
    ValueGenerator generator(fixedSeed + 2);
    for (int run = 0; run < 20; ++run) {
        restart();
        QStringList stored;
        for (const char* key : {"Chords", "Pitch", "Folder", "Save Option", "LastFolder"}) {
            stored << generator.next();
            storeSetting(QString::fromLatin1(key), stored.last());
        }
        startWindow();
        expectSaneWindow("run " + std::to_string(run) + " Folder='" + printable(stored[2]) + "'");
        // The folder text is restored as stored, whatever it holds.
        EXPECT_EQ(ui(*form).Text2->text(), stored[2]);
    }
}

// The store cannot be written: its file is a folder, or its folder is a file. Start-up shows
// what it cannot store and goes on; the user's clicks still work. A folder in place of the
// file detaches the store: one box, then silence; a file in place of the folder fails every
// write, and each says so.
TEST_F(HostileSettingsTests, UnwritableStore_StartupCompletesAndReportsEachWrite) {
    const QString cannotStore = QStringLiteral("Path/File access error");
    for (const bool iniIsFolder : {true, false}) {
        SCOPED_TRACE(iniIsFolder ? "INI path is a folder" : "folder of the INI is a file");
        restart();
        const QString folder = QFileInfo(settingsFile).path();
        QDir(folder).removeRecursively();
        if (iniIsFolder) {
            QDir().mkpath(settingsFile);
        } else {
            QFile file(folder);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        settings = std::make_unique<SettingsStore>(settingsFile);
        startWindow();

        const QString detached = QStringLiteral("Path/File access error: the settings file "
                                                "'%1' is not a regular file; settings are "
                                                "neither read nor saved in this run")
                                     .arg(settingsFile);
        const QStringList startupBoxes =
            iniIsFolder ? QStringList{applicationErrorText(detached, startupLocation, 144)}
                        : QStringList{applicationErrorText(cannotStore, startupLocation, 144),
                                      applicationErrorText(cannotStore, startupLocation, 148)};
        EXPECT_EQ(messages.errorBoxes, startupBoxes);
        // The chord is shown before it is stored, the folder set before it is stored.
        EXPECT_EQ(ui(*form).ListView1->currentRow(), 35);
        expectFieldsDescribe(35, 0);
        EXPECT_EQ(ui(*form).Text2->text(), desktopFolder + u'/');
        EXPECT_TRUE(ui(*form).Option2->isChecked());

        messages.errorBoxes.clear();
        ui(*form).ListView1->setCurrentRow(9);
        expectFieldsDescribe(9, 0);
        ui(*form).Option3->click();
        EXPECT_TRUE(ui(*form).Option3->isChecked());
        const QStringList clickBoxes =
            iniIsFolder
                ? QStringList{}
                : QStringList{
                      applicationErrorText(cannotStore, errorLocation(u"Form1.ListView1_Click"), 0),
                      applicationErrorText(cannotStore, errorLocation(u"Form1.Option3_Click"), 0)};
        EXPECT_EQ(messages.errorBoxes, clickBoxes);
        // Nothing was put where the store should be.
        EXPECT_EQ(QFileInfo(settingsFile).isDir(), iniIsFolder);
        EXPECT_EQ(QFileInfo(folder).isFile(), !iniIsFolder);
    }
}
