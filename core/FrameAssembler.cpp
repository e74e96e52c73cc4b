#include "core/FrameAssembler.h"

#include <algorithm>
#include <cstring>

FrameAssembler::FrameAssembler(const State& state) : m_state(state) {}

bool FrameAssembler::Push(std::uint8_t byte, Frame& completed) {
    const bool wasInFrame = m_state.inFrame != 0;
    if (wasInFrame)
        m_state.frame[m_state.framePosition++] = byte;
    else
        m_state.collect[m_state.collectLength++] = byte;

    if (!wasInFrame && CollectedPairIs(DeviceFrame::CommandSync)) {
        StartFrame(DeviceFrame::CommandSync);
    } else if (!wasInFrame && CollectedPairIs(DeviceFrame::DataSync)) {
        StartFrame(DeviceFrame::DataSync);
    } else if (m_state.framePosition == static_cast<int>(FRAME_LENGTH)) {
        std::copy(std::begin(m_state.frame), std::end(m_state.frame), completed.begin());
        Reset();
        return true;
    } else if (m_state.collectLength == static_cast<int>(COLLECT_CAPACITY)) {
        m_state.collectLength = COLLECT_START;
    }
    return false;
}

void FrameAssembler::Reset() {
    m_state.inFrame = 0;
    m_state.framePosition = 0;
    m_state.collectLength = COLLECT_START;
    std::memset(m_state.collect, 0, COLLECT_CAPACITY);
    std::memset(m_state.frame, 0, FRAME_LENGTH);
}

bool FrameAssembler::CollectedPairIs(const std::uint8_t (&sync)[2]) const {
    const int last = m_state.collectLength - 1;
    return m_state.collect[last - 1] == sync[0] && m_state.collect[last] == sync[1];
}

void FrameAssembler::StartFrame(const std::uint8_t (&sync)[2]) {
    m_state.inFrame = 1;
    m_state.frame[0] = sync[0];
    m_state.frame[1] = sync[1];
    m_state.framePosition = 2;
    m_state.collectLength = COLLECT_START;
}
