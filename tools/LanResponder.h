// The switcher's answers on the LAN, as pure logic: the device search (UDP
// 30600) answered with its MAC and address, and an IP configuration packet
// (UDP 30601) for its MAC answered and applied. It answers requests only: the
// panel's own broadcasts and other devices' answers reach it too.
//
// Its control commands (answered "ok..." or "error..."):
//   lan search normal|silent|short|nomarker|huge|empty
//                          how the next searches are answered: not at all,
//                          49 bytes, without the 77 88 marker, 1500 bytes or
//                          an empty datagram
//   lan config normal|silent|short|refused|huge|empty
//                          the same for configuration answers (refused: b74
//                          FF, the configuration not applied)
//   lan devices N [PACE_MS] a search is answered by N devices, the first this
//                          one, each answer PACE_MS after the one before
//   lan address A.B.C.D    the address the device announces
//   lan auto-address A.B.C.D  the address an automatic configuration gives
//   lan stray PORT [HEX...] a datagram to the last panel heard, on PORT
//   lan state              -> ok mac=... address=...
//   tcp close | tcp stall on|off | tcp refuse on|off
//                          the panel's TCP connection on the LAN: ended by
//                          the device, no longer read, or refused
#pragma once

#include "tools/Bytes.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct LanDatagram {
    std::chrono::milliseconds after;   // from the moment the request came
    std::uint16_t port;                // the local port it leaves from and the panel's port it goes to
    Bytes bytes;
};

struct LanControlOutcome {
    std::string reply;
    std::vector<LanDatagram> strays;   // to the last panel heard, now
    bool tcpClose = false;
    std::optional<bool> tcpStall;
    std::optional<bool> tcpRefuse;
};

class LanResponder {
public:
    enum class AnswerMode { Normal, Silent, Short, NoMarker, Refused, Huge, Empty };
    using Mac = std::array<std::uint8_t, 6>;
    using Address = std::array<std::uint8_t, 4>;

    static constexpr std::size_t HUGE_ANSWER_LENGTH = 1500;
    static constexpr Mac DEFAULT_MAC = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};

    // The datagrams that answer one received on `localPort`.
    std::vector<LanDatagram> Answer(std::uint16_t localPort, const Bytes& datagram);

    // A "lan ..." or "tcp ..." command; nothing for any other.
    std::optional<LanControlOutcome> Execute(const std::string& line);

    void SetAddress(const Address& address) { m_address = m_autoAddress = address; }
    const Mac& MacAddress() const { return m_mac; }
    const Address& AddressOctets() const { return m_address; }
    std::string Describe() const;

private:
    std::vector<LanDatagram> AnswerSearch() const;
    std::vector<LanDatagram> AnswerConfig(const Bytes& packet);
    Bytes SearchAnswerOf(const Mac& mac, const Address& address) const;
    static Bytes Shaped(Bytes answer, AnswerMode mode, std::size_t shortLength);
    LanControlOutcome ExecuteLan(const std::vector<std::string>& words);
    LanControlOutcome ExecuteTcp(const std::vector<std::string>& words) const;

    Mac m_mac = DEFAULT_MAC;
    Address m_address{};
    Address m_autoAddress{};
    AnswerMode m_searchMode = AnswerMode::Normal;
    AnswerMode m_configMode = AnswerMode::Normal;
    int m_deviceCount = 1;
    std::chrono::milliseconds m_pace{0};
};
