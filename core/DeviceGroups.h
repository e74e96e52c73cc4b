// The group byte (b2) of the device's command frames and reports, which says
// what a frame is about; the item byte (b3) that follows is each group's own.
#pragma once

#include <cstdint>

namespace DeviceGroups {
constexpr std::uint8_t GROUP_QUERY = 0x01;
constexpr std::uint8_t GROUP_ROUTING = 0x02;
constexpr std::uint8_t GROUP_EDID = 0x03;
constexpr std::uint8_t GROUP_BEEP = 0x06;
constexpr std::uint8_t GROUP_SYSTEM = 0x08;
constexpr std::uint8_t GROUP_ARC = 0x10;
constexpr std::uint8_t GROUP_FLASH = 0xF8;
constexpr std::uint8_t GROUP_LABELS = 0xFA;
}  // namespace DeviceGroups
