#include "DeviceFrame.h"

#include <algorithm>
#include <cstring>

namespace DeviceFrame {

namespace {

constexpr std::size_t SYNC_LENGTH = 2;
constexpr std::size_t COMMAND_GROUP = 2;
constexpr std::size_t COMMAND_ITEM = 3;
constexpr std::size_t COMMAND_PARAMETERS = 4;
constexpr std::size_t BLOCK_FLAG = 2;

constexpr std::size_t MCU_BLOCK_NUMBER = 3;
constexpr std::size_t MCU_DATA = 4;

constexpr std::size_t FLASH_OFFSET_HIGH = 3;
constexpr std::size_t FLASH_OFFSET_MIDDLE = 4;
constexpr std::size_t FLASH_DATA = 5;

std::uint8_t BlockFlag(std::size_t blockOffset, std::size_t blockSize, std::size_t imageLength,
                       bool firstBlock) {
    if (firstBlock) return 0x00;
    return blockOffset + blockSize >= imageLength ? LAST_BLOCK_FLAG : 0x00;
}

void CopyBlock(std::uint8_t* target, std::size_t blockSize, const std::uint8_t* image,
               std::size_t imageLength, std::size_t blockOffset) {
    std::memset(target, IMAGE_PADDING, blockSize);
    if (blockOffset >= imageLength) return;
    std::memcpy(target, image + blockOffset, std::min(blockSize, imageLength - blockOffset));
}

}  // namespace

std::uint8_t ComputeCheckByte(const std::uint8_t* bytes, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
    return static_cast<std::uint8_t>(0x100 - sum);
}

bool SetCheckByte(std::uint8_t* frame, std::size_t length) {
    if (length != COMMAND_FRAME_LENGTH && length != FLASH_DATA_FRAME_LENGTH &&
        length != MCU_DATA_FRAME_LENGTH)
        return false;
    frame[length - 1] = ComputeCheckByte(frame, length - 1);
    return true;
}

bool IsCheckByteValid(const std::uint8_t* frame) {
    return ComputeCheckByte(frame, COMMAND_FRAME_LENGTH - 1) == frame[COMMAND_FRAME_LENGTH - 1];
}

bool StartsWithSync(const std::uint8_t* frame, const std::uint8_t (&sync)[2]) {
    return frame[0] == sync[0] && frame[1] == sync[1];
}

void BuildCommandFrame(std::uint8_t* frame, std::uint8_t group, std::uint8_t item,
                       const std::uint8_t* parameters, std::size_t parameterCount) {
    std::memset(frame + SYNC_LENGTH, 0, COMMAND_FRAME_LENGTH - 1 - SYNC_LENGTH);
    frame[COMMAND_GROUP] = group;
    frame[COMMAND_ITEM] = item;
    if (parameters != nullptr)
        std::memcpy(frame + COMMAND_PARAMETERS, parameters,
                    std::min(parameterCount, COMMAND_PARAMETER_COUNT));
}

void BuildMcuDataFrame(std::uint8_t* frame, const std::uint8_t* image, std::size_t imageLength,
                       std::size_t blockOffset, bool firstBlock) {
    frame[BLOCK_FLAG] = BlockFlag(blockOffset, MCU_BLOCK_SIZE, imageLength, firstBlock);
    frame[MCU_BLOCK_NUMBER] = static_cast<std::uint8_t>(blockOffset / MCU_BLOCK_SIZE);
    CopyBlock(frame + MCU_DATA, MCU_BLOCK_SIZE, image, imageLength, blockOffset);
}

void BuildFlashDataFrame(std::uint8_t* frame, const std::uint8_t* image, std::size_t imageLength,
                         std::size_t blockOffset, bool firstBlock) {
    frame[BLOCK_FLAG] = BlockFlag(blockOffset, FLASH_BLOCK_SIZE, imageLength, firstBlock);
    frame[FLASH_OFFSET_HIGH] = static_cast<std::uint8_t>(blockOffset >> 16);
    frame[FLASH_OFFSET_MIDDLE] = static_cast<std::uint8_t>(blockOffset >> 8);
    CopyBlock(frame + FLASH_DATA, FLASH_BLOCK_SIZE, image, imageLength, blockOffset);
}

void BuildEdidBlock(std::uint8_t* buffer, const std::uint8_t* file, std::size_t fileLength) {
    std::memset(buffer, 0, EDID_BUFFER_LENGTH);
    // copy_n, not memcpy: an empty file may come without a buffer at all.
    std::copy_n(file, std::min(fileLength, EDID_BUFFER_LENGTH - 1), buffer + 1);
}

}  // namespace DeviceFrame
