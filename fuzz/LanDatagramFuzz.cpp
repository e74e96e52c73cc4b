// The LAN's outside bytes: any datagram to the search answer parser, its log
// text, the configuration answer test and the simulated switcher's responder;
// the same bytes as the ten texts of the configuration dialog (six MAC pairs,
// four octets) to the packet builder.
#include "core/HexLogFormatter.h"
#include "core/IpConfigPacket.h"
#include "core/SearchAnswer.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzText.h"
#include "tools/LanResponder.h"
#include "tools/ProtocolLayout.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t CHARACTERS_PER_BYTE = 3;
constexpr std::size_t LINE_END_LENGTH = 2;
constexpr std::size_t TEXT_UNITS = 8;
constexpr std::size_t MAC_TEXT_LENGTH = 12;

void CheckAnswer(const std::uint8_t* data, std::size_t size) {
    const std::wstring log = HexLogFormatter::FormatDatagram(data, size);
    FuzzCheck(log.size() == size * CHARACTERS_PER_BYTE + size / HexLogFormatter::BYTES_PER_LINE * LINE_END_LENGTH,
              "three characters a byte, a line end after every 13th");
    const auto answer = SearchAnswer::Parse(data, size);
    FuzzCheck(answer.has_value() == (size >= SearchAnswer::DEVICE_ANSWER_LENGTH), "only 50 bytes or more answer");
    if (answer) {
        FuzzCheck(answer->MacText().size() == MAC_TEXT_LENGTH, "twelve MAC digits");
        FuzzCheck(SearchAnswer::SplitAddressText(answer->AddressText()) == answer->AddressOctets(),
                  "a listed address splits back into its octets");
    }
    FuzzCheck(IpConfigPacket::IsAcceptedAnswer(data, size) ==
                  (size >= IpConfigPacket::LENGTH && data[IpConfigPacket::STATUS_OFFSET] == 0),
              "accepted: 76 bytes or more with b74 00");
}

void CheckPacket(FuzzedDataProvider& input) {
    IpConfigPacket::MacPairs mac;
    IpConfigPacket::Octets octets;
    for (std::wstring& pair : mac) pair = ConsumeSystemText(input, TEXT_UNITS);
    for (std::wstring& octet : octets) octet = ConsumeSystemText(input, TEXT_UNITS);
    const bool staticIp = input.ConsumeBool();
    const IpConfigPacket::Bytes packet = IpConfigPacket::Build(mac, mac, octets, staticIp);
    FuzzCheck(packet[IpConfigPacket::STATUS_OFFSET] == IpConfigPacket::STATUS_REQUEST, "b74 FF");
    FuzzCheck(packet[IpConfigPacket::SUM_OFFSET] == IpConfigPacket::Sum(packet.data(), IpConfigPacket::SUM_OFFSET),
              "b75 the plain sum");
    FuzzCheck(packet[IpConfigPacket::MODE_OFFSET] == (staticIp ? IpConfigPacket::MODE_STATIC : IpConfigPacket::MODE_AUTO),
              "b25 by the mode");
    for (std::size_t k = 0; k < octets.size(); ++k) {
        const std::uint8_t expected = staticIp ? IpConfigPacket::OctetToByte(octets[k]) : 0;
        FuzzCheck(packet[IpConfigPacket::ADDRESS_OFFSET + k] == expected, "the address only for a static one");
    }
    std::wstring joined;
    for (const std::wstring& pair : mac) joined += pair;
    for (std::size_t k = 0; k < mac.size(); ++k) {
        FuzzCheck(packet[IpConfigPacket::TARGET_MAC_OFFSET + k] == packet[IpConfigPacket::NEW_MAC_OFFSET + k],
                  "one text, one byte");
        FuzzCheck(SearchAnswer::MacPairOf(joined, k).size() <= 2, "a pair has two characters at most");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckAnswer(data, size);
    LanResponder responder;
    const std::vector<std::uint8_t> datagram(data, data + size);
    responder.Answer(ProtocolLayout::Search::PORT, datagram);
    responder.Answer(ProtocolLayout::IpConfig::PORT, datagram);
    FuzzedDataProvider input(data, size);
    CheckPacket(input);
    return 0;
}
