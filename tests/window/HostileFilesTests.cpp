// The two optional files of the program folder as a damaged disk or a stray download leaves
// them: the hand cursor "HAND-M.CUR" and the skin "x/o.cjs" empty, cut short, huge, random or
// not a file at all. Start-up must finish quickly with the box the cursor step prescribes or
// none.
#include "CursorFileBytes.h"
#include "shell/ApplicationError.h"
#include "support/Form1Fixture.h"
#include "window/SkinFramework.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <iostream>
#include <random>
#include <sys/stat.h>

namespace {

const QString startupLocation = QStringLiteral("in Strumvane2021/08/31.Form1.Form_Load ");

// A start-up with a damaged file must not take noticeably longer than one without.
constexpr qint64 startupBudgetMs = 1500;

QByteArray randomBytes(std::uint32_t seed, int size) {
    std::mt19937 random(seed);
    QByteArray bytes(size, '\0');
    for (char& b : bytes)
        b = char(random());
    return bytes;
}

// Random text that is valid UTF-8 without NUL: letters of several scripts, CSS punctuation
// and line breaks.
QByteArray randomUtf8Text(std::uint32_t seed, int approximateBytes) {
    std::mt19937 random(seed);
    QString text;
    static const QString pieces[] = {"{",  "}",  ";", ":", " ", "\n", "QWidget", "color", "#", "/*",
                                     "*/", "\"", "(", ")", "@", ",",  "é",       "字",    "😀", "ß"};
    while (text.size() < approximateBytes / 2)
        text += pieces[random() % std::size(pieces)];
    return text.toUtf8();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// A file of `size` bytes that starts with `head`; the rest is a hole that takes no disk.
void writeSparse(const QString& path, const QByteArray& head, qint64 size) {
    writeBytes(path, head);
    QFile file(path);
    ASSERT_TRUE(file.resize(size));
}

} // namespace

class HostileFilesTests : public Form1Fixture {
protected:
    QString cursorFile() const { return programFolder + QStringLiteral("/HAND-M.CUR"); }
    QString skinFile() const { return programFolder + QStringLiteral("/x/o.cjs"); }

    void restart() {
        form.reset();
        settings.reset();
        QFile::remove(settingsFile);
        settings = std::make_unique<SettingsStore>(settingsFile);
        messages = FakeMessageBoxes();
        QDir(programFolder).removeRecursively();
        QDir().mkpath(programFolder);
    }

    // Starts the window and checks that start-up ran to its end in good time.
    qint64 timedStart(const std::string& context) {
        SCOPED_TRACE(context);
        QElapsedTimer clock;
        clock.start();
        startWindow();
        const qint64 ms = clock.elapsed();
        EXPECT_LT(ms, startupBudgetMs);
        EXPECT_EQ(ui(*form).ListView1->currentRow(), 35);
        EXPECT_EQ(ui(*form).openStringNotes[5], 64);
        EXPECT_EQ(ui(*form).Text2->text(), desktopFolder + u'/');
        return ms;
    }

    // The cursor step either loaded a picture or reported the file at line 124; nothing else.
    void expectCursorLoadedOrBoxAt124(const std::string& context) {
        SCOPED_TRACE(context);
        if (messages.errorBoxes.isEmpty()) {
            EXPECT_EQ(ui(*form).customPointer.shape(), Qt::BitmapCursor);
            EXPECT_FALSE(ui(*form).customPointer.pixmap().isNull());
            return;
        }
        static const QRegularExpression box124(
            QStringLiteral("\\A[^\\r\\n]+\\r\\nin Strumvane2021/08/31\\.Form1\\.Form_Load at line "
                           "124\\r\\rPlease email screenshot of this message to "
                           "support@strumvane\\.example\\z"));
        ASSERT_EQ(messages.errorBoxes.size(), 1) << messages.errorBoxes.join('\n').toStdString();
        EXPECT_TRUE(box124.match(messages.errorBoxes[0]).hasMatch())
            << messages.errorBoxes[0].toStdString();
        EXPECT_EQ(ui(*form).customPointer.shape(), Qt::PointingHandCursor);
    }

    // The skin was applied as a style sheet of exactly the file's text, or ignored; no box.
    void expectSkinAppliedOrIgnored(const QByteArray& bytes, bool text) {
        EXPECT_TRUE(messages.errorBoxes.isEmpty()) << messages.errorBoxes.join('\n').toStdString();
        if (text)
            EXPECT_EQ(form->styleSheet(), QString::fromUtf8(bytes));
        else
            EXPECT_TRUE(form->styleSheet().isEmpty());
    }
};

TEST_F(HostileFilesTests, CursorFileRandomOrMutated_LoadsOrShowsBoxAt124) {
    const QByteArray good = cursorFileBytes(5, 9);
    int loaded = 0;
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        restart();
        QByteArray bytes;
        if (seed <= 10) {
            bytes = randomBytes(seed, int(seed * 997 % 9000));
        } else {
            // A good cursor with a few bytes of its headers (directory entry and bitmap
            // header, where sizes and offsets live) overwritten.
            bytes = good;
            std::mt19937 random(seed);
            for (int i = 0; i < 4; ++i)
                bytes[int(6 + random() % 56)] = char(random());
        }
        writeBytes(cursorFile(), bytes);
        timedStart("seed " + std::to_string(seed));
        expectCursorLoadedOrBoxAt124("seed " + std::to_string(seed));
        loaded += messages.errorBoxes.isEmpty();
    }
    std::cout << "[ MEASURED ] " << loaded << " of 40 damaged cursor files still loaded"
              << std::endl;
}

TEST_F(HostileFilesTests, CursorFileHuge_ReadOnlyAsFarAsNeeded) {
    const struct {
        const char* name;
        QByteArray head;
        bool loads;
    } cases[] = {
        {"50 MB of nothing", QByteArray(), false},
        {"a good cursor followed by 50 MB", cursorFileBytes(3, 4), true},
    };
    for (const auto& c : cases) {
        restart();
        writeSparse(cursorFile(), c.head, 50 << 20);
        const qint64 ms = timedStart(c.name);
        std::cout << "[ MEASURED ] start-up with " << c.name << " as cursor: " << ms << " ms"
                  << std::endl;
        expectCursorLoadedOrBoxAt124(c.name);
        EXPECT_EQ(messages.errorBoxes.isEmpty(), c.loads) << c.name;
    }
}

TEST_F(HostileFilesTests, CursorNotARegularFile_BoxAt124WithoutWaiting) {
    // A folder by that name, and a named pipe that no program ever writes into: opening it
    // to read would wait for ever.
    for (const bool pipe : {false, true}) {
        restart();
        if (pipe)
            ASSERT_EQ(::mkfifo(QFile::encodeName(cursorFile()).constData(), 0600), 0);
        else
            QDir().mkpath(cursorFile());
        timedStart(pipe ? "pipe" : "folder");
        expectCursorLoadedOrBoxAt124(pipe ? "pipe" : "folder");
        EXPECT_EQ(messages.errorBoxes.size(), 1);
    }
}

TEST_F(HostileFilesTests, SkinEmptyCutRandomOrBinary_AppliedAsTextOrIgnored) {
    const QByteArray css = "QWidget { color: #203040; }\n/* é 字 */\n";
    const struct {
        const char* name;
        QByteArray bytes;
        bool text;
    } cases[] = {
        {"empty", QByteArray(), false},
        {"style sheet", css, true},
        {"cut inside a character", css.left(css.indexOf("\xa9")), false},
        {"NUL inside", QByteArray("QWidget {}\0", 11), false},
        {"random bytes 1", randomBytes(1, 5000), false},
        {"random bytes 2", randomBytes(2, 65536), false},
        {"random text", randomUtf8Text(3, 20000), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        writeBytes(skinFile(), c.bytes);
        timedStart(c.name);
        // "empty" reads as text but sets no sheet; a cut character is no longer UTF-8.
        expectSkinAppliedOrIgnored(c.bytes, c.text);
        EXPECT_EQ(ui(*form).SkinFramework1->operations().size(), 6);
    }
}

TEST_F(HostileFilesTests, SkinHuge_StartupStaysQuick) {
    const struct {
        const char* name;
        std::function<void(const QString&)> make;
    } cases[] = {
        {"50 MB of nothing", [](const QString& path) { writeSparse(path, {}, 50 << 20); }},
        {"a style sheet followed by 50 MB",
         [](const QString& path) { writeSparse(path, "QWidget { color: red; }", 50 << 20); }},
        {"50 MB of random bytes",
         [](const QString& path) { writeBytes(path, randomBytes(7, 50 << 20)); }},
        {"1.5 MB of random text",
         [](const QString& path) { writeBytes(path, randomUtf8Text(8, 3 << 19)); }},
        {"8 MB of random text",
         [](const QString& path) { writeBytes(path, randomUtf8Text(9, 8 << 20)); }},
    };
    for (const auto& c : cases) {
        restart();
        c.make(skinFile());
        const qint64 ms = timedStart(c.name);
        std::cout << "[ MEASURED ] start-up with " << c.name << " as skin: " << ms << " ms"
                  << std::endl;
        EXPECT_TRUE(messages.errorBoxes.isEmpty()) << c.name;
        // Only a text of style-sheet size becomes the style sheet; the bigger ones are not
        // taken for text at all.
        EXPECT_EQ(form->styleSheet().isEmpty(), QFileInfo(skinFile()).size() > (2 << 20)) << c.name;
        // The window still draws and answers in good time with whatever it was given.
        QElapsedTimer clock;
        clock.start();
        form->resize(form->size());
        form->grab();
        ui(*form).ListView1->setCurrentRow(3);
        EXPECT_LT(clock.elapsed(), startupBudgetMs) << c.name;
    }
}

TEST_F(HostileFilesTests, SkinNotARegularFile_IsNoSkin) {
    restart();
    QDir().mkpath(QFileInfo(skinFile()).path());
    ASSERT_EQ(::mkfifo(QFile::encodeName(skinFile()).constData(), 0600), 0);
    timedStart("pipe");
    EXPECT_TRUE(messages.errorBoxes.isEmpty());
    EXPECT_TRUE(ui(*form).SkinFramework1->operations().isEmpty());
}
