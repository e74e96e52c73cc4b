// The switcher's wire protocol as the device reads and writes it: where each
// field of a frame or a LAN datagram sits, how long each one is, the sync
// pairs and the check bytes. The simulator keeps this table of its own and
// takes nothing from the panel's code, so that a panel that puts a byte in
// the wrong place meets a device that reads it from the right one.
#pragma once

#include "tools/Bytes.h"

#include <cstddef>
#include <cstdint>

namespace ProtocolLayout {

constexpr std::size_t SYNC_LENGTH = 2;
constexpr std::uint8_t COMMAND_SYNC[SYNC_LENGTH] = {0xA5, 0x5B};
constexpr std::uint8_t DATA_SYNC[SYNC_LENGTH] = {0xFE, 0xEF};

// The 13-byte frame of both directions: sync, group, item, eight parameters
// (b4..b11) and the check byte.
namespace Command {
constexpr std::size_t LENGTH = 13;
constexpr std::size_t GROUP = 2;
constexpr std::size_t ITEM = 3;
constexpr std::size_t B4 = 4;
constexpr std::size_t B5 = 5;
constexpr std::size_t B6 = 6;
constexpr std::size_t B7 = 7;
constexpr std::size_t B10 = 10;
constexpr std::size_t CHECK = 12;
// b2..b11, what a sender chooses.
constexpr std::size_t BODY_LENGTH = CHECK - GROUP;
}  // namespace Command

// The command families (b2).
namespace Group {
constexpr std::uint8_t QUERY = 0x01;
constexpr std::uint8_t ROUTING = 0x02;
constexpr std::uint8_t EDID = 0x03;
constexpr std::uint8_t BEEP = 0x06;
constexpr std::uint8_t SYSTEM = 0x08;
constexpr std::uint8_t ARC = 0x10;
constexpr std::uint8_t FLASH = 0xF8;
constexpr std::uint8_t LABELS = 0xFA;
}  // namespace Group

// A firmware transfer's frames both ways open with DATA_SYNC and a flag in
// b2, 80 on the last block and on the answer that ends the transfer. An MCU
// block and its answer carry the block's number in b3; a flash block gives
// bits 16..23 and 8..15 of its offset in b3 and b4.
namespace Block {
constexpr std::size_t FLAG = 2;
constexpr std::uint8_t LAST = 0x80;
constexpr std::size_t MCU_NUMBER = 3;
constexpr std::uint8_t PADDING = 0xFF;

constexpr std::size_t MCU_LENGTH = 1029;
constexpr std::size_t MCU_DATA = 4;
constexpr std::size_t MCU_DATA_LENGTH = 1024;

constexpr std::size_t FLASH_LENGTH = 262;
constexpr std::size_t FLASH_OFFSET_HIGH = 3;
constexpr std::size_t FLASH_OFFSET_MIDDLE = 4;
constexpr std::size_t FLASH_DATA = 5;
constexpr std::size_t FLASH_DATA_LENGTH = 256;
}  // namespace Block

// The device's 13-byte answer to a block (check byte as a command frame's):
// the flag and number as above, then the block's status.
namespace BlockAck {
constexpr std::size_t MCU_STATUS = 4;
constexpr std::size_t FLASH_STATUS = 5;
constexpr std::uint8_t NEXT = 0x00;
constexpr std::uint8_t AGAIN = 0x01;
constexpr std::uint8_t FAILED = 0x02;
}  // namespace BlockAck

// An uploaded EDID: 256 raw bytes, no sync and no check byte; a 00 byte,
// then the file.
namespace EdidBlock {
constexpr std::size_t LENGTH = 256;
constexpr std::size_t FILE_START = 1;
}  // namespace EdidBlock

// Both LAN datagrams open alike: a MAC in b0..b5, then an address, its
// gateway and its mask, four bytes each. A device at a.b.c.d has the gateway
// a.b.c.1 and the mask 255.255.255.0.
namespace Network {
constexpr std::size_t MAC = 0;
constexpr std::size_t ADDRESS = 6;
constexpr std::size_t GATEWAY = 10;
constexpr std::size_t MASK = 14;
constexpr std::size_t OCTETS = 4;
constexpr std::uint8_t GATEWAY_HOST = 0x01;
constexpr std::uint8_t MASK_BYTES[OCTETS] = {0xFF, 0xFF, 0xFF, 0x00};
}  // namespace Network

// The device search on UDP: a one-byte "a", answered with the device's MAC
// and network and the marker 77 88.
namespace Search {
constexpr std::uint16_t PORT = 30600;
constexpr std::uint8_t REQUEST = 0x61;
constexpr std::size_t ANSWER_LENGTH = 50;
constexpr std::size_t MARKER = 18;
constexpr std::uint8_t MARKER_BYTES[] = {0x77, 0x88};
}  // namespace Search

// The 76-byte IP configuration packet on UDP: the target's MAC, the network
// it is to take, and its answer (the packet back, with 00 in the status byte
// when it was taken).
namespace IpConfig {
constexpr std::uint16_t PORT = 30601;
constexpr std::size_t LENGTH = 76;
constexpr std::size_t AUTO_FLAG = 18;
constexpr std::size_t NEW_MAC = 19;
constexpr std::size_t MODE = 25;
constexpr std::size_t STATUS = 74;
constexpr std::size_t SUM = 75;
constexpr std::uint8_t AUTO = 0x01;
constexpr std::uint8_t MODE_AUTO = 0x16;
constexpr std::uint8_t MODE_STATIC = 0x17;
constexpr std::uint8_t STATUS_REQUEST = 0xFF;
constexpr std::uint8_t STATUS_ACCEPTED = 0x00;
}  // namespace IpConfig

// The plain 8-bit sum of bytes [first, first + count).
inline std::uint8_t Sum(const Bytes& bytes, std::size_t first, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = first; i < first + count; ++i) sum = static_cast<std::uint8_t>(sum + bytes[i]);
    return sum;
}

// A frame's last byte: the two's complement of the 8-bit sum of every byte
// before it, sync included, so that the whole frame sums to 0.
inline std::uint8_t CheckByteFor(const Bytes& frame) {
    return static_cast<std::uint8_t>(-Sum(frame, 0, frame.size() - 1));
}

inline bool HasValidCheckByte(const Bytes& frame) { return !frame.empty() && CheckByteFor(frame) == frame.back(); }

inline void SetCheckByte(Bytes& frame) { frame.back() = CheckByteFor(frame); }

inline bool OpensWith(const Bytes& frame, const std::uint8_t (&sync)[SYNC_LENGTH]) {
    return frame.size() >= SYNC_LENGTH && frame[0] == sync[0] && frame[1] == sync[1];
}

}  // namespace ProtocolLayout
