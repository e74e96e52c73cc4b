#include "tools/LinePacer.h"

#include <gtest/gtest.h>

namespace {

using Clock = LinePacer::Clock;
using std::chrono::microseconds;
constexpr long long BAUD = 115200;
// 11 bits at 115200 baud: 95.49 microseconds a byte, 10,472.7 bytes a second.
constexpr std::size_t BYTES_IN_ONE_SECOND = 10472;

TEST(LinePacerTest, StreamKeepsToTheRateHoweverLateItIsServed) {
    LinePacer pacer;
    pacer.SetBaud(BAUD);
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(pacer.Allowance(start), 0u) << "no byte is through the moment it starts";
    ASSERT_TRUE(pacer.NextByteAt().has_value());
    EXPECT_EQ(*pacer.NextByteAt() - start, microseconds(96) - std::chrono::nanoseconds(513));

    // Served at uneven, often late moments, the stream still gets exactly the
    // line's bytes, and is never ahead of it.
    std::size_t passed = 0;
    for (const int late : {0, 3000, 10, 250, 999, 40, 70000, 1, 1000000 - 75300}) {
        const Clock::time_point now = *pacer.NextByteAt() + microseconds(late);
        const std::size_t allowed = pacer.Allowance(now);
        EXPECT_GE(allowed, 1u);
        passed += allowed;
        EXPECT_LE(static_cast<double>(passed), std::chrono::duration<double>(now - start).count() * BAUD / 11);
        pacer.Passed(allowed, false);
    }
    EXPECT_EQ(pacer.Allowance(start + std::chrono::seconds(1)) + passed, BYTES_IN_ONE_SECOND);
}

TEST(LinePacerTest, QuietLineBuildsUpNoCreditAndPaceOffHoldsNothing) {
    LinePacer pacer;
    pacer.SetBaud(BAUD);
    const Clock::time_point start = Clock::now();
    pacer.Allowance(start);
    ASSERT_EQ(pacer.Allowance(start + microseconds(1242)), 13u);
    pacer.Passed(13, true);
    EXPECT_FALSE(pacer.NextByteAt().has_value());

    // Bytes that come after a quiet second start from their own arrival, and
    // so do those that come after a run that used less than it was allowed.
    const Clock::time_point later = start + std::chrono::seconds(1);
    EXPECT_EQ(pacer.Allowance(later), 0u);
    EXPECT_EQ(pacer.Allowance(later + microseconds(955)), 10u);
    pacer.Passed(4, true);
    EXPECT_EQ(pacer.Allowance(later + microseconds(960)), 0u);
    EXPECT_EQ(pacer.Allowance(later + microseconds(960 + 96)), 1u);

    // Pace off: everything passes at once, and nothing waits.
    pacer.SetBaud(0);
    EXPECT_GT(pacer.Allowance(later), 1000000u);
    pacer.Passed(1000000, false);
    EXPECT_FALSE(pacer.NextByteAt().has_value());
}

}  // namespace
