#include "tools/LanResponder.h"
#include "tools/ProtocolLayout.h"

#include <gtest/gtest.h>

namespace {

constexpr LanResponder::Address LAN_ADDRESS = {10, 231, 0, 2};
constexpr std::uint16_t SEARCH_PORT = 30600;
constexpr std::uint16_t CONFIG_PORT = 30601;

// A configuration packet: b0..b25 as given, 00 up to b73, FF in b74 and the
// sum in b75.
Bytes ConfigPacket(std::initializer_list<std::uint8_t> head, std::uint8_t sum) {
    Bytes packet(head);
    packet.resize(74, 0x00);
    packet.push_back(0xFF);
    packet.push_back(sum);
    return packet;
}

// To this device: 192.168.1.50 with its gateway and mask, or an automatic
// address; the new MAC is the device's own.
const Bytes STATIC_PACKET = ConfigPacket({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0xC0, 0xA8, 0x01, 0x32, 0xC0, 0xA8, 0x01,
                                          0x01, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x17},
                                         0x70);
const Bytes AUTO_PACKET = ConfigPacket({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0, 0, 0, 0, 0, 0, 0,
                                        0,    0,    0,    0,    0,    0x01, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x16},
                                       0x6E);

Bytes Slice(const Bytes& bytes, std::size_t first, std::size_t count) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(first),
                 bytes.begin() + static_cast<std::ptrdiff_t>(first + count));
}

class LanResponderTest : public ::testing::Test {
protected:
    void SetUp() override { responder.SetAddress(LAN_ADDRESS); }

    // The one answer to a search; empty when there is not exactly one.
    Bytes SearchOnce() {
        const std::vector<LanDatagram> answers = responder.Answer(SEARCH_PORT, {0x61});
        return answers.size() == 1 ? answers[0].bytes : Bytes{};
    }

    LanResponder responder;
};

}  // namespace

TEST_F(LanResponderTest, SearchIsAnsweredWithMacAddressAndMarkerAndNothingElseIs) {
    Bytes expected = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x0A, 0xE7, 0x00, 0x02,
                      0x0A, 0xE7, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0x00, 0x77, 0x88};
    expected.resize(50, 0x00);
    EXPECT_EQ(SearchOnce(), expected);
    // Its own kind of answer, another panel's packet or stray bytes on the
    // search port are no request.
    EXPECT_TRUE(responder.Answer(SEARCH_PORT, expected).empty());
    EXPECT_TRUE(responder.Answer(SEARCH_PORT, {0x61, 0x61}).empty());
    EXPECT_TRUE(responder.Answer(SEARCH_PORT, {}).empty());
}

TEST_F(LanResponderTest, OnlyAWellFormedConfigurationForThisMacIsARequest) {
    struct Change {
        const Bytes* packet;
        std::size_t position;
        std::uint8_t value;
        const char* what;
    };
    const Change changes[] = {
        {&STATIC_PACKET, 5, 0x5F, "another device's MAC"},
        {&STATIC_PACKET, 74, 0x00, "an answer, not a request"},
        {&STATIC_PACKET, 10, 0xC1, "a gateway outside the new network"},
        {&STATIC_PACKET, 13, 0x02, "a gateway other than .1"},
        {&STATIC_PACKET, 17, 0xFF, "a mask other than 255.255.255.0"},
        {&STATIC_PACKET, 18, 0x01, "the automatic flag on a static address"},
        {&STATIC_PACKET, 25, 0x18, "an unknown mode"},
        {&STATIC_PACKET, 40, 0x01, "a byte after the mode set"},
        {&AUTO_PACKET, 9, 0x05, "an address with an automatic one"},
        {&AUTO_PACKET, 18, 0x00, "no automatic flag"},
    };
    for (const Change& change : changes) {
        Bytes packet = *change.packet;
        packet[change.position] = change.value;
        packet[75] = ProtocolLayout::Sum(packet, 0, 75);
        EXPECT_TRUE(responder.Answer(CONFIG_PORT, packet).empty()) << change.what;
    }
    Bytes badSum = STATIC_PACKET;
    ++badSum[75];
    EXPECT_TRUE(responder.Answer(CONFIG_PORT, badSum).empty()) << "a wrong sum";
    EXPECT_TRUE(responder.Answer(CONFIG_PORT, Slice(STATIC_PACKET, 0, 75)).empty()) << "a short packet";
    EXPECT_EQ(Slice(SearchOnce(), 6, 4), (Bytes{10, 231, 0, 2})) << "nothing was applied";
}

TEST_F(LanResponderTest, ConfigurationIsAnsweredWithTheStatusClearedAndApplied) {
    const std::vector<LanDatagram> answers = responder.Answer(CONFIG_PORT, STATIC_PACKET);
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0].port, CONFIG_PORT);
    Bytes accepted = STATIC_PACKET;
    accepted[74] = 0x00;
    accepted[75] = 0x71;
    EXPECT_EQ(answers[0].bytes, accepted);
    EXPECT_EQ(Slice(SearchOnce(), 6, 4), (Bytes{192, 168, 1, 50}));

    ASSERT_EQ(responder.Execute("lan auto-address 10.231.0.9")->reply, "ok");
    ASSERT_EQ(responder.Answer(CONFIG_PORT, AUTO_PACKET).size(), 1u);
    EXPECT_EQ(Slice(SearchOnce(), 6, 4), (Bytes{10, 231, 0, 9}));
}

TEST_F(LanResponderTest, AnswerKnobsShapeTheAnswers) {
    const auto searchLength = [this] {
        const auto answers = responder.Answer(SEARCH_PORT, {0x61});
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
    EXPECT_EQ(Slice(SearchOnce(), 18, 2), (Bytes{0x00, 0x00}));

    responder.Execute("lan config refused");
    const auto refused = responder.Answer(CONFIG_PORT, STATIC_PACKET);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].bytes[74], 0xFF);
    responder.Execute("lan search normal");
    EXPECT_EQ(Slice(SearchOnce(), 6, 4), (Bytes{10, 231, 0, 2}));

    EXPECT_EQ(responder.Execute("lan config nomarker")->reply.rfind("error", 0), 0u);
    EXPECT_EQ(responder.Execute("lan search refused")->reply.rfind("error", 0), 0u);
    EXPECT_FALSE(responder.Execute("ping").has_value());
}

TEST_F(LanResponderTest, ManyDevicesAnswerPacedWithTheirOwnMacs) {
    ASSERT_EQ(responder.Execute("lan devices 300 4")->reply, "ok");
    const auto answers = responder.Answer(SEARCH_PORT, {0x61});
    ASSERT_EQ(answers.size(), 300u);
    EXPECT_EQ(answers[299].after, std::chrono::milliseconds(4 * 299));
    EXPECT_EQ(Slice(answers[0].bytes, 6, 4), (Bytes{10, 231, 0, 2}));
    EXPECT_NE(Slice(answers[0].bytes, 0, 6), Slice(answers[299].bytes, 0, 6));
    EXPECT_EQ(Slice(answers[299].bytes, 18, 2), (Bytes{0x77, 0x88}));
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
