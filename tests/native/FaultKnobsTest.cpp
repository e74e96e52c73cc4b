#include "tools/FaultKnobs.h"

#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

const Bytes REPLY{0xA5, 0x5B, 0x02, 0x03, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFA};

Bytes Joined(const std::vector<ScheduledWrite>& writes) {
    Bytes all;
    for (const ScheduledWrite& write : writes) {
        all.insert(all.end(), write.bytes.begin(), write.bytes.end());
    }
    return all;
}

TEST(FaultKnobsTest, WithoutKnobsAReplyGoesOutWholeAndAtOnce) {
    FaultKnobs knobs;
    const auto writes = knobs.Plan(REPLY);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].after, milliseconds(0));
    EXPECT_EQ(writes[0].bytes, REPLY);
}

TEST(FaultKnobsTest, DropAndCorruptCountDown) {
    FaultKnobs knobs;
    knobs.DropNext(1);
    knobs.CorruptNext(1);
    EXPECT_TRUE(knobs.Plan(REPLY).empty());
    Bytes corrupted = REPLY;
    corrupted.back() = 0xFB;
    EXPECT_EQ(Joined(knobs.Plan(REPLY)), corrupted);
    EXPECT_EQ(Joined(knobs.Plan(REPLY)), REPLY);
}

TEST(FaultKnobsTest, DelayAndSplitSpreadTheReply) {
    FaultKnobs knobs;
    knobs.SetDelay(milliseconds(500));
    knobs.SetSplit(4, milliseconds(30));
    const auto writes = knobs.Plan(REPLY);
    ASSERT_EQ(writes.size(), 4u);
    for (std::size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].after, milliseconds(500 + 30 * static_cast<int>(i)));
        EXPECT_FALSE(writes[i].bytes.empty());
    }
    EXPECT_EQ(Joined(writes), REPLY);
    EXPECT_EQ(knobs.Plan(REPLY).size(), 4u) << "split and delay stay until changed";
}

TEST(FaultKnobsTest, SplitIntoMorePartsThanBytesGivesOneBytePerWrite) {
    FaultKnobs knobs;
    knobs.SetSplit(100, milliseconds(1));
    const auto writes = knobs.Plan(REPLY);
    EXPECT_EQ(writes.size(), REPLY.size());
    EXPECT_EQ(Joined(writes), REPLY);
}

TEST(FaultKnobsTest, GarbageGoesBeforeTheNextReplyOnlyAndOpensNoFrame) {
    FaultKnobs knobs;
    knobs.GarbageBeforeNext(10);
    const Bytes first = Joined(knobs.Plan(REPLY));
    ASSERT_EQ(first.size(), REPLY.size() + 10);
    EXPECT_EQ(Bytes(first.begin() + 10, first.end()), REPLY);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_NE(first[i], 0xA5);
        EXPECT_NE(first[i], 0xFE);
    }
    EXPECT_EQ(Joined(knobs.Plan(REPLY)), REPLY);
}

TEST(FaultKnobsTest, ResetClearsEveryKnob) {
    FaultKnobs knobs;
    knobs.SetDelay(milliseconds(10));
    knobs.DropNext(3);
    knobs.SetSplit(2, milliseconds(5));
    knobs.Reset();
    const auto writes = knobs.Plan(REPLY);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].after, milliseconds(0));
}

}  // namespace
