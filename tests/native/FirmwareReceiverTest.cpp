#include "tools/ControlInterpreter.h"
#include "tools/ProtocolLayout.h"
#include "tools/SwitcherModel.h"

#include <gtest/gtest.h>

#include <array>

namespace {

Bytes Command(std::initializer_list<std::uint8_t> body) {
    std::array<std::uint8_t, 10> bytes{};
    std::copy(body.begin(), body.end(), bytes.begin());
    return SwitcherModel::MakeCommandFrame(bytes);
}

Bytes McuBlock(std::uint8_t number, std::uint8_t flag, std::uint8_t fill) {
    Bytes frame(ProtocolLayout::Block::MCU_LENGTH, fill);
    frame[0] = 0xFE;
    frame[1] = 0xEF;
    frame[2] = flag;
    frame[3] = number;
    ProtocolLayout::SetCheckByte(frame);
    return frame;
}

Bytes FlashBlock(int index, std::uint8_t flag, std::uint8_t fill) {
    Bytes frame(ProtocolLayout::Block::FLASH_LENGTH, fill);
    frame[0] = 0xFE;
    frame[1] = 0xEF;
    frame[2] = flag;
    frame[3] = static_cast<std::uint8_t>(index >> 8);
    frame[4] = static_cast<std::uint8_t>(index);
    ProtocolLayout::SetCheckByte(frame);
    return frame;
}

class FirmwareReceiverTest : public ::testing::Test {
protected:
    // The one acknowledgement of a block, or an empty frame when none came.
    Bytes Send(const Bytes& frame) {
        const std::vector<Bytes> replies = model.HandleFrame(frame);
        return replies.empty() ? Bytes{} : replies.front();
    }
    std::string Control(const std::string& line) { return interpreter.Execute(line).reply; }

    SwitcherModel model;
    FaultKnobs knobs;
    ControlInterpreter interpreter{model, knobs};
};

}  // namespace

TEST_F(FirmwareReceiverTest, KeepsTheImageAndReportsEveryBrokenRule) {
    Send(Command({0x08, 0x07}));
    Send(Command({0x08, 0x08}));
    EXPECT_EQ(Send(McuBlock(0, 0x00, 0x11))[4], 0x00);
    Send(Command({0x08, 0x08}));
    const Bytes done = Send(McuBlock(1, 0x80, 0x22));
    EXPECT_EQ(done[2], 0x80) << "a panel resending 08 08 restarts nothing";
    EXPECT_EQ(Control("upgrade report"), "ok kind=mcu flash=0 blocks=2 length=2048 done=yes violations=none");
    const Bytes& image = model.Firmware().Image();
    EXPECT_EQ(image[1023], 0x11);
    EXPECT_EQ(image[1024], 0x22);

    EXPECT_TRUE(Send(McuBlock(2, 0x80, 0x33)).empty());
    EXPECT_EQ(model.Firmware().Violations(), std::vector<std::string>{"after-end:2"});

    Send(Command({0xF8, 0x09, 0x05}));
    Bytes damaged = FlashBlock(0, 0x00, 0x44);
    ++damaged.back();
    EXPECT_EQ(Send(damaged)[5], 0x01) << "a damaged block is asked for again";
    Send(FlashBlock(0, 0x00, 0x44));
    Send(FlashBlock(0, 0x00, 0x44));
    Send(FlashBlock(2, 0x00, 0x55));
    Send(FlashBlock(3, 0x80, 0x66));
    EXPECT_EQ(Control("upgrade report"),
              "ok kind=flash flash=5 blocks=4 length=1024 done=yes violations=check-byte:0,order:0,order:2");
    EXPECT_EQ(model.Firmware().Image()[256], 0xFF) << "the missing block stays FF";

    Send(Command({0xF8, 0x09, 0x01}));
    Send(FlashBlock(0, 0x80, 0x44));
    EXPECT_EQ(model.Firmware().Violations(), std::vector<std::string>{"first-flag:0"});
}

TEST_F(FirmwareReceiverTest, KnobsAnswerBadlyOnPurpose) {
    ASSERT_EQ(Control("upgrade status 1 1"), "ok");
    ASSERT_EQ(Control("upgrade drop-ack 2"), "ok");
    ASSERT_EQ(Control("upgrade silent-from 4"), "ok");
    Send(Command({0x08, 0x07}));
    Send(McuBlock(0, 0x00, 0));
    EXPECT_EQ(Send(McuBlock(1, 0x00, 0))[4], 0x01);
    EXPECT_EQ(Send(McuBlock(1, 0x00, 0))[4], 0x00) << "asked once, the repeat is in order";
    EXPECT_TRUE(Send(McuBlock(2, 0x00, 0)).empty());
    EXPECT_EQ(Send(McuBlock(3, 0x00, 0))[3], 0x03);
    EXPECT_TRUE(Send(McuBlock(4, 0x00, 0)).empty());
    EXPECT_TRUE(model.Firmware().Violations().empty());

    ASSERT_EQ(Control("upgrade flash-junk on"), "ok");
    ASSERT_EQ(Control("upgrade status 1 2"), "ok");
    Send(Command({0xF8, 0x09, 0xFF}));
    const Bytes ack = Send(FlashBlock(0, 0x00, 0));
    EXPECT_EQ(Bytes(ack.begin() + 3, ack.begin() + 6), (Bytes{0x5A, 0xA5, 0x00}));
    EXPECT_EQ(Send(FlashBlock(1, 0x00, 0))[5], 0x02);
    EXPECT_EQ(model.PendingUpgrade(), SwitcherModel::Upgrade::None) << "a failed transfer takes no more blocks";
    EXPECT_EQ(Control("upgrade status 1 3"), "error status needs a block number and 1 or 2");
}

TEST_F(FirmwareReceiverTest, RestartingDeviceHearsNothingUntilReset) {
    ASSERT_EQ(Control("upgrade restart forever"), "ok");
    Send(Command({0x08, 0x07}));
    Send(McuBlock(0, 0x00, 0));
    EXPECT_EQ(Send(McuBlock(1, 0x80, 0))[2], 0x80);
    EXPECT_TRUE(Send(Command({0x01, 0x01})).empty());
    ASSERT_EQ(Control("reset"), "ok");
    EXPECT_EQ(Send(Command({0x01, 0x01}))[2], 0x01);

    ASSERT_EQ(Control("upgrade restart 0"), "ok");
    Send(Command({0x08, 0x07}));
    Send(McuBlock(0, 0x80, 0));
    EXPECT_FALSE(Send(Command({0x01, 0x01})).empty());
}
