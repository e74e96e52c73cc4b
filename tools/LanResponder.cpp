#include "tools/LanResponder.h"

#include "tools/ProtocolLayout.h"

#include <algorithm>
#include <sstream>

namespace {

namespace Network = ProtocolLayout::Network;
namespace Search = ProtocolLayout::Search;
namespace IpConfig = ProtocolLayout::IpConfig;
// Made-up devices of a crowded search get addresses a few networks above
// this one's, this many to a network.
constexpr int DEVICES_PER_NETWORK = 250;
constexpr int MAX_DEVICES = 10000;
constexpr int MAX_PACE_MS = 10000;
constexpr int BYTE_BITS = 8;

bool AllZero(const Bytes& bytes, std::size_t first, std::size_t end) {
    return std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(first),
                       bytes.begin() + static_cast<std::ptrdiff_t>(end), [](std::uint8_t byte) { return byte == 0; });
}

// The address at its place, then the gateway and the mask its network has.
void PutNetwork(Bytes& datagram, const LanResponder::Address& address) {
    std::copy(address.begin(), address.end(), datagram.begin() + Network::ADDRESS);
    std::copy(address.begin(), address.end() - 1, datagram.begin() + Network::GATEWAY);
    datagram[Network::GATEWAY + Network::OCTETS - 1] = Network::GATEWAY_HOST;
    std::copy(std::begin(Network::MASK_BYTES), std::end(Network::MASK_BYTES), datagram.begin() + Network::MASK);
}

LanResponder::Address AddressIn(const Bytes& datagram) {
    LanResponder::Address address{};
    std::copy_n(datagram.begin() + Network::ADDRESS, address.size(), address.begin());
    return address;
}

// A static address comes with its network's gateway and mask.
bool HasStaticNetwork(const Bytes& packet) {
    Bytes expected = packet;
    PutNetwork(expected, AddressIn(packet));
    return expected == packet;
}

// 76 bytes, FF in b74 and their plain sum in b75; an automatic address leaves
// b6..b17 00 and sets b18, a static one carries its network there; the bytes
// after the mode byte stay 00.
bool IsWellFormedConfig(const Bytes& packet) {
    if (packet.size() != IpConfig::LENGTH || packet[IpConfig::STATUS] != IpConfig::STATUS_REQUEST ||
        packet[IpConfig::SUM] != ProtocolLayout::Sum(packet, 0, IpConfig::SUM) ||
        !AllZero(packet, IpConfig::MODE + 1, IpConfig::STATUS)) {
        return false;
    }
    switch (packet[IpConfig::MODE]) {
    case IpConfig::MODE_AUTO:
        return packet[IpConfig::AUTO_FLAG] == IpConfig::AUTO && AllZero(packet, Network::ADDRESS, IpConfig::AUTO_FLAG);
    case IpConfig::MODE_STATIC:
        return packet[IpConfig::AUTO_FLAG] == 0 && HasStaticNetwork(packet);
    default:
        return false;
    }
}

std::vector<std::string> Words(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

LanControlOutcome Reply(const std::string& text) { return LanControlOutcome{text, {}, false, std::nullopt, std::nullopt}; }
LanControlOutcome Error(const std::string& text) { return Reply("error " + text); }

std::optional<int> Number(const std::string& text, int minimum, int maximum) {
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used, 10);
        if (used != text.size() || value < minimum || value > maximum) return std::nullopt;
        return value;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<LanResponder::Address> ParseAddress(const std::string& text) {
    LanResponder::Address address{};
    std::istringstream stream(text);
    std::string part;
    std::size_t i = 0;
    while (std::getline(stream, part, '.')) {
        const auto octet = Number(part, 0, 0xFF);
        if (!octet || i >= address.size()) return std::nullopt;
        address[i++] = static_cast<std::uint8_t>(*octet);
    }
    if (i != address.size()) return std::nullopt;
    return address;
}

std::optional<LanResponder::AnswerMode> ParseMode(const std::string& text, bool configuration) {
    using Mode = LanResponder::AnswerMode;
    if (text == "normal") return Mode::Normal;
    if (text == "silent") return Mode::Silent;
    if (text == "short") return Mode::Short;
    if (text == "huge") return Mode::Huge;
    if (text == "empty") return Mode::Empty;
    if (text == "nomarker" && !configuration) return Mode::NoMarker;
    if (text == "refused" && configuration) return Mode::Refused;
    return std::nullopt;
}

std::optional<bool> OnOff(const std::vector<std::string>& words) {
    if (words.size() != 3) return std::nullopt;
    if (words[2] == "on") return true;
    if (words[2] == "off") return false;
    return std::nullopt;
}

std::string DottedAddress(const LanResponder::Address& address) {
    std::string text;
    for (std::size_t i = 0; i < address.size(); ++i) text += (i > 0 ? "." : "") + std::to_string(address[i]);
    return text;
}

}  // namespace

std::vector<LanDatagram> LanResponder::Answer(std::uint16_t localPort, const Bytes& datagram) {
    if (localPort == Search::PORT && datagram == Bytes{Search::REQUEST}) {
        return AnswerSearch();
    }
    if (localPort == IpConfig::PORT) return AnswerConfig(datagram);
    return {};
}

std::vector<LanDatagram> LanResponder::AnswerSearch() const {
    std::vector<LanDatagram> answers;
    if (m_searchMode == AnswerMode::Silent) return answers;
    for (int i = 0; i < m_deviceCount; ++i) {
        Mac mac = m_mac;
        Address address = m_address;
        if (i > 0) {
            mac[4] = static_cast<std::uint8_t>(mac[4] + (i >> BYTE_BITS));
            mac[5] = static_cast<std::uint8_t>(mac[5] + i);
            address[2] = static_cast<std::uint8_t>(address[2] + 1 + i / DEVICES_PER_NETWORK);
            address[3] = static_cast<std::uint8_t>(1 + i % DEVICES_PER_NETWORK);
        }
        answers.push_back({m_pace * i, Search::PORT,
                           Shaped(SearchAnswerOf(mac, address), m_searchMode, Search::ANSWER_LENGTH - 1)});
    }
    return answers;
}

Bytes LanResponder::SearchAnswerOf(const Mac& mac, const Address& address) const {
    Bytes answer(Search::ANSWER_LENGTH, 0);
    std::copy(mac.begin(), mac.end(), answer.begin() + Network::MAC);
    PutNetwork(answer, address);
    std::copy(std::begin(Search::MARKER_BYTES), std::end(Search::MARKER_BYTES), answer.begin() + Search::MARKER);
    return answer;
}

// Only a whole packet for this device's MAC, laid out as the protocol has
// it and with a right sum, is a request.
std::vector<LanDatagram> LanResponder::AnswerConfig(const Bytes& packet) {
    if (!IsWellFormedConfig(packet) || !std::equal(m_mac.begin(), m_mac.end(), packet.begin() + Network::MAC)) {
        return {};
    }
    if (m_configMode == AnswerMode::Silent) return {};
    Bytes answer = packet;
    if (m_configMode != AnswerMode::Refused) {
        m_address = packet[IpConfig::MODE] == IpConfig::MODE_STATIC ? AddressIn(packet) : m_autoAddress;
        std::copy_n(packet.begin() + IpConfig::NEW_MAC, m_mac.size(), m_mac.begin());
        std::copy(m_address.begin(), m_address.end(), answer.begin() + Network::ADDRESS);
        answer[IpConfig::STATUS] = IpConfig::STATUS_ACCEPTED;
    }
    answer[IpConfig::SUM] = ProtocolLayout::Sum(answer, 0, IpConfig::SUM);
    return {{std::chrono::milliseconds(0), IpConfig::PORT, Shaped(answer, m_configMode, IpConfig::LENGTH - 1)}};
}

Bytes LanResponder::Shaped(Bytes answer, AnswerMode mode, std::size_t shortLength) {
    switch (mode) {
    case AnswerMode::Short:
        answer.resize(shortLength);
        break;
    case AnswerMode::NoMarker:
        std::fill_n(answer.begin() + Search::MARKER, std::size(Search::MARKER_BYTES), 0);
        break;
    case AnswerMode::Huge:
        answer.resize(HUGE_ANSWER_LENGTH, 0);
        break;
    case AnswerMode::Empty:
        answer.clear();
        break;
    default:
        break;
    }
    return answer;
}

std::optional<LanControlOutcome> LanResponder::Execute(const std::string& line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) return std::nullopt;
    if (words[0] == "lan") return ExecuteLan(words);
    if (words[0] == "tcp") return ExecuteTcp(words);
    return std::nullopt;
}

LanControlOutcome LanResponder::ExecuteLan(const std::vector<std::string>& words) {
    const std::string key = words.size() >= 2 ? words[1] : "";
    if ((key == "search" || key == "config") && words.size() == 3) {
        const auto mode = ParseMode(words[2], key == "config");
        if (!mode) return Error("unknown answer mode " + words[2]);
        (key == "search" ? m_searchMode : m_configMode) = *mode;
        return Reply("ok");
    }
    if (key == "devices" && (words.size() == 3 || words.size() == 4)) {
        const auto count = Number(words[2], 1, MAX_DEVICES);
        const auto pace = words.size() == 4 ? Number(words[3], 0, MAX_PACE_MS) : std::optional<int>(0);
        if (!count || !pace) return Error("lan devices needs N [PACE_MS]");
        m_deviceCount = *count;
        m_pace = std::chrono::milliseconds(*pace);
        return Reply("ok");
    }
    if ((key == "address" || key == "auto-address") && words.size() == 3) {
        const auto address = ParseAddress(words[2]);
        if (!address) return Error("bad address " + words[2]);
        (key == "address" ? m_address : m_autoAddress) = *address;
        return Reply("ok");
    }
    if (key == "stray" && words.size() >= 3) {
        const auto port = Number(words[2], 1, 0xFFFF);
        std::string hex;
        for (std::size_t i = 3; i < words.size(); ++i) hex += words[i];
        const auto bytes = ParseHex(hex);
        if (!port || !bytes) return Error("lan stray needs PORT [HEX...]");
        LanControlOutcome outcome = Reply("ok");
        outcome.strays.push_back({std::chrono::milliseconds(0), static_cast<std::uint16_t>(*port), *bytes});
        return outcome;
    }
    if (key == "state" && words.size() == 2) return Reply("ok " + Describe());
    return Error("bad lan command");
}

LanControlOutcome LanResponder::ExecuteTcp(const std::vector<std::string>& words) const {
    LanControlOutcome outcome = Reply("ok");
    const std::string key = words.size() >= 2 ? words[1] : "";
    if (key == "close" && words.size() == 2) {
        outcome.tcpClose = true;
    } else if (key == "stall" && OnOff(words)) {
        outcome.tcpStall = OnOff(words);
    } else if (key == "refuse" && OnOff(words)) {
        outcome.tcpRefuse = OnOff(words);
    } else {
        return Error("tcp needs close, stall on|off or refuse on|off");
    }
    return outcome;
}

std::string LanResponder::Describe() const {
    std::string mac = FormatHex(Bytes(m_mac.begin(), m_mac.end()));
    mac.erase(std::remove(mac.begin(), mac.end(), ' '), mac.end());
    return "mac=" + mac + " address=" + DottedAddress(m_address);
}
