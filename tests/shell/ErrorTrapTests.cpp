#include "base/Failure.h"
#include "shell/ErrorTrap.h"
#include "support/FakeMessageBoxes.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

QString expectedBox(const QString& description, const QString& procedure, int step) {
    return description + "\r\nin Strumvane2021/08/31." + procedure + " at line " +
           QString::number(step) +
           "\r\rPlease email screenshot of this message to support@strumvane.example";
}

// A routine without a trap of its own: its failure leaves the rest of it undone.
void routineThatFailsHalfway(QStringList& trace) {
    trace << "routine begins";
    throw Failure::controlArrayElementMissing(12);
    trace << "routine ends"; // never reached
}

} // namespace

class ErrorTrapTests : public ::testing::Test {
protected:
    FakeMessageBoxes boxes;
    QStringList trace;
};

TEST_F(ErrorTrapTests, ApplicationErrorText_IsBuiltExactly) {
    EXPECT_EQ(applicationErrorText("Type mismatch", "in Strumvane2021/08/31.Form1.Form_Load ", 150),
              "Type mismatch\r\nin Strumvane2021/08/31.Form1.Form_Load at line 150\r\r"
              "Please email screenshot of this message to support@strumvane.example");
    EXPECT_EQ(errorLocation(u"Form1.PushButton4_Click"),
              "in Strumvane2021/08/31.Form1.PushButton4_Click ");
}

TEST_F(ErrorTrapTests, FailedStep_ShowsBoxAndProcedureGoesOnWithNextStep) {
    ErrorTrap trap(boxes, errorLocation(u"Form1.Form_Load"));
    EXPECT_TRUE(trap.step(144, [&] { trace << "144"; }));
    EXPECT_FALSE(trap.step(146, [&] {
        trace << "146 begins";
        routineThatFailsHalfway(trace);
        trace << "146 ends";
    }));
    EXPECT_TRUE(trap.step(148, [&] { trace << "148"; }));

    EXPECT_EQ(trace, QStringList({"144", "146 begins", "routine begins", "148"}));
    EXPECT_EQ(boxes.errorBoxes, QStringList{expectedBox("Control array element '12' doesn't exist",
                                                        "Form1.Form_Load", 146)});
    EXPECT_EQ(trap.failureCount(), 1);
    EXPECT_EQ(trap.stepNumber(), 148);
}

TEST_F(ErrorTrapTests, FailingTest_CountsAsHolding) {
    ErrorTrap trap(boxes, errorLocation(u"Form1.Form_Load"));
    EXPECT_TRUE(trap.test(150, [] { return true; }));
    EXPECT_FALSE(trap.test(150, [] { return false; }));
    EXPECT_TRUE(boxes.errorBoxes.isEmpty());

    const bool holds = trap.test(150, []() -> bool { throw Failure::typeMismatch(); });
    EXPECT_TRUE(holds);
    EXPECT_EQ(boxes.errorBoxes, QStringList{expectedBox("Type mismatch", "Form1.Form_Load", 150)});
}

TEST_F(ErrorTrapTests, FailuresInALoop_ShowOneBoxEachAndTheLoopGoesOn) {
    ErrorTrap trap(boxes, errorLocation(u"Form1.PushButton4_Click"));
    int finished = 0;
    for (int i = 0; i < 5; ++i) {
        trap.step(210, [&] {
            if (i % 2 == 0)
                throw Failure::permissionDenied();
            ++finished;
        });
        trap.step(212, [&] { trace << QString::number(i); });
    }
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(trace, QStringList({"0", "1", "2", "3", "4"}));
    ASSERT_EQ(boxes.errorBoxes.size(), 3);
    for (const QString& box : boxes.errorBoxes)
        EXPECT_EQ(box, expectedBox("Permission denied", "Form1.PushButton4_Click", 210));
    EXPECT_EQ(trap.failureCount(), 3);
}

TEST_F(ErrorTrapTests, ForeignExceptions_AreCaughtAndDescribed) {
    ErrorTrap trap(boxes, errorLocation(u"Form1.PushButton1_Click"));
    trap.step(100, [] { throw std::runtime_error("disk on fire"); });
    trap.step(102, [] { throw std::bad_alloc(); });
    trap.step(104, [] { throw 42; });
    trap.step(106, [] { throw Failure(-2147024891, "Cannot save the image. GDI+ Error: 7"); });
    EXPECT_EQ(boxes.errorBoxes,
              QStringList({expectedBox("disk on fire", "Form1.PushButton1_Click", 100),
                           expectedBox("Out of memory", "Form1.PushButton1_Click", 102),
                           expectedBox("Internal error", "Form1.PushButton1_Click", 104),
                           expectedBox("Cannot save the image. GDI+ Error: 7",
                                       "Form1.PushButton1_Click", 106)}));
}

TEST_F(ErrorTrapTests, GuardHandler_ReportsUnderItsOwnNameWithStepZero) {
    bool carriedOn = false;
    EXPECT_FALSE(guardHandler(boxes, u"Form1.ListView1_Click",
                              [] { throw Failure::subscriptOutOfRange(); }));
    carriedOn = true;
    EXPECT_TRUE(guardHandler(boxes, u"Form1.Option1_Click", [&] { trace << "ran"; }));
    EXPECT_TRUE(carriedOn);
    EXPECT_EQ(trace, QStringList{"ran"});
    EXPECT_EQ(boxes.errorBoxes,
              QStringList{expectedBox("Subscript out of range", "Form1.ListView1_Click", 0)});
}
