// The switcher's TCP control port: a listener on 127.0.0.1 and, on the LAN, a
// listener on every address of the LAN namespace; one panel connection at a
// time, the bytes of which reach the device just as the bytes of the pty do.
// A new connection replaces the one before it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <poll.h>
#include <string>
#include <vector>

class TcpDevicePort {
public:
    TcpDevicePort() = default;
    ~TcpDevicePort();
    TcpDevicePort(const TcpDevicePort&) = delete;
    TcpDevicePort& operator=(const TcpDevicePort&) = delete;

    bool Open(int port, std::string& error);
    // Listens on every address of the namespace the thread is in, with the
    // small receive buffer of a device.
    bool OpenLan(int port, std::string& error);
    // Connections to the LAN listener are refused until OpenLan again.
    void CloseLan();
    bool IsOpen() const { return m_listener >= 0 || m_lanListener >= 0 || m_client >= 0; }
    bool HasClient() const { return m_client >= 0; }
    // A stalled device reads nothing more from the panel until released.
    void SetStalled(bool stalled) { m_stalled = stalled; }
    void CloseClient();

    void AppendPollDescriptors(std::vector<pollfd>& descriptors) const;

    // Takes a waiting connection; true when the client has something to read.
    bool Service(const std::vector<pollfd>& descriptors);

    // Like PtyPort: bytes read or written, 0 when nothing could be, -1 on a
    // lost connection (which is then closed) or when there is no client.
    long Read(std::uint8_t* buffer, std::size_t capacity);
    long Write(const std::uint8_t* data, std::size_t length);

private:
    static int Listen(std::uint32_t address, int port, int receiveBuffer, std::string& error);
    void Accept(int listener);

    int m_listener = -1;
    int m_lanListener = -1;
    int m_client = -1;
    bool m_stalled = false;
};
