// The IP configuration packet the panel broadcasts to UDP port 30601, built
// from the texts of the configuration dialog, and the test that a switcher's
// answer accepted it. The packet ends with the plain 8-bit sum of its first
// 75 bytes, not with a check byte of the device frames.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class IpConfigPacket {
public:
    static constexpr std::uint16_t CONFIG_PORT = 30601;
    static constexpr std::size_t LENGTH = 76;
    static constexpr std::size_t MAC_PAIR_COUNT = 6;
    static constexpr std::size_t OCTET_COUNT = 4;
    static constexpr std::size_t TARGET_MAC_OFFSET = 0;
    static constexpr std::size_t ADDRESS_OFFSET = 6;
    static constexpr std::size_t GATEWAY_OFFSET = 10;
    static constexpr std::size_t MASK_OFFSET = 14;
    static constexpr std::size_t AUTO_FLAG_OFFSET = 18;
    static constexpr std::size_t NEW_MAC_OFFSET = 19;
    static constexpr std::size_t MODE_OFFSET = 25;
    static constexpr std::size_t STATUS_OFFSET = 74;
    static constexpr std::size_t SUM_OFFSET = 75;
    static constexpr std::uint8_t MODE_AUTO = 0x16;
    static constexpr std::uint8_t MODE_STATIC = 0x17;
    // b74 as the panel sends it; an answer carries 00 there when accepted.
    static constexpr std::uint8_t STATUS_REQUEST = 0xFF;
    static constexpr std::uint8_t STATUS_ACCEPTED = 0x00;

    using Bytes = std::array<std::uint8_t, LENGTH>;
    using Mac = std::array<std::uint8_t, MAC_PAIR_COUNT>;
    using MacPairs = std::array<std::wstring, MAC_PAIR_COUNT>;
    using Octets = std::array<std::wstring, OCTET_COUNT>;

    // `targetMac` addresses the switcher to configure; `newMac` and
    // `newAddress` are what the operator entered (the address counts only
    // for a static address, which also sets the gateway a.b.c.1 and the mask
    // 255.255.255.0).
    static Bytes Build(const MacPairs& targetMac, const MacPairs& newMac, const Octets& newAddress, bool staticIp);

    // 8-bit sum of `count` bytes.
    static std::uint8_t Sum(const std::uint8_t* bytes, std::size_t count);

    // Reads the text two characters at a time while both are hex digits and
    // writes each pair to `out` (a later pair overwrites an earlier one);
    // `out` keeps its value when the text opens with no such pair.
    static void HexToByte(const std::wstring& text, std::uint8_t& out);

    // The decimal digits the text starts with, as a number's low 8 bits; 0
    // when it starts with none.
    static std::uint8_t OctetToByte(const std::wstring& text);

    // Whether the switcher with `mac` is the one `packet` configures: it
    // has the MAC the packet addresses, or the one the packet gives it.
    static bool ConfiguresDevice(const Bytes& packet, const Mac& mac);

    // An answer of at least LENGTH bytes with STATUS_ACCEPTED in b74.
    static bool IsAcceptedAnswer(const std::uint8_t* data, std::size_t count);
};
