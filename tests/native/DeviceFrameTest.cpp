#include "core/DeviceFrame.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

using namespace DeviceFrame;

namespace {

std::uint8_t SumOf(const std::uint8_t* bytes, std::size_t count) {
    return static_cast<std::uint8_t>(std::accumulate(bytes, bytes + count, 0u));
}

std::vector<std::uint8_t> DataFrame(std::size_t length) {
    std::vector<std::uint8_t> frame(length, 0);
    frame[0] = DataSync[0];
    frame[1] = DataSync[1];
    return frame;
}

}  // namespace

TEST(CheckByte, RouteCommandGetsF8AndSumsToZero) {
    std::uint8_t frame[COMMAND_FRAME_BUFFER_LENGTH] = {0xA5, 0x5B};
    const std::uint8_t parameters[] = {0x02, 0x00, 0x01};
    BuildCommandFrame(frame, 0x02, 0x03, parameters, sizeof parameters);
    ASSERT_TRUE(SetCheckByte(frame, COMMAND_FRAME_LENGTH));
    EXPECT_EQ(frame[12], 0xF8);
    EXPECT_EQ(SumOf(frame, COMMAND_FRAME_LENGTH), 0);
}

TEST(CheckByte, CoversTheSyncBytes) {
    std::uint8_t command[COMMAND_FRAME_LENGTH] = {0xA5, 0x5B};
    std::uint8_t ack[COMMAND_FRAME_LENGTH] = {0xFE, 0xEF};
    SetCheckByte(command, COMMAND_FRAME_LENGTH);
    SetCheckByte(ack, COMMAND_FRAME_LENGTH);
    EXPECT_EQ(command[12], 0x00);
    EXPECT_EQ(ack[12], 0x13);
}

TEST(CheckByte, DataFramesGetTheirCheckByteInTheLastByte) {
    for (std::size_t length : {FLASH_DATA_FRAME_LENGTH, MCU_DATA_FRAME_LENGTH}) {
        auto frame = DataFrame(length);
        frame[5] = 0x11;
        frame[length - 2] = 0x22;
        ASSERT_TRUE(SetCheckByte(frame.data(), length)) << length;
        EXPECT_EQ(SumOf(frame.data(), length), 0) << length;
    }
    auto mcu = DataFrame(MCU_DATA_FRAME_LENGTH);
    SetCheckByte(mcu.data(), MCU_DATA_FRAME_LENGTH);
    EXPECT_EQ(mcu[1028], 0x13);
}

TEST(CheckByte, EdidBlockAndOtherLengthsAreLeftUnchanged) {
    std::vector<std::uint8_t> block(EDID_BUFFER_LENGTH, 0x5A);
    EXPECT_FALSE(SetCheckByte(block.data(), EDID_BLOCK_LENGTH));
    EXPECT_EQ(block, std::vector<std::uint8_t>(EDID_BUFFER_LENGTH, 0x5A));
    std::uint8_t twelve[12] = {1, 2, 3};
    EXPECT_FALSE(SetCheckByte(twelve, sizeof twelve));
    EXPECT_EQ(twelve[11], 0);
}

TEST(CheckByte, ReceivedFrameIsValidOnlyWithTheExactCheckByte) {
    std::uint8_t frame[COMMAND_FRAME_LENGTH] = {0xA5, 0x5B, 0x02, 0x03, 0x00, 0x00, 0x01};
    SetCheckByte(frame, COMMAND_FRAME_LENGTH);
    EXPECT_TRUE(IsCheckByteValid(frame));
    frame[12] = static_cast<std::uint8_t>(frame[12] + 1);
    EXPECT_FALSE(IsCheckByteValid(frame));
    frame[12] = static_cast<std::uint8_t>(frame[12] - 2);
    EXPECT_FALSE(IsCheckByteValid(frame));
}

TEST(CommandFrameBuilder, ClearsOldParametersAndKeepsTheSync) {
    std::uint8_t frame[COMMAND_FRAME_BUFFER_LENGTH] = {0xA5, 0x5B};
    for (std::size_t i = 2; i < COMMAND_FRAME_LENGTH; ++i) frame[i] = 0xEE;
    const std::uint8_t parameter = 0x01;
    BuildCommandFrame(frame, 0x08, 0x0C, &parameter, 1);
    const std::uint8_t expected[12] = {0xA5, 0x5B, 0x08, 0x0C, 0x01, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::equal(expected, expected + 12, frame));
    EXPECT_EQ(frame[12], 0xEE) << "b12 belongs to the sender";
}

TEST(CommandFrameBuilder, TakesAtMostEightParameters) {
    std::uint8_t frame[COMMAND_FRAME_BUFFER_LENGTH] = {0xA5, 0x5B};
    std::uint8_t parameters[10];
    std::iota(parameters, parameters + 10, 1);
    BuildCommandFrame(frame, 0x01, 0x01, parameters, sizeof parameters);
    EXPECT_EQ(frame[11], 8);
    EXPECT_EQ(frame[12], 0);
}

TEST(McuDataFrameBuilder, ExactlyOneBlockImageThenAPaddingBlock) {
    std::vector<std::uint8_t> image(MCU_BLOCK_SIZE);
    std::iota(image.begin(), image.end(), 0);
    auto frame = DataFrame(MCU_DATA_FRAME_LENGTH);

    BuildMcuDataFrame(frame.data(), image.data(), image.size(), 0, true);
    EXPECT_EQ(frame[2], 0x00) << "the first block never carries the last-block flag";
    EXPECT_EQ(frame[3], 0x00);
    EXPECT_TRUE(std::equal(image.begin(), image.end(), frame.begin() + 4));

    BuildMcuDataFrame(frame.data(), image.data(), image.size(), MCU_BLOCK_SIZE, false);
    EXPECT_EQ(frame[2], LAST_BLOCK_FLAG);
    EXPECT_EQ(frame[3], 0x01);
    for (std::size_t i = 4; i < 1028; ++i) ASSERT_EQ(frame[i], 0xFF) << i;
    EXPECT_EQ(frame[0], 0xFE);
    EXPECT_EQ(frame[1], 0xEF);
}

TEST(McuDataFrameBuilder, ShortLastBlockIsPaddedAndFlagged) {
    std::vector<std::uint8_t> image(MCU_BLOCK_SIZE * 2 + 10, 0x42);
    auto frame = DataFrame(MCU_DATA_FRAME_LENGTH);
    BuildMcuDataFrame(frame.data(), image.data(), image.size(), MCU_BLOCK_SIZE, false);
    EXPECT_EQ(frame[2], 0x00) << "a middle block is not the last";
    BuildMcuDataFrame(frame.data(), image.data(), image.size(), 2 * MCU_BLOCK_SIZE, false);
    EXPECT_EQ(frame[2], LAST_BLOCK_FLAG);
    EXPECT_EQ(frame[3], 0x02);
    EXPECT_EQ(frame[4 + 9], 0x42);
    EXPECT_EQ(frame[4 + 10], 0xFF);
    EXPECT_EQ(frame[1027], 0xFF);
}

TEST(McuDataFrameBuilder, ResendOfTheOnlyBlockCarriesTheFlag) {
    std::vector<std::uint8_t> image(100, 0x01);
    auto frame = DataFrame(MCU_DATA_FRAME_LENGTH);
    BuildMcuDataFrame(frame.data(), image.data(), image.size(), 0, false);
    EXPECT_EQ(frame[2], LAST_BLOCK_FLAG);
}

TEST(FlashDataFrameBuilder, OffsetBytesAndPadding) {
    std::vector<std::uint8_t> image(0x12300 + 5, 0x77);
    auto frame = DataFrame(FLASH_DATA_FRAME_LENGTH);
    BuildFlashDataFrame(frame.data(), image.data(), image.size(), 0x12300, false);
    EXPECT_EQ(frame[2], LAST_BLOCK_FLAG);
    EXPECT_EQ(frame[3], 0x01);
    EXPECT_EQ(frame[4], 0x23);
    EXPECT_EQ(frame[5 + 4], 0x77);
    EXPECT_EQ(frame[5 + 5], 0xFF);
    EXPECT_EQ(frame[260], 0xFF);

    BuildFlashDataFrame(frame.data(), image.data(), image.size(), 0, true);
    EXPECT_EQ(frame[2], 0x00);
    EXPECT_EQ(frame[3], 0x00);
    EXPECT_EQ(frame[4], 0x00);
    EXPECT_EQ(frame[260], 0x77);
}

TEST(EdidBlockBuilder, ShortFileIsZeroThenFileThenZeros) {
    std::vector<std::uint8_t> file(128);
    std::iota(file.begin(), file.end(), 1);
    std::vector<std::uint8_t> buffer(EDID_BUFFER_LENGTH, 0xCC);
    BuildEdidBlock(buffer.data(), file.data(), file.size());
    EXPECT_EQ(buffer[0], 0x00);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), buffer.begin() + 1));
    for (std::size_t i = 129; i < EDID_BUFFER_LENGTH; ++i) ASSERT_EQ(buffer[i], 0x00) << i;
}

TEST(EdidBlockBuilder, LongFileLosesItsLastByteOnTheWire) {
    std::vector<std::uint8_t> file(256);
    std::iota(file.begin(), file.end(), 0);
    std::vector<std::uint8_t> buffer(EDID_BUFFER_LENGTH);
    BuildEdidBlock(buffer.data(), file.data(), file.size());
    EXPECT_EQ(buffer[255], 254) << "b255 is file byte 254";
    EXPECT_EQ(buffer[256], 255) << "file byte 255 stays in the buffer, past the block";
}

TEST(EdidBlockBuilder, OversizedFileIsCutToTheBuffer) {
    std::vector<std::uint8_t> file(1000, 0x99);
    std::vector<std::uint8_t> buffer(EDID_BUFFER_LENGTH);
    BuildEdidBlock(buffer.data(), file.data(), file.size());
    EXPECT_EQ(buffer[0], 0x00);
    EXPECT_EQ(buffer[256], 0x99);
}
