// The control channel: a TCP listener on 127.0.0.1 that reads command lines
// from any number of clients and writes back one answer line per command.
#pragma once

#include <functional>
#include <poll.h>
#include <string>
#include <vector>

class ControlServer {
public:
    using Handler = std::function<std::string(const std::string& line)>;

    ControlServer() = default;
    ~ControlServer();
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;

    // Listens on 127.0.0.1:port (0 = any free port).
    bool Open(int port, std::string& error);
    int Port() const { return m_port; }

    void AppendPollDescriptors(std::vector<pollfd>& descriptors) const;

    // Accepts new clients and answers every complete line that arrived.
    void Service(const std::vector<pollfd>& descriptors, const Handler& handler);

    // The first client that connected has gone (closed or lost).
    bool FirstClientGone() const { return m_firstClientGone; }

private:
    struct Client {
        int socket;
        bool first;
        std::string pending;
    };

    void Accept();
    bool ServeClient(Client& client, const Handler& handler);

    int m_listener = -1;
    int m_port = 0;
    std::vector<Client> m_clients;
    bool m_anyClientSeen = false;
    bool m_firstClientGone = false;
};
