#include "tools/ProtocolLayout.h"
#include "tools/SwitcherModel.h"

#include <gtest/gtest.h>

namespace {

Bytes Command(std::initializer_list<std::uint8_t> body) {
    std::array<std::uint8_t, 10> bytes{};
    std::copy(body.begin(), body.end(), bytes.begin());
    return SwitcherModel::MakeCommandFrame(bytes);
}

Bytes DataFrame(std::size_t length, std::uint8_t flag, std::uint8_t block) {
    Bytes frame(length, 0xFF);
    frame[0] = 0xFE;
    frame[1] = 0xEF;
    frame[2] = flag;
    frame[3] = block;
    ProtocolLayout::SetCheckByte(frame);
    return frame;
}

class SwitcherModelTest : public ::testing::Test {
protected:
    // The one reply to a command, or a failure when there is not exactly one.
    Bytes Answer(std::initializer_list<std::uint8_t> body) {
        const std::vector<Bytes> replies = model.HandleFrame(Command(body));
        EXPECT_EQ(replies.size(), 1u);
        return replies.empty() ? Bytes{} : replies.front();
    }

    SwitcherModel model;
};

TEST_F(SwitcherModelTest, RoutingAcknowledgesAndReportsTheNewInput) {
    const std::vector<Bytes> ack = model.HandleFrame({0xA5, 0x5B, 0x02, 0x03, 0x02, 0x00, 0x01, 0, 0, 0, 0, 0, 0xF8});
    EXPECT_EQ(ack, (std::vector<Bytes>{{0xA5, 0x5B, 0x02, 0x03, 0x00, 0x00, 0x01, 0, 0, 0, 0, 0, 0xFA}}));
    EXPECT_EQ(Answer({0x02, 0x01, 0x01}), Command({0x02, 0x01, 0x01, 0x00, 0x02}));
    EXPECT_EQ(Answer({0x02, 0x03, 0x04, 0x00, 0x03}), Command({0x02, 0x03, 0x00, 0x00, 0x03}));
    EXPECT_EQ(Answer({0x02, 0x01, 0x03}), Command({0x02, 0x01, 0x03, 0x00, 0x04}));
    EXPECT_EQ(model.State().route[1], 1);
}

TEST_F(SwitcherModelTest, OutOfRangeRoutingIsNotAnswered) {
    EXPECT_TRUE(model.HandleFrame(Command({0x02, 0x03, 0x05, 0x00, 0x01})).empty());
    EXPECT_TRUE(model.HandleFrame(Command({0x02, 0x03, 0x01, 0x00, 0x00})).empty());
    EXPECT_TRUE(model.HandleFrame(Command({0x02, 0x01, 0x05})).empty());
    EXPECT_EQ(model.State().route[0], 1);
    model.MutableState().outputs = 2;
    EXPECT_TRUE(model.HandleFrame(Command({0x02, 0x01, 0x03})).empty());
    EXPECT_TRUE(model.HandleFrame(Command({0x02, 0x03, 0x01, 0x00, 0x03})).empty());
    EXPECT_EQ(Answer({0x02, 0x01, 0x02}), Command({0x02, 0x01, 0x02, 0x00, 0x01}));
}

TEST_F(SwitcherModelTest, FrameWithWrongCheckByteGetsNoAnswer) {
    Bytes frame = Command({0x02, 0x01, 0x01});
    ++frame.back();
    EXPECT_TRUE(model.HandleFrame(frame).empty());
}

TEST_F(SwitcherModelTest, DeviceInformationRepliesCarryTheMark) {
    model.MutableState().deviceType = 2;
    model.MutableState().versionMajor = 1;
    model.MutableState().versionMinor = 3;
    EXPECT_EQ(Answer({0x01, 0x01, 0, 0, 0, 0, 0, 0, 0xCC, 0xCC}), Command({0x01, 0x01, 0x02, 0, 0, 0, 0, 0, 0xCC}));
    EXPECT_EQ(Answer({0x01, 0x02, 0, 0, 0, 0, 0, 0, 0xCC}), Command({0x01, 0x02, 0x04, 0, 0x04, 0, 0, 0, 0xCC}));
    EXPECT_EQ(Answer({0x01, 0x03, 0, 0, 0, 0, 0, 0, 0xCC}), Command({0x01, 0x03, 0x01, 0, 0x03, 0, 0, 0, 0xCC}));
}

TEST_F(SwitcherModelTest, LinkQueriesReportConnectedAsZero) {
    model.MutableState().inputConnected[2] = false;
    EXPECT_EQ(Answer({0x01, 0x04, 0x03}), Command({0x01, 0x04, 0x03, 0x00, 0x01}));
    EXPECT_EQ(Answer({0x01, 0x04, 0x01}), Command({0x01, 0x04, 0x01, 0x00, 0x00}));
    EXPECT_EQ(Answer({0x01, 0x05, 0x01}), Command({0x01, 0x05, 0x01, 0x00, 0x00}));
}

TEST_F(SwitcherModelTest, AutoSwitchSetThenQueried) {
    EXPECT_EQ(Answer({0x01, 0x0D}), Command({0x01, 0x0D, 0xF0}));
    EXPECT_EQ(Answer({0x02, 0x05, 0x0F}), Command({0x02, 0x05, 0x00}));
    EXPECT_EQ(Answer({0x01, 0x0D}), Command({0x01, 0x0D, 0x0F}));
    EXPECT_TRUE(model.HandleFrame(Command({0x02, 0x05, 0x33})).empty());
}

TEST_F(SwitcherModelTest, ArcAcknowledgementCarriesTheStateInB10) {
    EXPECT_EQ(Answer({0x10, 0x01, 0x0F, 0x00, 0x03}), Command({0x10, 0x01, 0x00, 0x00, 0x03, 0, 0, 0, 0x0F}));
    EXPECT_EQ(Answer({0x10, 0x02, 0x00, 0x00, 0x03}), Command({0x10, 0x02, 0x0F, 0x00, 0x03}));
    EXPECT_EQ(Answer({0x10, 0x01, 0xF0, 0x00, 0x03}), Command({0x10, 0x01, 0x00, 0x00, 0x03, 0, 0, 0, 0xF0}));
    EXPECT_EQ(Answer({0x10, 0x02, 0x00, 0x00, 0x01}), Command({0x10, 0x02, 0xF0, 0x00, 0x01}));
}

TEST_F(SwitcherModelTest, BeepAcknowledgementAndReport) {
    EXPECT_EQ(Answer({0x06, 0x01, 0xF0, 0x00, 0x00}), Command({0x06, 0x01, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Answer({0x01, 0x0B}), Command({0x01, 0x0B, 0x00, 0x00, 0xF0}));
    EXPECT_EQ(Answer({0x06, 0x01, 0x0F, 0x00, 0xDD}), Command({0x06, 0x01, 0x00, 0x00, 0xDD}));
    EXPECT_EQ(Answer({0x01, 0x0B}), Command({0x01, 0x0B, 0x00, 0x00, 0x00}));
}

TEST_F(SwitcherModelTest, PowerRebootAndFactoryReset) {
    EXPECT_EQ(Answer({0x08, 0x0B, 0xF0, 0x00, 0xF0}), Command({0x08, 0x0B, 0x00, 0x00, 0xF0}));
    EXPECT_EQ(Answer({0x08, 0x0C}), Command({0x08, 0x0C, 0xF0}));
    EXPECT_EQ(Answer({0x08, 0x0B, 0x0F, 0x00, 0x0F}), Command({0x08, 0x0B, 0x00, 0x00, 0x0F}));
    EXPECT_EQ(Answer({0x08, 0x0D}), Command({0x08, 0x0D, 0x00}));

    model.MutableState().beep = false;
    model.MutableState().route[3] = 4;
    EXPECT_EQ(Answer({0x08, 0x0A}), Command({0x08, 0x0A, 0x00}));
    EXPECT_TRUE(model.State().beep);
    EXPECT_EQ(model.State().route[3], 1);
}

TEST_F(SwitcherModelTest, EdidModesAndCopiesAsReported) {
    EXPECT_EQ(Answer({0x03, 0x02, 0x01, 0xF0, 0x03}), Command({0x03, 0x02, 0x00, 0x00, 0x03}));
    EXPECT_EQ(Answer({0x01, 0x0C, 0x03}), Command({0x01, 0x0C, 0x03, 0x00, 0x00}));
    // The General page's audio mode goes without the F0 mark and is reported as sent.
    EXPECT_EQ(Answer({0x03, 0x02, 0x03, 0x00, 0x01}), Command({0x03, 0x02, 0x00, 0x00, 0x01}));
    EXPECT_EQ(Answer({0x01, 0x0C, 0x01}), Command({0x01, 0x0C, 0x01, 0x00, 0x03}));
    EXPECT_EQ(Answer({0x03, 0x04, 0x03, 0x00, 0x02}), Command({0x03, 0x04, 0x00, 0x00, 0x02}));
    EXPECT_EQ(Answer({0x01, 0x0C, 0x02}), Command({0x01, 0x0C, 0x02, 0x00, 20}));
    EXPECT_EQ(Answer({0x03, 0x01, 18, 0xF0}), Command({0x03, 0x01}));
    EXPECT_EQ(model.State().edid[1], 17);
    EXPECT_EQ(Answer({0x03, 0x03, 0x02}), Command({0x03, 0x03}));
    EXPECT_EQ(model.State().edid[3], 19);
}

TEST_F(SwitcherModelTest, EdidUploadTakesARawBlockAfterItsHeader) {
    EXPECT_EQ(Answer({0x03, 0x08, 0xF0, 0, 0, 0, 0, 0, 0xBB}), Command({0x03, 0x08, 0x00}));
    EXPECT_EQ(Answer({0x03, 0x07, 0x02, 0xF0}), Command({0x03, 0x07, 0xAA, 0x00}));
    EXPECT_TRUE(model.HandleFrame(Command({0x03, 0x07, 0x56, 0, 0, 0x01})).empty());
    ASSERT_EQ(model.RawBlockLength(), 256u);

    Bytes block(256, 0);
    const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(std::begin(header), std::end(header), block.begin() + 1);
    block[128] = 0x06;   // the base block's checksum byte: 6 x FF + 06 = 0 modulo 256
    const std::vector<Bytes> result = model.HandleFrame(block);
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result.front(), Command({0x03, 0x07, 0x00, 0x00, 0x00, 0x01}));
    EXPECT_EQ(model.RawBlockLength(), 0u);
    EXPECT_EQ(model.Edids().Held(2), block);
    EXPECT_TRUE(model.Edids().Held(1).empty());
}

TEST_F(SwitcherModelTest, EdidCopiesTakeTheSinkEdidModesClearItAndTheKnobsFailOrAnswerEarly) {
    const Bytes sink{0x00, 0xFF, 0x12};
    model.MutableEdids().SetSink(2, sink);
    Answer({0x03, 0x04, 0x02, 0x00, 0x03});
    EXPECT_EQ(model.Edids().Held(3), sink);
    Answer({0x03, 0x03, 0x02});
    EXPECT_EQ(model.Edids().Held(1), sink);
    Answer({0x03, 0x02, 0x05, 0xF0, 0x01});
    EXPECT_TRUE(model.Edids().Held(1).empty());
    EXPECT_EQ(model.Edids().Held(4), sink);

    model.MutableEdids().FailNextOperation();
    EXPECT_EQ(Answer({0x03, 0x01, 0x07, 0xF0}), Command({0x03, 0x01, 0x0F}));
    EXPECT_EQ(model.State().edid[3], 19) << "a failed setting changes nothing";
    EXPECT_EQ(Answer({0x03, 0x01, 0x07, 0xF0}), Command({0x03, 0x01, 0x00}));
    EXPECT_EQ(model.State().edid[3], 6);

    model.MutableEdids().SetEarlyResult(true);
    const Bytes both = Answer({0x03, 0x07, 0x04, 0xF0});
    Bytes expected = Command({0x03, 0x07, 0xAA});
    const Bytes result = Command({0x03, 0x07, 0x00, 0x00, 0x00, 0x01});
    expected.insert(expected.end(), result.begin(), result.end());
    EXPECT_EQ(both, expected) << "data request and result in one write";
    EXPECT_TRUE(model.HandleFrame(Command({0x03, 0x07, 0x56, 0, 0, 0x01})).empty());
    EXPECT_EQ(model.RawBlockLength(), 0u) << "no data is awaited after an early result";
}

TEST_F(SwitcherModelTest, EdidUploadOfBadDataReportsFailure) {
    Answer({0x03, 0x06, 0xFE, 0xF0});
    EXPECT_TRUE(model.HandleFrame(Command({0x03, 0x06, 0x56, 0, 0, 0x01})).empty());
    const std::vector<Bytes> result = model.HandleFrame(Bytes(256, 0x11));
    ASSERT_EQ(result.size(), 1u);
    EXPECT_EQ(result.front(), Command({0x03, 0x06, 0x0F, 0x00, 0x00, 0x01}));
}

TEST_F(SwitcherModelTest, DataSyncOpensBlocksOnlyDuringAnUpgrade) {
    EXPECT_EQ(model.FrameLength(0xA5, 0x5B), 13u);
    EXPECT_EQ(model.FrameLength(0xFE, 0xEF), 0u);
    EXPECT_EQ(model.FrameLength(0x5B, 0xA5), 0u);
    Answer({0x08, 0x07});
    EXPECT_EQ(model.FrameLength(0xFE, 0xEF), 1029u);
    EXPECT_TRUE(model.HandleFrame(DataFrame(262, 0x00, 0x00)).empty()) << "a flash block in an MCU transfer";
    model.Reset();
    EXPECT_EQ(Answer({0xF8, 0x09, 0x05}), Command({0xF8, 0x09, 0x00}));
    EXPECT_EQ(model.FrameLength(0xFE, 0xEF), 262u);
}

TEST_F(SwitcherModelTest, McuBlocksAreAcknowledgedUntilTheLast) {
    Answer({0x08, 0x07});
    EXPECT_EQ(Answer({0x08, 0x08}), Command({0x08, 0x08, 0x00}));
    std::vector<Bytes> ack = model.HandleFrame(DataFrame(1029, 0x00, 0x00));
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(ack.front(), (Bytes{0xFE, 0xEF, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x13}));

    Bytes damaged = DataFrame(1029, 0x80, 0x01);
    ++damaged.back();
    ack = model.HandleFrame(damaged);
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(ack.front()[4], 0x01) << "a damaged block is asked for again";

    ack = model.HandleFrame(DataFrame(1029, 0x80, 0x01));
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(ack.front(), (Bytes{0xFE, 0xEF, 0x80, 0x01, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x92}));
    EXPECT_EQ(model.PendingUpgrade(), SwitcherModel::Upgrade::None);
}

TEST_F(SwitcherModelTest, FlashBlocksReportTheirStatusInB5) {
    Answer({0xF8, 0x09, 0x01});
    std::vector<Bytes> ack = model.HandleFrame(DataFrame(262, 0x00, 0x00));
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(ack.front()[2], 0x00);
    EXPECT_EQ(ack.front()[5], 0x00);
    ack = model.HandleFrame(DataFrame(262, 0x80, 0x00));
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(ack.front()[2], 0x80);
    EXPECT_EQ(ack.front()[5], 0x00);
}

TEST_F(SwitcherModelTest, LabelsAreStoredAndReadBackInChunks) {
    EXPECT_EQ(Answer({0xFA, 0x21, 'A', 'B', ' ', ' ', ' ', ' ', ' ', ' '}), Command({0xFA, 0x21, 0x00}));
    EXPECT_EQ(Answer({0xFA, 0x23, 'L', 'a', 'b', 'e', 'l', ' ', '2', '!'}), Command({0xFA, 0x23, 0x00}));
    EXPECT_EQ(Answer({0xFA, 0x25}), Command({0xFA, 0x25, 'A', 'B', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(Answer({0xFA, 0x26}), Command({0xFA, 0x26, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '}));
    EXPECT_EQ(Answer({0xFA, 0x27}), Command({0xFA, 0x27, 'L', 'a', 'b', 'e', 'l', ' ', '2', '!'}));

    // Label bytes from the wire keep the state answer on one line.
    Answer({0xFA, 0x21, 'A', 0x0A, '"', 0xC3, ' ', ' ', ' ', ' '});
    const std::string state = model.Describe();
    EXPECT_EQ(state.find('\n'), std::string::npos);
    EXPECT_NE(state.find("labels=\"A\\x0A\\x22\\xC3    "), std::string::npos) << state;
}

TEST_F(SwitcherModelTest, UnknownCommandsAreIgnored) {
    EXPECT_TRUE(model.HandleFrame(Command({0x07, 0x01})).empty());
    EXPECT_TRUE(model.HandleFrame(Command({0x01, 0x7F})).empty());
    EXPECT_TRUE(model.HandleFrame(Command({0xFA, 0x29})).empty());
}

}  // namespace
