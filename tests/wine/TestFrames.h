// Device frames as the tests write and expect them.
#pragma once

#include "core/DeviceFrame.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A whole command frame with b2 onward as given (zeros after) and its check byte.
inline Bytes Frame(std::initializer_list<std::uint8_t> b2Onward) {
    Bytes frame(DeviceFrame::COMMAND_FRAME_LENGTH, 0);
    frame[0] = DeviceFrame::CommandSync[0];
    frame[1] = DeviceFrame::CommandSync[1];
    std::copy(b2Onward.begin(), b2Onward.end(), frame.begin() + 2);
    DeviceFrame::SetCheckByte(frame.data(), frame.size());
    return frame;
}

// A whole command frame with one parameter in b4 and its check byte.
inline Bytes Command(std::uint8_t group, std::uint8_t item, std::uint8_t parameter = 0) {
    return Frame({group, item, parameter});
}
