#include "core/HexLogFormatter.h"
#include "core/IpConfigPacket.h"
#include "core/SearchAnswer.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// 50 bytes: MAC 00 1A 2B 3C 4D 5E, address 192.168.1.100, the marker in
// b18 b19.
std::vector<std::uint8_t> DeviceAnswer(std::uint8_t marker0, std::uint8_t marker1) {
    std::vector<std::uint8_t> answer = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0xC0, 0xA8, 0x01, 0x64,
                                        0,    0,    0,    0,    0,    0,    0,    0,    marker0, marker1};
    answer.resize(50, 0x00);
    return answer;
}

// A configuration packet: b0..b25 as given, 00 up to b73, FF in b74 and the
// sum in b75.
std::vector<std::uint8_t> ConfigPacket(std::initializer_list<std::uint8_t> head, std::uint8_t sum) {
    std::vector<std::uint8_t> packet(head);
    packet.resize(74, 0x00);
    packet.push_back(0xFF);
    packet.push_back(sum);
    return packet;
}

std::vector<std::uint8_t> BytesOf(const IpConfigPacket::Bytes& packet) { return {packet.begin(), packet.end()}; }

const IpConfigPacket::MacPairs TARGET_MAC = {L"00", L"1A", L"2B", L"3C", L"4D", L"5E"};
const IpConfigPacket::MacPairs NEW_MAC = {L"00", L"1a", L"2B", L"3C", L"4D", L"5F"};

}  // namespace

TEST(SearchAnswer, ListedAnswerGivesAddressMacAndItsLogLines) {
    const std::vector<std::uint8_t> bytes = DeviceAnswer(0x77, 0x88);
    const auto answer = SearchAnswer::Parse(bytes.data(), bytes.size());
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(answer->hasMarker);
    EXPECT_EQ(answer->AddressText(), L"192.168.1.100");
    EXPECT_EQ(answer->MacText(), L"001A2B3C4D5E");
    EXPECT_EQ(answer->MacPairs()[1], L"1A");
    EXPECT_EQ(answer->AddressOctets()[3], L"100");

    const std::wstring log = HexLogFormatter::FormatDatagram(bytes.data(), bytes.size());
    const std::wstring firstLine = L"00 1A 2B 3C 4D 5E C0 A8 01 64 00 00 00 \r\n";
    EXPECT_EQ(log.substr(0, firstLine.size()), firstLine);
    // 13, 13 and 13 bytes with their line ends, then 11 bytes and no line end.
    EXPECT_EQ(log.size(), 50u * 3 + 3 * 2);
    const std::wstring secondLine = L"00 00 00 00 00 77 88 00 00 00 00 00 00 \r\n";
    EXPECT_EQ(log.substr(firstLine.size(), secondLine.size()), secondLine);
    // The last 11 bytes end the text without a line end.
    EXPECT_EQ(log.substr(3 * firstLine.size()), L"00 00 00 00 00 00 00 00 00 00 00 ");
    const std::uint8_t request = 0x61;
    EXPECT_EQ(HexLogFormatter::FormatDatagram(&request, 1), L"61 ");
}

TEST(SearchAnswer, UnmarkedAndShortAnswers) {
    const std::vector<std::uint8_t> unmarked = DeviceAnswer(0x00, 0x00);
    const auto answer = SearchAnswer::Parse(unmarked.data(), unmarked.size());
    ASSERT_TRUE(answer.has_value());
    EXPECT_FALSE(answer->hasMarker);
    EXPECT_EQ(answer->AddressText(), L"192.168.1.100");
    const std::vector<std::uint8_t> listed = DeviceAnswer(0x77, 0x88);
    EXPECT_FALSE(SearchAnswer::Parse(listed.data(), 49).has_value());
    EXPECT_FALSE(SearchAnswer::Parse(nullptr, 0).has_value());
}

TEST(SearchAnswer, ListedTextsBackToOctetsAndPairs) {
    using Octets = std::array<std::wstring, 4>;
    EXPECT_EQ(SearchAnswer::SplitAddressText(L"192.168.1.100"), (Octets{L"192", L"168", L"1", L"100"}));
    EXPECT_EQ(SearchAnswer::SplitAddressText(L"1.2.3.4.5"), (Octets{L"1", L"2", L"3", L"4.5"}));
    EXPECT_EQ(SearchAnswer::SplitAddressText(L"10.7"), (Octets{L"10", L"7", L"", L""}));
    EXPECT_EQ(SearchAnswer::SplitAddressText(L""), (Octets{L"", L"", L"", L""}));
    EXPECT_EQ(SearchAnswer::MacPairOf(L"001A2B3C4D5E", 5), L"5E");
    EXPECT_EQ(SearchAnswer::MacPairOf(L"001", 1), L"1");
    EXPECT_EQ(SearchAnswer::MacPairOf(L"", 0), L"");
}

TEST(IpConfigPacket, StaticAndAutoAddressPackets) {
    const IpConfigPacket::Octets address = {L"192", L"168", L"1", L"50"};
    EXPECT_EQ(BytesOf(IpConfigPacket::Build(TARGET_MAC, NEW_MAC, address, true)),
              ConfigPacket({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0xC0, 0xA8, 0x01, 0x32, 0xC0, 0xA8, 0x01,
                            0x01, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5F, 0x17},
                           0x71));
    EXPECT_EQ(BytesOf(IpConfigPacket::Build(TARGET_MAC, NEW_MAC, address, false)),
              ConfigPacket({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0, 0, 0, 0, 0, 0, 0,
                            0,    0,    0,    0,    0,    0x01, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5F, 0x16},
                           0x6F));
    // The configured switcher answers with the MAC it had or with the new one.
    const IpConfigPacket::Bytes packet = IpConfigPacket::Build(TARGET_MAC, NEW_MAC, address, true);
    const IpConfigPacket::Mac macs[] = {{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}, {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5F},
                                        {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x60}};
    const bool configured[] = {true, true, false};
    for (std::size_t i = 0; i < std::size(macs); ++i)
        EXPECT_EQ(IpConfigPacket::ConfiguresDevice(packet, macs[i]), configured[i]) << i;
}

TEST(IpConfigPacket, TextConversions) {
    std::uint8_t out = 0x00;
    IpConfigPacket::HexToByte(L"G1", out);
    EXPECT_EQ(out, 0x00);
    IpConfigPacket::HexToByte(L"1", out);
    EXPECT_EQ(out, 0x00);
    IpConfigPacket::HexToByte(L"0a", out);
    EXPECT_EQ(out, 0x0A);
    IpConfigPacket::HexToByte(L"", out);
    EXPECT_EQ(out, 0x0A);
    IpConfigPacket::HexToByte(L"1b2C", out);
    EXPECT_EQ(out, 0x2C);
    IpConfigPacket::HexToByte(L"3dZ4", out);
    EXPECT_EQ(out, 0x3D);

    EXPECT_EQ(IpConfigPacket::OctetToByte(L"300"), 44);
    EXPECT_EQ(IpConfigPacket::OctetToByte(L"50"), 50);
    EXPECT_EQ(IpConfigPacket::OctetToByte(L"12x9"), 12);
    EXPECT_EQ(IpConfigPacket::OctetToByte(L""), 0);
    EXPECT_EQ(IpConfigPacket::OctetToByte(L"x12"), 0);
    // 10^23 - 1 does not fit any integer type; its low 8 bits are FF.
    EXPECT_EQ(IpConfigPacket::OctetToByte(L"99999999999999999999999"), 0xFF);
}

TEST(IpConfigPacket, AnswerAcceptance) {
    std::vector<std::uint8_t> answer(76, 0);
    EXPECT_TRUE(IpConfigPacket::IsAcceptedAnswer(answer.data(), answer.size()));
    EXPECT_FALSE(IpConfigPacket::IsAcceptedAnswer(answer.data(), answer.size() - 1));
    answer[74] = 0xFF;
    EXPECT_FALSE(IpConfigPacket::IsAcceptedAnswer(answer.data(), answer.size()));
    answer[74] = 0x00;
    answer.resize(1024, 0x55);
    EXPECT_TRUE(IpConfigPacket::IsAcceptedAnswer(answer.data(), answer.size()));
}
