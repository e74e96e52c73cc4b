// Where a command frame (and a device report) keeps what: b2 the group, which
// says what the frame is about, b3 the group's own item, b4..b11 the
// parameters; and the group bytes themselves.
#pragma once

#include <cstddef>
#include <cstdint>

namespace CommandFrameBytes {
constexpr std::size_t B2 = 2;
constexpr std::size_t B3 = 3;
constexpr std::size_t B4 = 4;
constexpr std::size_t B5 = 5;
constexpr std::size_t B6 = 6;
constexpr std::size_t B7 = 7;
constexpr std::size_t B10 = 10;
constexpr std::size_t B11 = 11;

constexpr std::uint8_t GROUP_QUERY = 0x01;
constexpr std::uint8_t GROUP_ROUTING = 0x02;
constexpr std::uint8_t GROUP_EDID = 0x03;
constexpr std::uint8_t GROUP_BEEP = 0x06;
constexpr std::uint8_t GROUP_SYSTEM = 0x08;
constexpr std::uint8_t GROUP_ARC = 0x10;
constexpr std::uint8_t GROUP_FLASH = 0xF8;
constexpr std::uint8_t GROUP_LABELS = 0xFA;
}  // namespace CommandFrameBytes
