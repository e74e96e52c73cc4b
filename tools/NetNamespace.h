// A network namespace other than the simulator's own, entered only while
// sockets are made: a socket stays in the namespace it was made in, so the
// simulator serves the pty and its control channel from its own namespace
// and the LAN from this one.
#pragma once

#include <functional>
#include <string>

class NetNamespace {
public:
    NetNamespace() = default;
    ~NetNamespace();
    NetNamespace(const NetNamespace&) = delete;
    NetNamespace& operator=(const NetNamespace&) = delete;

    // `path` names the namespace (/proc/PID/ns/net or a bind mount of it).
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return m_target >= 0; }

    // Runs `work` with this thread in the namespace, then takes the thread
    // back; false, with `error` set, when either move fails or `work` does.
    bool Within(const std::function<bool(std::string& error)>& work, std::string& error) const;

private:
    int m_target = -1;
    int m_own = -1;
};
