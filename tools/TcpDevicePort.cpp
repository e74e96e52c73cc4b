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
// The system's own default.
constexpr int DEFAULT_RECEIVE_BUFFER = 0;
// A switcher takes a few kilobytes at a time, far less than a firmware
// transfer, so a panel that outpaces it has to hold frames back.
constexpr int DEVICE_RECEIVE_BUFFER = 4096;

bool HasEvent(const std::vector<pollfd>& descriptors, int descriptor, short events) {
    for (const pollfd& entry : descriptors) {
        if (entry.fd == descriptor) return (entry.revents & events) != 0;
    }
    return false;
}

void CloseDescriptor(int& descriptor) {
    if (descriptor >= 0) close(descriptor);
    descriptor = -1;
}

}  // namespace

TcpDevicePort::~TcpDevicePort() {
    CloseClient();
    CloseDescriptor(m_listener);
    CloseLan();
}

bool TcpDevicePort::Open(int port, std::string& error) {
    m_listener = Listen(INADDR_LOOPBACK, port, DEFAULT_RECEIVE_BUFFER, error);
    return m_listener >= 0;
}

bool TcpDevicePort::OpenLan(int port, std::string& error) {
    if (m_lanListener < 0) m_lanListener = Listen(INADDR_ANY, port, DEVICE_RECEIVE_BUFFER, error);
    return m_lanListener >= 0;
}

void TcpDevicePort::CloseLan() { CloseDescriptor(m_lanListener); }

// A listener's receive buffer is what its connections start with.
int TcpDevicePort::Listen(std::uint32_t address, int port, int receiveBuffer, std::string& error) {
    const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int yes = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    if (receiveBuffer != DEFAULT_RECEIVE_BUFFER) {
        setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    local.sin_port = htons(static_cast<std::uint16_t>(port));
    if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        listen(listener, LISTEN_BACKLOG) != 0) {
        error = "cannot listen for the panel on TCP port " + std::to_string(port) + ": " + std::strerror(errno);
        if (listener >= 0) close(listener);
        return -1;
    }
    return listener;
}

void TcpDevicePort::AppendPollDescriptors(std::vector<pollfd>& descriptors) const {
    if (m_listener >= 0) descriptors.push_back({m_listener, POLLIN, 0});
    if (m_lanListener >= 0) descriptors.push_back({m_lanListener, POLLIN, 0});
    if (m_client >= 0 && !m_stalled) descriptors.push_back({m_client, POLLIN, 0});
}

bool TcpDevicePort::Service(const std::vector<pollfd>& descriptors) {
    for (const int listener : {m_listener, m_lanListener}) {
        if (listener >= 0 && HasEvent(descriptors, listener, POLLIN)) Accept(listener);
    }
    return m_client >= 0 && !m_stalled && HasEvent(descriptors, m_client, POLLIN | POLLHUP | POLLERR);
}

void TcpDevicePort::Accept(int listener) {
    const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client >= 0) {
        CloseClient();
        m_client = client;
    }
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

void TcpDevicePort::CloseClient() { CloseDescriptor(m_client); }
