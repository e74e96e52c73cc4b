#include "tools/FaultKnobs.h"

#include "tools/ProtocolLayout.h"

#include <algorithm>
#include <sstream>

namespace {

// Bytes that are neither sync byte: garbage must not open a frame itself.
constexpr std::uint8_t GARBAGE_PATTERN[] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77};

}  // namespace

bool FaultKnobs::Drops(const Bytes& reply) const {
    if (m_dropCount <= 0) return false;
    if (!m_dropOnly) return true;
    using namespace ProtocolLayout::Command;
    return reply.size() > ITEM && reply[GROUP] == m_dropOnly->first && reply[ITEM] == m_dropOnly->second;
}

std::vector<ScheduledWrite> FaultKnobs::Plan(const Bytes& reply) {
    if (Drops(reply)) {
        --m_dropCount;
        return {};
    }
    Bytes bytes = reply;
    if (m_corruptCount > 0 && !bytes.empty()) {
        --m_corruptCount;
        ++bytes.back();
    }
    if (m_garbageCount > 0) {
        Bytes garbage = GarbageBytes(m_garbageCount);
        bytes.insert(bytes.begin(), garbage.begin(), garbage.end());
        m_garbageCount = 0;
    }
    const std::size_t parts = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(m_splitParts, 1)), 1,
                                                      std::max<std::size_t>(bytes.size(), 1));
    std::vector<ScheduledWrite> writes;
    std::size_t start = 0;
    for (std::size_t part = 0; part < parts; ++part) {
        const std::size_t end = bytes.size() * (part + 1) / parts;
        writes.push_back({m_delay + m_splitGap * static_cast<int>(part),
                          Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                                bytes.begin() + static_cast<std::ptrdiff_t>(end))});
        start = end;
    }
    return writes;
}

std::string FaultKnobs::Describe() const {
    std::ostringstream text;
    text << "delay=" << m_delay.count() << " drop=" << m_dropCount << " corrupt=" << m_corruptCount
         << " split=" << m_splitParts << '/' << m_splitGap.count() << " garbage=" << m_garbageCount
         << " reading=" << (m_reading ? "on" : "off");
    return text.str();
}

Bytes FaultKnobs::GarbageBytes(int count) {
    Bytes garbage;
    for (int i = 0; i < count; ++i) {
        garbage.push_back(GARBAGE_PATTERN[static_cast<std::size_t>(i) % std::size(GARBAGE_PATTERN)]);
    }
    return garbage;
}
