// The device search over UDP: the one-byte request the panel broadcasts, and
// a switcher's answer with its MAC address and IPv4 address. Only an answer
// that carries the marker 77 88 is listed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

class SearchAnswer {
public:
    static constexpr std::uint16_t SEARCH_PORT = 30600;
    static constexpr std::uint8_t SEARCH_REQUEST = 0x61;
    // Shorter answers are only logged.
    static constexpr std::size_t DEVICE_ANSWER_LENGTH = 50;
    static constexpr std::size_t MAC_LENGTH = 6;
    static constexpr std::size_t ADDRESS_LENGTH = 4;
    static constexpr std::size_t MAC_OFFSET = 0;
    static constexpr std::size_t ADDRESS_OFFSET = 6;
    static constexpr std::size_t MARKER_OFFSET = 18;
    // 30600 as a big-endian number.
    static constexpr std::uint8_t MARKER[2] = {0x77, 0x88};

    // Reads the first `count` bytes of `data` and nothing beyond them; no
    // answer when there are fewer than DEVICE_ANSWER_LENGTH.
    static std::optional<SearchAnswer> Parse(const std::uint8_t* data, std::size_t count);

    // A listed address text cut at its first three "." into four texts; the
    // ones the text does not reach stay empty.
    static std::array<std::wstring, ADDRESS_LENGTH> SplitAddressText(const std::wstring& text);
    // The two hex digits of byte k of a 12-digit MAC text; empty where the
    // text is shorter.
    static std::wstring MacPairOf(const std::wstring& macText, std::size_t k);

    // 12 upper-case hex digits.
    std::wstring MacText() const;
    // Each byte as two upper-case hex digits.
    std::array<std::wstring, MAC_LENGTH> MacPairs() const;
    // Each octet in decimal, most significant first.
    std::array<std::wstring, ADDRESS_LENGTH> AddressOctets() const;
    // The four octets joined by ".".
    std::wstring AddressText() const;

    std::array<std::uint8_t, MAC_LENGTH> mac{};
    std::array<std::uint8_t, ADDRESS_LENGTH> address{};
    bool hasMarker = false;
};
