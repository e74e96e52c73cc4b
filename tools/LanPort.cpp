#include "tools/LanPort.h"

#include "tools/ProtocolLayout.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array<std::uint16_t, 2> PORTS = {ProtocolLayout::Search::PORT, ProtocolLayout::IpConfig::PORT};
constexpr const char* RECEIVED_TAGS[] = {"LAN-RX-30600", "LAN-RX-30601"};
constexpr const char* SENT_TAGS[] = {"LAN-TX-30600", "LAN-TX-30601"};
// Larger than any datagram the panel sends, so a datagram is never cut.
constexpr std::size_t DATAGRAM_CAPACITY = 65536;

bool IsReadable(const std::vector<pollfd>& descriptors, int descriptor) {
    for (const pollfd& entry : descriptors) {
        if (entry.fd == descriptor) return (entry.revents & POLLIN) != 0;
    }
    return false;
}

}  // namespace

LanPort::~LanPort() {
    for (const int socket : m_sockets) {
        if (socket >= 0) close(socket);
    }
}

// Only this side's devices bind these ports in the namespace, so a simulator
// that starts while the last one is still going away may share them.
bool LanPort::Open(std::string& error) {
    for (std::size_t i = 0; i < PORTS.size(); ++i) {
        m_sockets[i] = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        const int yes = 1;
        setsockopt(m_sockets[i], SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_ANY);
        address.sin_port = htons(PORTS[i]);
        if (m_sockets[i] < 0 || bind(m_sockets[i], reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            error = "cannot bind UDP port " + std::to_string(PORTS[i]) + " on the LAN: " + std::strerror(errno);
            return false;
        }
    }
    return FindLocalAddress(error);
}

bool LanPort::FindLocalAddress(std::string& error) {
    ifaddrs* interfaces = nullptr;
    if (getifaddrs(&interfaces) != 0) {
        error = std::string("cannot list the LAN interfaces: ") + std::strerror(errno);
        return false;
    }
    bool found = false;
    for (const ifaddrs* entry = interfaces; entry != nullptr && !found; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET || (entry->ifa_flags & IFF_LOOPBACK) != 0) {
            continue;
        }
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        const std::uint32_t value = ntohl(address->sin_addr.s_addr);
        for (std::size_t i = 0; i < m_localAddress.size(); ++i) {
            m_localAddress[i] = static_cast<std::uint8_t>(value >> (8 * (m_localAddress.size() - 1 - i)));
        }
        found = true;
    }
    freeifaddrs(interfaces);
    if (!found) error = "the LAN namespace has no IPv4 address";
    return found;
}

void LanPort::AppendPollDescriptors(std::vector<pollfd>& descriptors) const {
    for (const int socket : m_sockets) descriptors.push_back({socket, POLLIN, 0});
}

void LanPort::Service(const std::vector<pollfd>& descriptors, LanResponder& responder, FrameLog& log) {
    for (std::size_t i = 0; i < m_sockets.size(); ++i) {
        if (IsReadable(descriptors, m_sockets[i])) ReadDatagram(i, responder, log);
    }
}

void LanPort::ReadDatagram(std::size_t which, LanResponder& responder, FrameLog& log) {
    std::vector<std::uint8_t> buffer(DATAGRAM_CAPACITY);
    sockaddr_in sender{};
    socklen_t senderLength = sizeof sender;
    const ssize_t count = recvfrom(m_sockets[which], buffer.data(), buffer.size(), 0,
                                   reinterpret_cast<sockaddr*>(&sender), &senderLength);
    if (count < 0) return;
    buffer.resize(static_cast<std::size_t>(count));
    log.Record(RECEIVED_TAGS[which], buffer);
    const std::vector<LanDatagram> answers = responder.Answer(PORTS[which], buffer);
    if (!answers.empty()) m_lastPanel = sender;
    const Clock::time_point now = Clock::now();
    for (const LanDatagram& answer : answers) {
        const Pending pending{now + answer.after, sender, answer};
        const auto after = std::upper_bound(m_pending.begin(), m_pending.end(), pending.due,
                                            [](Clock::time_point due, const Pending& other) { return due < other.due; });
        m_pending.insert(after, pending);
    }
}

bool LanPort::SendStray(const LanDatagram& datagram, FrameLog& log) {
    if (!m_lastPanel || SocketFor(datagram.port) < 0) return false;
    sockaddr_in to = *m_lastPanel;
    to.sin_port = htons(datagram.port);
    Send(to, datagram, log);
    return true;
}

void LanPort::SendDue(FrameLog& log) {
    const Clock::time_point now = Clock::now();
    auto due = m_pending.begin();
    for (; due != m_pending.end() && due->due <= now; ++due) Send(due->to, due->datagram, log);
    m_pending.erase(m_pending.begin(), due);
}

std::optional<LanPort::Clock::time_point> LanPort::NextDue() const {
    if (m_pending.empty()) return std::nullopt;
    return m_pending.front().due;
}

void LanPort::Send(const sockaddr_in& to, const LanDatagram& datagram, FrameLog& log) {
    sendto(SocketFor(datagram.port), datagram.bytes.data(), datagram.bytes.size(), 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    const std::size_t which = datagram.port == PORTS[1] ? 1 : 0;
    log.Record(SENT_TAGS[which], datagram.bytes);
}

int LanPort::SocketFor(std::uint16_t port) const {
    for (std::size_t i = 0; i < PORTS.size(); ++i) {
        if (PORTS[i] == port) return m_sockets[i];
    }
    return -1;
}
