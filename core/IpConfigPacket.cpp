#include "core/IpConfigPacket.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr std::size_t GATEWAY_NETWORK_OCTETS = 3;
constexpr std::uint8_t GATEWAY_HOST = 0x01;
constexpr std::uint8_t MASK[] = {0xFF, 0xFF, 0xFF, 0x00};
constexpr std::uint8_t AUTO_FLAG = 0x01;
constexpr unsigned BYTE_MODULUS = 256;
constexpr unsigned DECIMAL_BASE = 10;
constexpr unsigned HEX_BASE = 16;
constexpr int NOT_HEX = -1;

int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return NOT_HEX;
}

}  // namespace

IpConfigPacket::Bytes IpConfigPacket::Build(const MacPairs& targetMac, const MacPairs& newMac,
                                            const Octets& newAddress, bool staticIp) {
    Bytes packet{};
    for (std::size_t k = 0; k < MAC_PAIR_COUNT; ++k) {
        HexToByte(targetMac[k], packet[TARGET_MAC_OFFSET + k]);
        HexToByte(newMac[k], packet[NEW_MAC_OFFSET + k]);
    }
    packet[STATUS_OFFSET] = STATUS_REQUEST;
    if (staticIp) {
        for (std::size_t k = 0; k < OCTET_COUNT; ++k) packet[ADDRESS_OFFSET + k] = OctetToByte(newAddress[k]);
        for (std::size_t k = 0; k < GATEWAY_NETWORK_OCTETS; ++k) packet[GATEWAY_OFFSET + k] = packet[ADDRESS_OFFSET + k];
        packet[GATEWAY_OFFSET + GATEWAY_NETWORK_OCTETS] = GATEWAY_HOST;
        for (std::size_t k = 0; k < OCTET_COUNT; ++k) packet[MASK_OFFSET + k] = MASK[k];
        packet[MODE_OFFSET] = MODE_STATIC;
    } else {
        packet[AUTO_FLAG_OFFSET] = AUTO_FLAG;
        packet[MODE_OFFSET] = MODE_AUTO;
    }
    packet[SUM_OFFSET] = Sum(packet.data(), SUM_OFFSET);
    return packet;
}

std::uint8_t IpConfigPacket::Sum(const std::uint8_t* bytes, std::size_t count) {
    return static_cast<std::uint8_t>(std::accumulate(bytes, bytes + count, 0u) % BYTE_MODULUS);
}

void IpConfigPacket::HexToByte(const std::wstring& text, std::uint8_t& out) {
    for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
        const int high = HexDigitValue(text[i]);
        const int low = HexDigitValue(text[i + 1]);
        if (high == NOT_HEX || low == NOT_HEX) return;
        out = static_cast<std::uint8_t>(high * HEX_BASE + low);
    }
}

// Digits beyond the low 8 bits are folded in as they come, so no text is too
// long for the number.
std::uint8_t IpConfigPacket::OctetToByte(const std::wstring& text) {
    unsigned value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9') break;
        value = (value * DECIMAL_BASE + static_cast<unsigned>(c - L'0')) % BYTE_MODULUS;
    }
    return static_cast<std::uint8_t>(value);
}

bool IpConfigPacket::ConfiguresDevice(const Bytes& packet, const Mac& mac) {
    const auto hasMacAt = [&](std::size_t offset) {
        return std::equal(mac.begin(), mac.end(), packet.begin() + static_cast<std::ptrdiff_t>(offset));
    };
    return hasMacAt(TARGET_MAC_OFFSET) || hasMacAt(NEW_MAC_OFFSET);
}

bool IpConfigPacket::IsAcceptedAnswer(const std::uint8_t* data, std::size_t count) {
    return data != nullptr && count >= LENGTH && data[STATUS_OFFSET] == STATUS_ACCEPTED;
}
