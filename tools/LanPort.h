// The switcher's UDP sockets on the LAN: the device search (30600) and the IP
// configuration (30601). Every datagram that arrives is logged (LAN-RX-<port>)
// and handed to the LanResponder; its answers go by unicast to the sender at
// their due time and are logged as they leave (LAN-TX-<port>).
#pragma once

#include "tools/FrameLog.h"
#include "tools/LanResponder.h"

#include <array>
#include <chrono>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <string>
#include <vector>

class LanPort {
public:
    using Clock = std::chrono::steady_clock;

    LanPort() = default;
    ~LanPort();
    LanPort(const LanPort&) = delete;
    LanPort& operator=(const LanPort&) = delete;

    // Binds both ports on every address of the namespace the thread is in,
    // and finds this side's address there.
    bool Open(std::string& error);
    bool IsOpen() const { return m_sockets[0] >= 0; }
    const LanResponder::Address& LocalAddress() const { return m_localAddress; }

    void AppendPollDescriptors(std::vector<pollfd>& descriptors) const;
    void Service(const std::vector<pollfd>& descriptors, LanResponder& responder, FrameLog& log);

    // A datagram from one of the two ports to the same port of the last
    // panel heard; false when none has been heard or the port is another.
    bool SendStray(const LanDatagram& datagram, FrameLog& log);

    void SendDue(FrameLog& log);
    std::optional<Clock::time_point> NextDue() const;

private:
    struct Pending {
        Clock::time_point due;
        sockaddr_in to;
        LanDatagram datagram;
    };

    void ReadDatagram(std::size_t which, LanResponder& responder, FrameLog& log);
    void Send(const sockaddr_in& to, const LanDatagram& datagram, FrameLog& log);
    int SocketFor(std::uint16_t port) const;
    bool FindLocalAddress(std::string& error);

    std::array<int, 2> m_sockets = {-1, -1};
    LanResponder::Address m_localAddress{};
    std::optional<sockaddr_in> m_lastPanel;
    std::vector<Pending> m_pending;   // ordered by due time
};
