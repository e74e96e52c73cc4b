#include "tools/Bytes.h"
#include "tools/FrameLog.h"

#include <gtest/gtest.h>

namespace {

TEST(SimulatorHexTest, ParsesPairsWithOrWithoutBlanksInEitherCase) {
    EXPECT_EQ(ParseHex("A55B 02"), (Bytes{0xA5, 0x5B, 0x02}));
    EXPECT_EQ(ParseHex("a5 5b\t02"), (Bytes{0xA5, 0x5B, 0x02}));
    EXPECT_EQ(ParseHex(""), Bytes{});
}

TEST(SimulatorHexTest, RefusesOddDigitCountsAndNonHexCharacters) {
    EXPECT_FALSE(ParseHex("A55"));
    EXPECT_FALSE(ParseHex("A5 G0"));
    EXPECT_FALSE(ParseHex("0x12"));
}

TEST(SimulatorHexTest, FormatsUpperCasePairsSeparatedByBlanks) {
    EXPECT_EQ(FormatHex({0x00, 0xAB, 0x0F}), "00 AB 0F");
    EXPECT_EQ(FormatHex({}), "");
    const Bytes all = {0x01, 0xFE, 0xEF, 0x7A};
    EXPECT_EQ(ParseHex(FormatHex(all)), all);
}

TEST(SimulatorFrameLogTest, LineCarriesSecondsWithSixDigitsTheTagAndTheBytes) {
    const std::chrono::system_clock::time_point when{std::chrono::microseconds(1700000000000042)};
    EXPECT_EQ(FrameLog::FormatLine(when, "RX", {0xA5, 0x5B}), "1700000000.000042 RX A5 5B\n");
}

}  // namespace
