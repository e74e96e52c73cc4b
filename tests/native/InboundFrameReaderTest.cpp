#include "tools/InboundFrameReader.h"

#include "tools/SwitcherModel.h"

#include <gtest/gtest.h>

namespace {

const Bytes ROUTE_QUERY = SwitcherModel::MakeCommandFrame({0x02, 0x01, 0x01});

class InboundFrameReaderTest : public ::testing::Test {
protected:
    void Feed(const Bytes& bytes) { reader.Append(bytes.data(), bytes.size()); }

    std::optional<InboundFrame> Next(std::size_t rawBlockLength = 0) {
        return reader.Next([this](std::uint8_t a, std::uint8_t b) { return model.FrameLength(a, b); }, rawBlockLength);
    }

    SwitcherModel model;
    InboundFrameReader reader;
};

TEST_F(InboundFrameReaderTest, FrameArrivingInPiecesIsTakenWhenComplete) {
    Feed(Bytes(ROUTE_QUERY.begin(), ROUTE_QUERY.begin() + 5));
    EXPECT_FALSE(Next());
    Feed(Bytes(ROUTE_QUERY.begin() + 5, ROUTE_QUERY.end()));
    const auto frame = Next();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->kind, InboundFrame::Kind::Frame);
    EXPECT_EQ(frame->bytes, ROUTE_QUERY);
    EXPECT_EQ(reader.Pending(), 0u);
}

TEST_F(InboundFrameReaderTest, NoiseBeforeASyncPairIsSkippedSeparately) {
    Bytes bytes{0x00, 0xA5, 0x11};
    bytes.insert(bytes.end(), ROUTE_QUERY.begin(), ROUTE_QUERY.end());
    Feed(bytes);
    const auto noise = Next();
    ASSERT_TRUE(noise);
    EXPECT_EQ(noise->kind, InboundFrame::Kind::Skipped);
    EXPECT_EQ(noise->bytes, (Bytes{0x00, 0xA5, 0x11}));
    const auto frame = Next();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->bytes, ROUTE_QUERY);
}

TEST_F(InboundFrameReaderTest, ALastByteThatMayOpenASyncPairIsKept) {
    Feed({0x33, 0xA5});
    const auto noise = Next();
    ASSERT_TRUE(noise);
    EXPECT_EQ(noise->bytes, Bytes{0x33});
    EXPECT_EQ(reader.Pending(), 1u);
    Feed(Bytes(ROUTE_QUERY.begin() + 1, ROUTE_QUERY.end()));
    const auto frame = Next();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->bytes, ROUTE_QUERY);
}

TEST_F(InboundFrameReaderTest, RawBlockIsTakenWhateverItsBytes) {
    Bytes block(256, 0xA5);
    block[1] = 0x5B;
    Feed(block);
    Feed(ROUTE_QUERY);
    const auto raw = Next(256);
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->kind, InboundFrame::Kind::Frame);
    EXPECT_EQ(raw->bytes, block);
    const auto frame = Next();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->bytes, ROUTE_QUERY);
}

TEST_F(InboundFrameReaderTest, DataSyncOutsideAnUpgradeIsNoise) {
    Feed({0xFE, 0xEF, 0x00});
    const auto noise = Next();
    ASSERT_TRUE(noise);
    EXPECT_EQ(noise->kind, InboundFrame::Kind::Skipped);
    EXPECT_EQ(noise->bytes, (Bytes{0xFE, 0xEF}));
    EXPECT_EQ(reader.Pending(), 1u) << "the last byte waits for its successor";
}

}  // namespace
