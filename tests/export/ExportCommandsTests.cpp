// The export commands' format branch without a window: which test decides, and the step
// numbers of its files.
#include "base/Failure.h"
#include "export/ChartFileWriter.h"
#include "export/ExportCommands.h"
#include "shell/ErrorTrap.h"
#include "support/FakeMessageBoxes.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

namespace {

// Records every file asked for as "bmp path" or "jpg path quality"; fails the paths that
// `failing` names.
class ListingWriter : public ChartFileWriter {
public:
    void saveBitmap(const QImage&, const QString& fileName) override {
        record(QStringLiteral("bmp ") + fileName);
    }
    void saveJpeg(const QImage&, const QString& fileName, quint8 quality) override {
        record(QStringLiteral("jpg %1 %2").arg(fileName).arg(quality));
    }
    void record(const QString& call) {
        calls << call;
        for (const QString& name : failing)
            if (call.contains(name))
                throw Failure::permissionDenied();
    }
    QStringList calls;
    QStringList failing;
};

} // namespace

// The branch every command shares: which test decides, which step each file runs under, and
// that a failing file is one box at its own step while the next file is still written.
TEST(ExportCommandsTests, SaveCharts_WritesTheChosenFormatUnderItsStepNumbers) {
    const struct {
        bool bmp;
        bool jpeg;
        QStringList calls;
    } cases[] = {
        {true, false, {"bmp /out/One.bmp", "bmp /out/Two.bmp"}},
        {false, true, {"jpg /out/One.jpg 100", "jpg /out/Two.jpg 100"}},
        {false, false, {}},
    };
    const QImage picture(4, 4, QImage::Format_RGB32);
    for (const auto& c : cases) {
        ListingWriter writer;
        writer.failing = {QStringLiteral("One")};
        FakeMessageBoxes boxes;
        ErrorTrap trap(boxes, QStringLiteral("here "));
        ExportCommands(writer).saveCharts(
            trap, {10, {12, 14}, 20, {22, 24}}, {[&] { return c.bmp; }, [&] { return c.jpeg; }},
            [] { return QStringLiteral("/out"); },
            {{&picture, QStringLiteral("One")}, {&picture, QStringLiteral("Two")}});
        EXPECT_EQ(writer.calls, c.calls);
        ASSERT_EQ(boxes.errorBoxes.size(), c.calls.isEmpty() ? 0 : 1);
        if (!c.calls.isEmpty()) {
            EXPECT_TRUE(boxes.errorBoxes[0].contains(c.bmp ? "at line 12\r" : "at line 22\r"));
        }
    }
}

TEST(ExportCommandsTests, SaveCharts_FailingTestCountsAsHolding) {
    ListingWriter writer;
    FakeMessageBoxes boxes;
    ErrorTrap trap(boxes, QStringLiteral("here "));
    const QImage picture(4, 4, QImage::Format_RGB32);
    ExportCommands(writer).saveCharts(
        trap, {10, {12}, 20, {22}},
        {[]() -> bool { throw Failure::typeMismatch(); }, [] { return true; }},
        [] { return QStringLiteral("/out/"); }, {{&picture, QStringLiteral("Blank Chart")}});
    EXPECT_EQ(writer.calls, QStringList{"bmp /out/Blank Chart.bmp"});
    ASSERT_EQ(boxes.errorBoxes.size(), 1);
    EXPECT_TRUE(boxes.errorBoxes[0].contains("at line 10\r"));
}
