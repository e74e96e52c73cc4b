#include "tools/LanResponder.h"

#include "core/IpConfigPacket.h"
#include "core/SearchAnswer.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr std::size_t GATEWAY_OFFSET = 10;
constexpr std::size_t MASK_OFFSET = 14;
constexpr std::uint8_t GATEWAY_HOST = 0x01;
constexpr std::uint8_t MASK[] = {0xFF, 0xFF, 0xFF, 0x00};
// Made-up devices of a crowded search get addresses a few networks above
// this one's, this many to a network.
constexpr int DEVICES_PER_NETWORK = 250;
constexpr int MAX_DEVICES = 10000;
constexpr int MAX_PACE_MS = 10000;
constexpr int BYTE_BITS = 8;

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
    if (localPort == SearchAnswer::SEARCH_PORT && datagram == Bytes{SearchAnswer::SEARCH_REQUEST}) {
        return AnswerSearch();
    }
    if (localPort == IpConfigPacket::CONFIG_PORT) return AnswerConfig(datagram);
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
        answers.push_back({m_pace * i, SearchAnswer::SEARCH_PORT,
                           Shaped(SearchAnswerOf(mac, address), m_searchMode, SEARCH_ANSWER_LENGTH - 1)});
    }
    return answers;
}

Bytes LanResponder::SearchAnswerOf(const Mac& mac, const Address& address) const {
    Bytes answer(SEARCH_ANSWER_LENGTH, 0);
    std::copy(mac.begin(), mac.end(), answer.begin() + SearchAnswer::MAC_OFFSET);
    std::copy(address.begin(), address.end(), answer.begin() + SearchAnswer::ADDRESS_OFFSET);
    std::copy(address.begin(), address.end() - 1, answer.begin() + GATEWAY_OFFSET);
    answer[GATEWAY_OFFSET + 3] = GATEWAY_HOST;
    std::copy(std::begin(MASK), std::end(MASK), answer.begin() + MASK_OFFSET);
    answer[SearchAnswer::MARKER_OFFSET] = SearchAnswer::MARKER[0];
    answer[SearchAnswer::MARKER_OFFSET + 1] = SearchAnswer::MARKER[1];
    return answer;
}

// Only a whole packet for this device's MAC with a right sum is a request.
std::vector<LanDatagram> LanResponder::AnswerConfig(const Bytes& packet) {
    if (packet.size() != IpConfigPacket::LENGTH || packet[IpConfigPacket::STATUS_OFFSET] != IpConfigPacket::STATUS_REQUEST ||
        !std::equal(m_mac.begin(), m_mac.end(), packet.begin() + IpConfigPacket::TARGET_MAC_OFFSET) ||
        packet[IpConfigPacket::SUM_OFFSET] != IpConfigPacket::Sum(packet.data(), IpConfigPacket::SUM_OFFSET)) {
        return {};
    }
    if (m_configMode == AnswerMode::Silent) return {};
    Bytes answer = packet;
    if (m_configMode != AnswerMode::Refused) {
        if (packet[IpConfigPacket::MODE_OFFSET] == IpConfigPacket::MODE_STATIC) {
            std::copy_n(packet.begin() + IpConfigPacket::ADDRESS_OFFSET, m_address.size(), m_address.begin());
        } else {
            m_address = m_autoAddress;
        }
        std::copy_n(packet.begin() + IpConfigPacket::NEW_MAC_OFFSET, m_mac.size(), m_mac.begin());
        std::copy(m_address.begin(), m_address.end(), answer.begin() + IpConfigPacket::ADDRESS_OFFSET);
        answer[IpConfigPacket::STATUS_OFFSET] = IpConfigPacket::STATUS_ACCEPTED;
    }
    answer[IpConfigPacket::SUM_OFFSET] = IpConfigPacket::Sum(answer.data(), IpConfigPacket::SUM_OFFSET);
    return {{std::chrono::milliseconds(0), IpConfigPacket::CONFIG_PORT,
             Shaped(answer, m_configMode, IpConfigPacket::LENGTH - 1)}};
}

Bytes LanResponder::Shaped(Bytes answer, AnswerMode mode, std::size_t shortLength) {
    switch (mode) {
    case AnswerMode::Short:
        answer.resize(shortLength);
        break;
    case AnswerMode::NoMarker:
        answer[SearchAnswer::MARKER_OFFSET] = 0;
        answer[SearchAnswer::MARKER_OFFSET + 1] = 0;
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
