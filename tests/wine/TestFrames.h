// Device frames as the tests write and expect them.
#pragma once

#include "core/DeviceFrame.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A whole command frame with one parameter in b4 and its check byte.
inline Bytes Command(std::uint8_t group, std::uint8_t item, std::uint8_t parameter = 0) {
    Bytes frame(DeviceFrame::COMMAND_FRAME_LENGTH, 0);
    frame[0] = DeviceFrame::CommandSync[0];
    frame[1] = DeviceFrame::CommandSync[1];
    DeviceFrame::BuildCommandFrame(frame.data(), group, item, &parameter, 1);
    DeviceFrame::SetCheckByte(frame.data(), frame.size());
    return frame;
}
