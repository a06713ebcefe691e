#include "base/Failure.h"
#include "window/ProgressBar.h"

#include <QStyleOptionProgressBar>
#include <gtest/gtest.h>
#include <limits>

namespace {

// What the style is asked to paint.
class InspectableProgressBar : public ProgressBar {
public:
    QStyleOptionProgressBar paintedOption() const {
        QStyleOptionProgressBar option;
        initStyleOption(&option);
        return option;
    }
};

} // namespace

TEST(ProgressBarTests, AtRest_ShowsPositionZeroAndItsText) {
    InspectableProgressBar bar;
    EXPECT_EQ(bar.position(), 0.0);
    EXPECT_EQ(bar.text(), "Progress Bar");
    const QStyleOptionProgressBar option = bar.paintedOption();
    EXPECT_TRUE(option.textVisible);
    EXPECT_EQ(option.text, "Progress Bar");
    EXPECT_EQ(option.progress, 0);
    EXPECT_EQ(option.maximum, 100);
}

TEST(ProgressBarTests, SetTextAndPosition_ShowLiterallyAndRoundToWholePercent) {
    InspectableProgressBar bar;
    bar.setText("100% done");
    bar.setPosition(49.6);
    EXPECT_EQ(bar.text(), "100% done");
    EXPECT_DOUBLE_EQ(bar.position(), 49.6);
    EXPECT_EQ(bar.paintedOption().text, "100% done");
    EXPECT_EQ(bar.value(), 50);
    bar.setPosition(100);
    EXPECT_EQ(bar.value(), 100);
}

TEST(ProgressBarTests, PositionOutsideRange_IsInvalidPropertyValue) {
    ProgressBar bar;
    bar.setPosition(30);
    for (const double bad : {-0.5, 100.5, std::numeric_limits<double>::quiet_NaN()}) {
        try {
            bar.setPosition(bad);
            ADD_FAILURE() << "accepted " << bad;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), 380);
        }
    }
    EXPECT_EQ(bar.position(), 30.0);
}
