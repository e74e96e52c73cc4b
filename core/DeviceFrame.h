// Bytes of the switcher protocol: the two sync pairs, the check byte and the
// builders of the frames the panel sends. Pure code, shared by the panel and
// the switcher simulator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace DeviceFrame {

constexpr std::uint8_t CommandSync[2] = {0xA5, 0x5B};
constexpr std::uint8_t DataSync[2] = {0xFE, 0xEF};

constexpr std::size_t COMMAND_FRAME_LENGTH = 13;
constexpr std::size_t COMMAND_FRAME_BUFFER_LENGTH = 20;
constexpr std::size_t FLASH_DATA_FRAME_LENGTH = 262;
constexpr std::size_t MCU_DATA_FRAME_LENGTH = 1029;
constexpr std::size_t EDID_BLOCK_LENGTH = 256;
constexpr std::size_t EDID_BUFFER_LENGTH = 257;

constexpr std::size_t MCU_BLOCK_SIZE = 1024;
constexpr std::size_t FLASH_BLOCK_SIZE = 256;
constexpr std::size_t COMMAND_PARAMETER_COUNT = 8;

// Fields of the data frames: the last-block flag, then the MCU block number
// or the two offset bytes of a flash block, then the data.
constexpr std::size_t BLOCK_FLAG = 2;
constexpr std::size_t MCU_BLOCK_NUMBER = 3;
constexpr std::size_t MCU_DATA = 4;
constexpr std::size_t FLASH_OFFSET_HIGH = 3;
constexpr std::size_t FLASH_OFFSET_MIDDLE = 4;
constexpr std::size_t FLASH_DATA = 5;

// Fields of an UpgradeAckFrame.
constexpr std::size_t ACK_DONE_FLAG = 2;
constexpr std::size_t ACK_BLOCK_NUMBER = 3;
constexpr std::size_t ACK_MCU_STATUS = 4;
constexpr std::size_t ACK_FLASH_STATUS = 5;

constexpr std::uint8_t LAST_BLOCK_FLAG = 0x80;
constexpr std::uint8_t IMAGE_PADDING = 0xFF;

// Two's complement of the 8-bit sum of `count` bytes.
std::uint8_t ComputeCheckByte(const std::uint8_t* bytes, std::size_t count);

// Stores the check byte in the last byte of a 13-, 262- or 1029-byte frame;
// any other length (the 256-byte EDID block) carries none and is left as it
// is. Returns whether a check byte was written.
bool SetCheckByte(std::uint8_t* frame, std::size_t length);

// True when b12 of a received 13-byte frame matches b0..b11.
bool IsCheckByteValid(const std::uint8_t* frame);

// True when the frame opens with the given sync pair.
bool StartsWithSync(const std::uint8_t* frame, const std::uint8_t (&sync)[2]);

// Clears b2..b11 of the command frame and writes group, item and up to eight
// parameters from b4 on; b0..b1 (the sync pair) and b12 are not touched.
void BuildCommandFrame(std::uint8_t* frame, std::uint8_t group, std::uint8_t item,
                       const std::uint8_t* parameters = nullptr, std::size_t parameterCount = 0);

// Fills b2..b1027 of an McuDataFrame with the block that starts at
// `blockOffset` (a multiple of 1024) of the image. The first block of a
// transfer always carries the flag 00; later blocks and resends carry 80 when
// they reach the end of the image. Bytes past the image are FF.
void BuildMcuDataFrame(std::uint8_t* frame, const std::uint8_t* image, std::size_t imageLength,
                       std::size_t blockOffset, bool firstBlock);

// The same for a FlashDataFrame: 256-byte blocks, offset bits 16..23 in b3
// and 8..15 in b4, data in b5..b260.
void BuildFlashDataFrame(std::uint8_t* frame, const std::uint8_t* image, std::size_t imageLength,
                         std::size_t blockOffset, bool firstBlock);

// Clears the 257-byte EDID buffer and copies the EDID file into it from
// position 1; the block sent is positions 0..255. Files longer than 256 bytes
// are cut at 256.
void BuildEdidBlock(std::uint8_t* buffer, const std::uint8_t* file, std::size_t fileLength);

}  // namespace DeviceFrame
