#include "core/FrameAssembler.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

class FrameAssemblerTest : public ::testing::Test {
protected:
    // Feeds the bytes one by one and returns every frame completed.
    std::vector<Bytes> Feed(const Bytes& bytes) {
        std::vector<Bytes> frames;
        FrameAssembler::Frame frame{};
        for (std::uint8_t byte : bytes) {
            if (m_assembler.Push(byte, frame)) frames.emplace_back(frame.begin(), frame.end());
        }
        return frames;
    }

    FrameAssemblyStorage m_storage;
    FrameAssembler m_assembler{m_storage.Bind()};
};

const Bytes ROUTE_REPLY = {0xA5, 0x5B, 0x02, 0x01, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFC};
const Bytes UPGRADE_ACK = {0xFE, 0xEF, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0B};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

TEST_F(FrameAssemblerTest, LeadingByteIsCollectedAndForgotten) {
    auto frames = Feed(Concat({{0x00}, ROUTE_REPLY}));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], ROUTE_REPLY);
}

TEST_F(FrameAssemblerTest, BothSyncPairsOpenAFrame) {
    auto frames = Feed(Concat({UPGRADE_ACK, ROUTE_REPLY, UPGRADE_ACK}));
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], UPGRADE_ACK);
    EXPECT_EQ(frames[1], ROUTE_REPLY);
    EXPECT_EQ(frames[2], UPGRADE_ACK);
}

TEST_F(FrameAssemblerTest, SecondByteOfAPairAloneStartsNothing) {
    EXPECT_TRUE(Feed({0x5B, 0x00, 0xEF, 0x00, 0x5B, 0xA5, 0xEF}).empty());
    EXPECT_EQ(m_storage.inFrame, 0);
}

TEST_F(FrameAssemblerTest, RepeatedFirstSyncByteStartsAtTheLastOne) {
    Bytes tail(ROUTE_REPLY.begin() + 1, ROUTE_REPLY.end());
    auto frames = Feed(Concat({{0xA5, 0xA5}, tail}));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], ROUTE_REPLY);
}

TEST_F(FrameAssemblerTest, SyncPairInsideAFrameIsFrameData) {
    const Bytes frame = {0xA5, 0x5B, 0xA5, 0x5B, 0xFE, 0xEF, 0xA5, 0x5B, 0x00, 0x00, 0x00, 0x00, 0x77};
    auto frames = Feed(frame);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], frame);
}

TEST_F(FrameAssemblerTest, NextFrameNeedsItsOwnSyncPair) {
    const Bytes endsLikeSync = {0xA5, 0x5B, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xA5, 0x5B};
    Bytes body(ROUTE_REPLY.begin() + 2, ROUTE_REPLY.end());
    auto frames = Feed(Concat({endsLikeSync, body}));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], endsLikeSync);
    EXPECT_EQ(m_storage.inFrame, 0);
}

TEST_F(FrameAssemblerTest, StateIsClearedBeforeTheFrameIsHandedOut) {
    Feed(Concat({{0x11, 0x22}, ROUTE_REPLY}));
    EXPECT_EQ(m_storage.inFrame, 0);
    EXPECT_EQ(m_storage.framePosition, 0);
    EXPECT_EQ(m_storage.collectLength, FrameAssembler::COLLECT_START);
    for (std::uint8_t byte : m_storage.collect) EXPECT_EQ(byte, 0);
    for (std::uint8_t byte : m_storage.frame) EXPECT_EQ(byte, 0);
}

TEST_F(FrameAssemblerTest, CollectAreaStartsOverAfter254Bytes) {
    Feed(Bytes(253, 0x00));
    EXPECT_EQ(m_storage.collectLength, 255);
    Feed({0x00});
    EXPECT_EQ(m_storage.collectLength, FrameAssembler::COLLECT_START);
}

TEST_F(FrameAssemblerTest, PairSplitWhereTheCollectAreaStartsOverIsMissed) {
    Bytes stream(253, 0x00);
    stream.push_back(0xA5);  // the 254th byte, the last before the area starts over
    Bytes tail(ROUTE_REPLY.begin() + 1, ROUTE_REPLY.end());
    auto frames = Feed(Concat({stream, tail, ROUTE_REPLY}));
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], ROUTE_REPLY);
}

TEST_F(FrameAssemblerTest, ResetForgetsAPartlyAssembledFrame) {
    Feed(Bytes(ROUTE_REPLY.begin(), ROUTE_REPLY.begin() + 6));
    ASSERT_EQ(m_storage.inFrame, 1);
    m_assembler.Reset();
    auto frames = Feed(UPGRADE_ACK);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0], UPGRADE_ACK);
}

TEST_F(FrameAssemblerTest, WorksOnStateHeldElsewhere) {
    std::uint8_t collect[FrameAssembler::COLLECT_CAPACITY] = {};
    int collectLength = FrameAssembler::COLLECT_START;
    int inFrame = 0;
    std::uint8_t frame[FrameAssembler::FRAME_LENGTH] = {};
    int framePosition = 0;
    FrameAssembler assembler({collect, collectLength, inFrame, frame, framePosition});
    FrameAssembler::Frame completed{};
    for (std::size_t i = 0; i < 7; ++i) assembler.Push(ROUTE_REPLY[i], completed);
    EXPECT_EQ(inFrame, 1);
    EXPECT_EQ(framePosition, 7);
    EXPECT_EQ(frame[6], ROUTE_REPLY[6]);
}

TEST_F(FrameAssemblerTest, ArbitraryStreamsStayWithinTheBuffers) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> pick(0, 7);
    const std::uint8_t alphabet[] = {0xA5, 0x5B, 0xFE, 0xEF, 0x00, 0xFF, 0x13, 0x5A};
    FrameAssembler::Frame frame{};
    for (int i = 0; i < 200000; ++i) {
        if (m_assembler.Push(alphabet[pick(random)], frame)) {
            const bool command = frame[0] == 0xA5 && frame[1] == 0x5B;
            const bool data = frame[0] == 0xFE && frame[1] == 0xEF;
            ASSERT_TRUE(command || data);
        }
        ASSERT_GE(m_storage.collectLength, FrameAssembler::COLLECT_START);
        ASSERT_LT(m_storage.collectLength, static_cast<int>(FrameAssembler::COLLECT_CAPACITY));
        const bool framePositionValid = m_storage.inFrame != 0
                                            ? m_storage.framePosition >= 2 && m_storage.framePosition < 13
                                            : m_storage.framePosition == 0;
        ASSERT_TRUE(framePositionValid);
    }
}
