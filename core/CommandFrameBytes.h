// Where a command frame (and a device report) keeps what: b2 the group, which
// says what the frame is about, b3 the group's own item, b4..b11 the
// parameters; the group bytes themselves, and each group's item bytes. An
// item named without SET_ is the query of that value, and its report.
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

// GROUP_QUERY
constexpr std::uint8_t ITEM_DEVICE_TYPE = 0x01;
constexpr std::uint8_t ITEM_DEVICE_SIZE = 0x02;
constexpr std::uint8_t ITEM_VERSION = 0x03;
constexpr std::uint8_t ITEM_INPUT_LINK = 0x04;
constexpr std::uint8_t ITEM_OUTPUT_LINK = 0x05;
constexpr std::uint8_t ITEM_BEEP = 0x0B;
constexpr std::uint8_t ITEM_EDID_MODE = 0x0C;
constexpr std::uint8_t ITEM_AUTO_SWITCH = 0x0D;

// GROUP_ROUTING
constexpr std::uint8_t ITEM_ROUTE = 0x01;
constexpr std::uint8_t ITEM_SET_ROUTE = 0x03;
constexpr std::uint8_t ITEM_SET_AUTO_SWITCH = 0x05;

// GROUP_EDID: the _ALL items address every input at once.
constexpr std::uint8_t ITEM_SET_EDID_MODE_ALL = 0x01;
constexpr std::uint8_t ITEM_SET_EDID_MODE = 0x02;
constexpr std::uint8_t ITEM_COPY_EDID_ALL = 0x03;
constexpr std::uint8_t ITEM_COPY_EDID = 0x04;
constexpr std::uint8_t ITEM_WRITE_EDID_ALL = 0x06;
constexpr std::uint8_t ITEM_WRITE_EDID = 0x07;
constexpr std::uint8_t ITEM_PREPARE_EDID = 0x08;

// GROUP_BEEP
constexpr std::uint8_t ITEM_SET_BEEP = 0x01;

// GROUP_SYSTEM
constexpr std::uint8_t ITEM_MCU_ENTER = 0x07;
constexpr std::uint8_t ITEM_MCU_START = 0x08;
constexpr std::uint8_t ITEM_FACTORY_RESET = 0x0A;
constexpr std::uint8_t ITEM_SET_POWER = 0x0B;
constexpr std::uint8_t ITEM_POWER = 0x0C;
constexpr std::uint8_t ITEM_REBOOT = 0x0D;

// GROUP_ARC
constexpr std::uint8_t ITEM_SET_ARC = 0x01;
constexpr std::uint8_t ITEM_ARC = 0x02;

// GROUP_FLASH
constexpr std::uint8_t ITEM_FLASH_ENTER = 0x09;

// GROUP_LABELS: the four chunks of the labels, written and read.
constexpr std::uint8_t ITEM_LABEL_WRITE_FIRST = 0x21;
constexpr std::uint8_t ITEM_LABEL_WRITE_SECOND = 0x22;
constexpr std::uint8_t ITEM_LABEL_WRITE_THIRD = 0x23;
constexpr std::uint8_t ITEM_LABEL_WRITE_LAST = 0x24;
constexpr std::uint8_t ITEM_LABEL_READ_FIRST = 0x25;
constexpr std::uint8_t ITEM_LABEL_READ_SECOND = 0x26;
constexpr std::uint8_t ITEM_LABEL_READ_THIRD = 0x27;
constexpr std::uint8_t ITEM_LABEL_READ_LAST = 0x28;
}  // namespace CommandFrameBytes
