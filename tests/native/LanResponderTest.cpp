#include "core/IpConfigPacket.h"
#include "core/SearchAnswer.h"
#include "tools/LanResponder.h"

#include <gtest/gtest.h>

namespace {

constexpr LanResponder::Address LAN_ADDRESS = {10, 231, 0, 2};
const IpConfigPacket::MacPairs DEVICE_MAC = {L"00", L"1A", L"2B", L"3C", L"4D", L"5E"};

Bytes Packet(const IpConfigPacket::MacPairs& target, const IpConfigPacket::Octets& address, bool staticIp) {
    const IpConfigPacket::Bytes packet = IpConfigPacket::Build(target, DEVICE_MAC, address, staticIp);
    return Bytes(packet.begin(), packet.end());
}

class LanResponderTest : public ::testing::Test {
protected:
    void SetUp() override { responder.SetAddress(LAN_ADDRESS); }

    std::optional<SearchAnswer> SearchOnce() {
        const std::vector<LanDatagram> answers = responder.Answer(SearchAnswer::SEARCH_PORT, {SearchAnswer::SEARCH_REQUEST});
        if (answers.size() != 1) return std::nullopt;
        return SearchAnswer::Parse(answers[0].bytes.data(), answers[0].bytes.size());
    }

    LanResponder responder;
};

}  // namespace

TEST_F(LanResponderTest, SearchIsAnsweredWithMacAddressAndMarkerAndNothingElseIs) {
    const auto answer = SearchOnce();
    ASSERT_TRUE(answer.has_value());
    EXPECT_TRUE(answer->hasMarker);
    EXPECT_EQ(answer->MacText(), L"001A2B3C4D5E");
    EXPECT_EQ(answer->AddressText(), L"10.231.0.2");
    // Its own kind of answer, another panel's packet or stray bytes on the
    // search port are no request.
    Bytes listed(LanResponder::SEARCH_ANSWER_LENGTH, 0);
    EXPECT_TRUE(responder.Answer(SearchAnswer::SEARCH_PORT, listed).empty());
    EXPECT_TRUE(responder.Answer(SearchAnswer::SEARCH_PORT, {0x61, 0x61}).empty());
    EXPECT_TRUE(responder.Answer(SearchAnswer::SEARCH_PORT, {}).empty());
}

TEST_F(LanResponderTest, ConfigurationForThisMacIsAnsweredAndAppliedOthersAreIgnored) {
    Bytes otherMac = Packet({L"00", L"1A", L"2B", L"3C", L"4D", L"5F"}, {L"192", L"168", L"1", L"50"}, true);
    EXPECT_TRUE(responder.Answer(IpConfigPacket::CONFIG_PORT, otherMac).empty());
    Bytes badSum = Packet(DEVICE_MAC, {L"192", L"168", L"1", L"50"}, true);
    ++badSum[IpConfigPacket::SUM_OFFSET];
    EXPECT_TRUE(responder.Answer(IpConfigPacket::CONFIG_PORT, badSum).empty());
    Bytes anAnswer = Packet(DEVICE_MAC, {L"192", L"168", L"1", L"50"}, true);
    anAnswer[IpConfigPacket::STATUS_OFFSET] = IpConfigPacket::STATUS_ACCEPTED;
    anAnswer[IpConfigPacket::SUM_OFFSET] = IpConfigPacket::Sum(anAnswer.data(), IpConfigPacket::SUM_OFFSET);
    EXPECT_TRUE(responder.Answer(IpConfigPacket::CONFIG_PORT, anAnswer).empty());

    const std::vector<LanDatagram> answers =
        responder.Answer(IpConfigPacket::CONFIG_PORT, Packet(DEVICE_MAC, {L"192", L"168", L"1", L"50"}, true));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].port, IpConfigPacket::CONFIG_PORT);
    EXPECT_TRUE(IpConfigPacket::IsAcceptedAnswer(answers[0].bytes.data(), answers[0].bytes.size()));
    EXPECT_EQ(SearchOnce()->AddressText(), L"192.168.1.50");

    ASSERT_EQ(responder.Execute("lan auto-address 10.231.0.9")->reply, "ok");
    ASSERT_EQ(responder.Answer(IpConfigPacket::CONFIG_PORT, Packet(DEVICE_MAC, {}, false)).size(), 1u);
    EXPECT_EQ(SearchOnce()->AddressText(), L"10.231.0.9");
}

TEST_F(LanResponderTest, AnswerKnobsShapeTheAnswers) {
    const auto searchLength = [this] {
        const auto answers = responder.Answer(SearchAnswer::SEARCH_PORT, {SearchAnswer::SEARCH_REQUEST});
        return answers.empty() ? -1 : static_cast<int>(answers[0].bytes.size());
    };
    responder.Execute("lan search short");
    EXPECT_EQ(searchLength(), 49);
    responder.Execute("lan search huge");
    EXPECT_EQ(searchLength(), 1500);
    responder.Execute("lan search empty");
    EXPECT_EQ(searchLength(), 0);
    responder.Execute("lan search silent");
    EXPECT_EQ(searchLength(), -1);
    responder.Execute("lan search nomarker");
    EXPECT_FALSE(SearchOnce()->hasMarker);

    responder.Execute("lan config refused");
    const auto refused = responder.Answer(IpConfigPacket::CONFIG_PORT, Packet(DEVICE_MAC, {L"1", L"2", L"3", L"4"}, true));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].bytes[IpConfigPacket::STATUS_OFFSET], IpConfigPacket::STATUS_REQUEST);
    responder.Execute("lan search normal");
    EXPECT_EQ(SearchOnce()->AddressText(), L"10.231.0.2");

    EXPECT_EQ(responder.Execute("lan config nomarker")->reply.rfind("error", 0), 0u);
    EXPECT_EQ(responder.Execute("lan search refused")->reply.rfind("error", 0), 0u);
    EXPECT_FALSE(responder.Execute("ping").has_value());
}

TEST_F(LanResponderTest, ManyDevicesAnswerPacedWithTheirOwnMacs) {
    ASSERT_EQ(responder.Execute("lan devices 300 4")->reply, "ok");
    const auto answers = responder.Answer(SearchAnswer::SEARCH_PORT, {SearchAnswer::SEARCH_REQUEST});
    ASSERT_EQ(answers.size(), 300u);
    EXPECT_EQ(answers[299].after, std::chrono::milliseconds(4 * 299));
    const auto first = SearchAnswer::Parse(answers[0].bytes.data(), answers[0].bytes.size());
    const auto last = SearchAnswer::Parse(answers[299].bytes.data(), answers[299].bytes.size());
    EXPECT_EQ(first->AddressText(), L"10.231.0.2");
    EXPECT_NE(first->MacText(), last->MacText());
    EXPECT_TRUE(last->hasMarker);
}

TEST_F(LanResponderTest, TcpAndStrayCommands) {
    EXPECT_TRUE(responder.Execute("tcp close")->tcpClose);
    EXPECT_EQ(responder.Execute("tcp stall on")->tcpStall, true);
    EXPECT_EQ(responder.Execute("tcp refuse off")->tcpRefuse, false);
    EXPECT_EQ(responder.Execute("tcp refuse maybe")->reply.rfind("error", 0), 0u);
    const auto stray = responder.Execute("lan stray 30600 61");
    ASSERT_EQ(stray->strays.size(), 1u);
    EXPECT_EQ(stray->strays[0].bytes, Bytes{0x61});
    EXPECT_EQ(responder.Execute("lan state")->reply, "ok mac=001A2B3C4D5E address=10.231.0.2");
}
