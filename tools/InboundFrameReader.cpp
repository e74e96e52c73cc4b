#include "tools/InboundFrameReader.h"

#include "tools/ProtocolLayout.h"

using ProtocolLayout::SYNC_LENGTH;

void InboundFrameReader::Append(const std::uint8_t* data, std::size_t length) {
    m_buffer.insert(m_buffer.end(), data, data + length);
}

std::optional<InboundFrame> InboundFrameReader::Next(const FrameLengthRule& frameLength,
                                                     std::size_t rawBlockLength) {
    if (rawBlockLength > 0) {
        return m_buffer.size() >= rawBlockLength ? Take(rawBlockLength, InboundFrame::Kind::Frame) : std::nullopt;
    }
    std::size_t skipped = 0;
    while (skipped + SYNC_LENGTH <= m_buffer.size()) {
        const std::size_t length = frameLength(m_buffer[skipped], m_buffer[skipped + 1]);
        if (length > 0) {
            if (skipped > 0) {
                return Take(skipped, InboundFrame::Kind::Skipped);
            }
            return m_buffer.size() >= length ? Take(length, InboundFrame::Kind::Frame) : std::nullopt;
        }
        ++skipped;
    }
    // A lone last byte may still open a sync pair; everything before it is
    // noise.
    return skipped > 0 ? Take(skipped, InboundFrame::Kind::Skipped) : std::nullopt;
}

std::optional<InboundFrame> InboundFrameReader::Take(std::size_t count, InboundFrame::Kind kind) {
    InboundFrame frame{kind, Bytes(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(count))};
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(count));
    return frame;
}
