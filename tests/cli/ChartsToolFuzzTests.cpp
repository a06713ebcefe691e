// strumvane-charts against thousands of random argument lists: it never crashes, always ends
// with 0, 1 or 2, reports a usage error as one line naming the problem (and the help hint), and
// never leaves a file behind for a command it refused.
#include "cli/ChartsTool.h"
#include "cli/ExitStatus.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <random>

namespace {

constexpr std::uint32_t fixedSeed = 611;

const QString usageHint = QStringLiteral("Try 'strumvane-charts --help' for more information.");

// Words the parser knows, near misses, and plain garbage. Every file name here is unusable (no
// image suffix, or inside a folder that does not exist), so no command can write a file.
QStringList vocabulary() {
    QStringList words = {"list",
                         "show",
                         "render",
                         "export-all",
                         "LIST",
                         "shw",
                         "help",
                         "export",
                         "",
                         "--chart",
                         "--left-handed",
                         "--format",
                         "--jobs",
                         "--help",
                         "-h",
                         "--version",
                         "-v",
                         "--",
                         "-",
                         "-x",
                         "---",
                         "-hv",
                         "--chart=interval",
                         "--chart=",
                         "--style=box",
                         "--labels=notes",
                         "--size=40x30",
                         "--size=0x9",
                         "--format=png",
                         "--format=bmp",
                         "--jobs=0",
                         "--jobs=257",
                         "--jobs=99999999999",
                         "--jobs=-1",
                         "--left-handed=1",
                         "--bogus",
                         "--CHART",
                         "fingering",
                         "interval",
                         "blank",
                         "spelling",
                         "jpg",
                         "bmp",
                         "png",
                         "0",
                         "1",
                         "6",
                         "35",
                         "611",
                         "612",
                         "-1",
                         "35.5",
                         "1e3",
                         "00006",
                         "0006",
                         "+6",
                         " 6",
                         "6 ",
                         "٣",
                         "６",
                         "C",
                         "C#",
                         "Db",
                         "D#",
                         "Bb",
                         "B",
                         "H",
                         "b",
                         "c",
                         "E#",
                         "F##",
                         "Cb",
                         "11",
                         "12",
                         "a.gif",
                         "a",
                         "noext",
                         "missing/a.png",
                         "missing/a.bmp",
                         "missing/a.jpg",
                         "missing/a.JPEG",
                         "missing-folder",
                         "missing/",
                         "x\ny",
                         "tab\there",
                         "\r",
                         "nul\0inside",
                         "\x1b[31mred",
                         "ünïcödé",
                         "字",
                         "😀",
                         "\u2028"};
    // A literal with a NUL keeps only its front half in the list above.
    words << QString::fromUtf8("nul\0inside", 10) << QString(QChar(0xD800)) // a lone surrogate
          << QString(10000, u'x') << QStringLiteral("--") + QString(5000, u'y');
    return words;
}

class ArgumentGenerator {
public:
    explicit ArgumentGenerator(std::uint32_t seed) : m_random(seed), m_words(vocabulary()) {}

    QStringList next() {
        QStringList args = {QStringLiteral("strumvane-charts")};
        // Half the lists start with a real command, so that its own checks are reached too.
        static const char* const commands[] = {"list", "show", "render", "export-all"};
        if (pick(2) == 0)
            args << QString::fromLatin1(commands[pick(4)]);
        const int count = pick(6);
        for (int i = 0; i < count; ++i)
            args << (pick(5) == 0 ? garbage() : m_words[pick(int(m_words.size()))]);
        for (qsizetype i = 1; i < args.size(); ++i)
            args[i] = harmless(args[i]);
        return args;
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    QString garbage() {
        QString text;
        for (int i = pick(12); i >= 0; --i) {
            switch (pick(3)) {
            case 0:
                text += QChar(char16_t(pick(128)));
                break;
            case 1:
                text += QChar(char16_t(0xa0 + pick(0x2000)));
                break;
            default:
                text += QChar(char16_t(u'0' + pick(10)));
            }
        }
        return text;
    }

    // An argument that names something existing ("." or "/" as the export folder, a file
    // name in an existing folder) could make a command write; it is swapped for a missing one.
    static QString harmless(const QString& arg) {
        const QFileInfo value(arg.section(u'=', -1));
        static const QStringList imageSuffixes = {"bmp", "jpg", "jpeg", "png"};
        if (value.exists() ||
            (imageSuffixes.contains(value.suffix().toLower()) && value.absoluteDir().exists()))
            return QStringLiteral("missing/") + QString::number(qHash(arg));
        return arg;
    }

    std::mt19937 m_random;
    QStringList m_words;
};

std::string printable(const QStringList& args) {
    std::string out;
    for (const QString& arg : args) {
        out += '[';
        for (const QChar c : arg.left(40))
            out +=
                c.unicode() < 0x20 ? "\\x" + std::to_string(c.unicode()) : QString(c).toStdString();
        out += arg.size() > 40 ? "...]" : "]";
    }
    return out;
}

} // namespace

class ChartsToolFuzzTests : public ::testing::Test {
protected:
    void SetUp() override {
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_cwd.path()));
    }
    void TearDown() override { QDir::setCurrent(m_previous); }

    QTemporaryDir m_cwd;
    QString m_previous;
};

TEST_F(ChartsToolFuzzTests, RandomArguments_ExitZeroOneOrTwoWithOneLineUsageError) {
    ArgumentGenerator generator(fixedSeed);
    int statusCounts[3] = {0, 0, 0};
    for (int run = 0; run < 10000; ++run) {
        const QStringList args = generator.next();
        // Never a valid export: such a list would write thousands of files.
        ASSERT_FALSE(args.contains(QStringLiteral("export-all")) &&
                     std::any_of(args.begin() + 1, args.end(),
                                 [](const QString& a) { return QFileInfo(a).isDir(); }));
        QString outText;
        QString errText;
        int status = -1;
        {
            QTextStream out(&outText);
            QTextStream err(&errText);
            ChartsTool tool(out, err);
            status = tool.run(args);
        }
        SCOPED_TRACE("seed " + std::to_string(fixedSeed) + " run " + std::to_string(run) + ": " +
                     printable(args));
        ASSERT_GE(status, 0);
        ASSERT_LE(status, 2);
        ++statusCounts[status];
        if (status == ExitStatus::usage) {
            EXPECT_TRUE(outText.isEmpty());
            const QStringList lines = errText.split(u'\n');
            ASSERT_EQ(lines.size(), 3) << errText.toStdString(); // two lines and the last '\n'
            EXPECT_TRUE(lines[0].startsWith(QStringLiteral("strumvane-charts: ")));
            EXPECT_GT(lines[0].size(), QStringLiteral("strumvane-charts: ").size() + 5);
            for (const QChar c : lines[0])
                EXPECT_TRUE(c.unicode() >= 0x20 && c != u'\u2028') << lines[0].toStdString();
            EXPECT_EQ(lines[1], usageHint);
            EXPECT_TRUE(lines[2].isEmpty());
        } else if (status == ExitStatus::failure) {
            EXPECT_TRUE(errText.startsWith(QStringLiteral("strumvane-charts: ")));
            EXPECT_EQ(errText.count(u'\n'), 1) << errText.toStdString();
        } else {
            EXPECT_TRUE(errText.isEmpty()) << errText.toStdString();
            EXPECT_FALSE(outText.isEmpty());
        }
        if (HasFailure())
            return;
    }
    std::cout << "[ MEASURED ] exit 0: " << statusCounts[0] << ", exit 1: " << statusCounts[1]
              << ", exit 2: " << statusCounts[2] << std::endl;
    // The lists reach every outcome, the refused ones most.
    EXPECT_GT(statusCounts[0], 20);
    EXPECT_GT(statusCounts[1], 20);
    EXPECT_GT(statusCounts[2], 5000);
    EXPECT_TRUE(
        QDir::current()
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .isEmpty());
}
