// Cuts the byte stream from the panel into the frames the device reads. What
// a frame is depends on the device's state at that moment (a firmware block
// after FE EF, a raw EDID block after its header), so the caller takes one
// frame at a time and says each time what the device expects.
#pragma once

#include "tools/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

struct InboundFrame {
    enum class Kind { Frame, Skipped };
    Kind kind;
    Bytes bytes;
};

class InboundFrameReader {
public:
    // Length of the frame that opens with these two bytes, 0 if none does.
    using FrameLengthRule = std::function<std::size_t(std::uint8_t, std::uint8_t)>;

    void Append(const std::uint8_t* data, std::size_t length);

    // The next complete frame, or the bytes skipped before the next sync
    // pair; nothing while more bytes are needed. With rawBlockLength > 0 the
    // next rawBlockLength bytes form a frame of their own, sync or not.
    std::optional<InboundFrame> Next(const FrameLengthRule& frameLength, std::size_t rawBlockLength);

    std::size_t Pending() const { return m_buffer.size(); }

private:
    std::optional<InboundFrame> Take(std::size_t count, InboundFrame::Kind kind);

    Bytes m_buffer;
};
