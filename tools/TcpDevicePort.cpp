#include "tools/TcpDevicePort.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int LISTEN_BACKLOG = 4;

bool HasEvent(const std::vector<pollfd>& descriptors, int descriptor, short events) {
    for (const pollfd& entry : descriptors) {
        if (entry.fd == descriptor) return (entry.revents & events) != 0;
    }
    return false;
}

}  // namespace

TcpDevicePort::~TcpDevicePort() {
    CloseClient();
    if (m_listener >= 0) close(m_listener);
}

bool TcpDevicePort::Open(int port, std::string& error) {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, LISTEN_BACKLOG) != 0) {
        error = "cannot listen for the panel on 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void TcpDevicePort::AppendPollDescriptors(std::vector<pollfd>& descriptors) const {
    descriptors.push_back({m_listener, POLLIN, 0});
    if (m_client >= 0) descriptors.push_back({m_client, POLLIN, 0});
}

bool TcpDevicePort::Service(const std::vector<pollfd>& descriptors) {
    if (HasEvent(descriptors, m_listener, POLLIN)) {
        const int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (client >= 0) {
            CloseClient();
            m_client = client;
        }
    }
    return m_client >= 0 && HasEvent(descriptors, m_client, POLLIN | POLLHUP | POLLERR);
}

long TcpDevicePort::Read(std::uint8_t* buffer, std::size_t capacity) {
    if (m_client < 0) return -1;
    const ssize_t count = recv(m_client, buffer, capacity, 0);
    if (count > 0) return count;
    if (count < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    CloseClient();
    return -1;
}

long TcpDevicePort::Write(const std::uint8_t* data, std::size_t length) {
    if (m_client < 0) return -1;
    const ssize_t count = send(m_client, data, length, MSG_NOSIGNAL);
    if (count >= 0) return count;
    if (errno == EAGAIN || errno == EINTR) return 0;
    CloseClient();
    return -1;
}

void TcpDevicePort::CloseClient() {
    if (m_client >= 0) close(m_client);
    m_client = -1;
}
