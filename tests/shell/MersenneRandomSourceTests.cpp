#include "shell/MersenneRandomSource.h"

#include <gtest/gtest.h>

TEST(MersenneRandomSourceTests, SameSeed_GivesSameSequenceInUnitInterval) {
    MersenneRandomSource first(2021);
    MersenneRandomSource second(7);
    second.seed(2021);
    double sum = 0;
    for (int i = 0; i < 10000; ++i) {
        const double value = first.nextUniform();
        EXPECT_EQ(value, second.nextUniform());
        ASSERT_GE(value, 0.0);
        ASSERT_LT(value, 1.0);
        sum += value;
    }
    EXPECT_NEAR(sum / 10000, 0.5, 0.02);
}
