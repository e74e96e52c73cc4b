#include "core/StreamSendQueue.h"

#include <algorithm>
#include <iterator>

void StreamSendQueue::Send(const std::uint8_t* data, std::size_t length, const Writer& write) {
    m_bytes.insert(m_bytes.end(), data, data + length);
    Drain(write);
}

void StreamSendQueue::Drain(const Writer& write) {
    while (WaitingBytes() > 0) {
        const long taken = write(m_bytes.data() + m_written, WaitingBytes());
        if (taken < 0) {
            Clear();
            return;
        }
        if (taken == WRITE_WOULD_BLOCK) break;
        m_written += std::min(static_cast<std::size_t>(taken), WaitingBytes());
    }
    m_bytes.erase(m_bytes.begin(), std::next(m_bytes.begin(), static_cast<std::ptrdiff_t>(m_written)));
    m_written = 0;
}

void StreamSendQueue::Clear() {
    m_bytes.clear();
    m_written = 0;
}
