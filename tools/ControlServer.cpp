#include "tools/ControlServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int LISTEN_BACKLOG = 8;
constexpr std::size_t READ_CHUNK = 4096;
constexpr std::size_t MAX_LINE = 65536;

void SendAll(int socket, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t count = send(socket, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (count <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(count);
    }
}

}  // namespace

ControlServer::~ControlServer() {
    for (const Client& client : m_clients) {
        close(client.socket);
    }
    if (m_listener >= 0) {
        close(m_listener);
    }
}

bool ControlServer::Open(int port, std::string& error) {
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(m_listener, LISTEN_BACKLOG) != 0 ||
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = std::string("cannot listen on 127.0.0.1:") + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    m_port = ntohs(address.sin_port);
    return true;
}

void ControlServer::AppendPollDescriptors(std::vector<pollfd>& descriptors) const {
    descriptors.push_back({m_listener, POLLIN, 0});
    for (const Client& client : m_clients) {
        descriptors.push_back({client.socket, POLLIN, 0});
    }
}

void ControlServer::Service(const std::vector<pollfd>& descriptors, const Handler& handler) {
    const auto ready = [&descriptors](int socket) {
        return std::any_of(descriptors.begin(), descriptors.end(), [socket](const pollfd& entry) {
            return entry.fd == socket && (entry.revents & (POLLIN | POLLHUP | POLLERR)) != 0;
        });
    };
    for (auto client = m_clients.begin(); client != m_clients.end();) {
        if (ready(client->socket) && !ServeClient(*client, handler)) {
            m_firstClientGone = m_firstClientGone || client->first;
            close(client->socket);
            client = m_clients.erase(client);
        } else {
            ++client;
        }
    }
    if (ready(m_listener)) {
        Accept();
    }
}

void ControlServer::Accept() {
    const int socket = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (socket < 0) {
        return;
    }
    m_clients.push_back({socket, !m_anyClientSeen, {}});
    m_anyClientSeen = true;
}

bool ControlServer::ServeClient(Client& client, const Handler& handler) {
    char chunk[READ_CHUNK];
    const ssize_t count = recv(client.socket, chunk, sizeof chunk, 0);
    if (count <= 0) {
        return count < 0 && (errno == EAGAIN || errno == EINTR);
    }
    client.pending.append(chunk, static_cast<std::size_t>(count));
    std::size_t end;
    while ((end = client.pending.find('\n')) != std::string::npos) {
        std::string line = client.pending.substr(0, end);
        client.pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        SendAll(client.socket, handler(line) + "\n");
    }
    return client.pending.size() <= MAX_LINE;
}
