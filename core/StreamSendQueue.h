// Whole frames over a non-blocking stream socket. A socket may take only part
// of what it is given, or nothing for a while; what it does not take waits
// here, and every later frame waits behind it, until the socket can take more.
// A failed socket drops everything that waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

class StreamSendQueue {
public:
    // Hands bytes to the socket: returns how many it took, WRITE_WOULD_BLOCK
    // when it can take none for now, or WRITE_FAILED.
    using Writer = std::function<long(const std::uint8_t* data, std::size_t length)>;
    static constexpr long WRITE_WOULD_BLOCK = 0;
    static constexpr long WRITE_FAILED = -1;

    // Queues the bytes behind whatever waits and writes as much as the socket
    // takes.
    void Send(const std::uint8_t* data, std::size_t length, const Writer& write);
    // Writes what waits; called when the socket can take more.
    void Drain(const Writer& write);
    void Clear();

    std::size_t WaitingBytes() const { return m_bytes.size() - m_written; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_written = 0;
};
