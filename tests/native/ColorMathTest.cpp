#include "core/ColorMath.h"

#include <gtest/gtest.h>

using namespace ColorMath;

TEST(TintColor, MovesEachChannelTowardWhiteAndTruncates) {
    EXPECT_EQ(TintColor(0.25, MakeColor(212, 208, 200)), MakeColor(222, 219, 213));
    EXPECT_EQ(TintColor(0.85, MakeColor(10, 36, 106)), MakeColor(218, 222, 232));
}

TEST(TintColor, FactorOneGivesWhiteAndDropsTheTopByte) {
    EXPECT_EQ(TintColor(1.0, 0x01123456u), MakeColor(255, 255, 255));
    EXPECT_EQ(TintColor(0.5, 0x02000000u), MakeColor(127, 127, 127));
}

TEST(TintColor, OutOfRangeFactorsReturnTheColourUntouched) {
    const Color withTopByte = 0x01A0B0C0u;
    for (double factor : {0.0, -0.5, 1.0001, 2.0}) {
        EXPECT_EQ(TintColor(factor, withTopByte), withTopByte) << factor;
    }
}

TEST(GrayOf, UsesLumaWeightsTruncated) {
    // 0.299 * 30 + 0.587 * 144 + 0.114 * 225 = 119.148
    EXPECT_EQ(GrayOf(0xE1901Eu), MakeColor(119, 119, 119));
    EXPECT_EQ(GrayOf(MakeColor(255, 0, 0)), MakeColor(76, 76, 76));
    EXPECT_EQ(GrayOf(MakeColor(0, 0, 255)), MakeColor(29, 29, 29));
}

TEST(GrayOf, KeepsBlackAndWhite) {
    EXPECT_EQ(GrayOf(0), 0u);
    EXPECT_EQ(GrayOf(MakeColor(255, 255, 255)), MakeColor(255, 255, 255));
}

TEST(GrayOf, NearBlackIsNotMistakenForBlack) {
    EXPECT_EQ(GrayOf(MakeColor(0, 0, 1)), MakeColor(0, 0, 0));
    EXPECT_EQ(GrayOf(MakeColor(4, 4, 4)), MakeColor(4, 4, 4));
}
