// The received-frame check and the frame builders. A received frame passes
// the check exactly when its 13 bytes sum to 0; every built frame holds its
// fields and, once its check byte is set, passes the same rule. Buffers are
// sized exactly, so any write or read past a frame is reported.
#include "core/DeviceFrame.h"
#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// Fills the buffers before a build, to show which bytes the build left alone.
constexpr std::uint8_t UNTOUCHED = 0xAA;
constexpr std::size_t BLOCK_FLAG = 2;
constexpr std::size_t MCU_DATA = 4;
constexpr std::size_t FLASH_DATA = 5;
constexpr std::size_t COMMAND_GROUP = 2;
constexpr std::size_t COMMAND_ITEM = 3;
constexpr std::size_t COMMAND_PARAMETERS = 4;
// Callers may hand over more parameters than a frame holds.
constexpr std::size_t MAX_PARAMETERS_GIVEN = DeviceFrame::COMMAND_PARAMETER_COUNT + 4;
// Offsets reach past the largest image the pages accept.
constexpr std::size_t MAX_BLOCK_INDEX = 2048;

bool SumsToZero(const Bytes& frame) {
    return std::accumulate(frame.begin(), frame.end(), 0u) % 0x100 == 0;
}

void CheckReceivedFrame(FuzzedDataProvider& input) {
    Bytes frame = input.ConsumeBytes<std::uint8_t>(DeviceFrame::COMMAND_FRAME_LENGTH);
    frame.resize(DeviceFrame::COMMAND_FRAME_LENGTH);
    FuzzCheck(DeviceFrame::IsCheckByteValid(frame.data()) == SumsToZero(frame), "the check accepts a zero sum only");
    DeviceFrame::SetCheckByte(frame.data(), frame.size());
    FuzzCheck(DeviceFrame::IsCheckByteValid(frame.data()), "a frame with its check byte set passes the check");
}

void CheckCommandFrame(FuzzedDataProvider& input) {
    Bytes frame(DeviceFrame::COMMAND_FRAME_LENGTH, UNTOUCHED);
    const std::uint8_t group = input.ConsumeIntegral<std::uint8_t>();
    const std::uint8_t item = input.ConsumeIntegral<std::uint8_t>();
    const Bytes parameters = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, MAX_PARAMETERS_GIVEN));
    DeviceFrame::BuildCommandFrame(frame.data(), group, item, parameters.empty() ? nullptr : parameters.data(),
                                   parameters.size());
    FuzzCheck(frame[0] == UNTOUCHED && frame[1] == UNTOUCHED && frame.back() == UNTOUCHED,
              "the sync pair and check byte are kept");
    FuzzCheck(frame[COMMAND_GROUP] == group && frame[COMMAND_ITEM] == item, "group and item in b2 and b3");
    const std::size_t copied = std::min(parameters.size(), DeviceFrame::COMMAND_PARAMETER_COUNT);
    FuzzCheck(std::equal(parameters.begin(), parameters.begin() + static_cast<std::ptrdiff_t>(copied),
                         frame.begin() + COMMAND_PARAMETERS),
              "the parameters from b4 on");
    FuzzCheck(std::all_of(frame.begin() + static_cast<std::ptrdiff_t>(COMMAND_PARAMETERS + copied), frame.end() - 1,
                          [](std::uint8_t byte) { return byte == 0; }),
              "the rest of the body is cleared");
}

using DataFrameBuilder = void (*)(std::uint8_t*, const std::uint8_t*, std::size_t, std::size_t, bool);

void CheckDataFrame(DataFrameBuilder build, std::size_t frameLength, std::size_t blockSize, std::size_t dataStart,
                    const Bytes& image, std::size_t blockIndex, bool firstBlock) {
    Bytes frame(frameLength);
    const std::size_t offset = blockIndex * blockSize;
    build(frame.data(), image.data(), image.size(), offset, firstBlock);
    const bool last = !firstBlock && offset + blockSize >= image.size();
    FuzzCheck(frame[BLOCK_FLAG] == (last ? DeviceFrame::LAST_BLOCK_FLAG : 0), "the last-block flag");
    for (std::size_t i = 0; i < blockSize; ++i) {
        const std::uint8_t expected = offset + i < image.size() ? image[offset + i] : DeviceFrame::IMAGE_PADDING;
        FuzzCheck(frame[dataStart + i] == expected, "image bytes, then padding");
    }
    FuzzCheck(DeviceFrame::SetCheckByte(frame.data(), frame.size()) && SumsToZero(frame),
              "a data frame carries a check byte");
}

void CheckEdidBlock(const Bytes& file) {
    Bytes buffer(DeviceFrame::EDID_BUFFER_LENGTH, UNTOUCHED);
    DeviceFrame::BuildEdidBlock(buffer.data(), file.data(), file.size());
    FuzzCheck(buffer[0] == 0, "the block opens with 00");
    for (std::size_t i = 1; i < buffer.size(); ++i)
        FuzzCheck(buffer[i] == (i - 1 < file.size() ? file[i - 1] : 0), "the file from position 1, then 00");
    Bytes block(buffer.begin(), buffer.begin() + DeviceFrame::EDID_BLOCK_LENGTH);
    FuzzCheck(!DeviceFrame::SetCheckByte(block.data(), block.size()), "the EDID block carries no check byte");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    CheckReceivedFrame(input);
    CheckCommandFrame(input);
    const std::size_t blockIndex = input.ConsumeIntegralInRange<std::size_t>(0, MAX_BLOCK_INDEX);
    const bool firstBlock = input.ConsumeBool();
    const Bytes image = input.ConsumeRemainingBytes<std::uint8_t>();
    CheckDataFrame(DeviceFrame::BuildMcuDataFrame, DeviceFrame::MCU_DATA_FRAME_LENGTH, DeviceFrame::MCU_BLOCK_SIZE,
                   MCU_DATA, image, blockIndex, firstBlock);
    CheckDataFrame(DeviceFrame::BuildFlashDataFrame, DeviceFrame::FLASH_DATA_FRAME_LENGTH,
                   DeviceFrame::FLASH_BLOCK_SIZE, FLASH_DATA, image, blockIndex, firstBlock);
    CheckEdidBlock(image);
    return 0;
}
