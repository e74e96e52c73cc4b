#include "tools/LinePacer.h"

#include <algorithm>
#include <limits>

namespace {
constexpr long long NANOSECONDS_PER_SECOND = 1000000000;
}

void LinePacer::SetBaud(long long baud) {
    m_baud = std::max(baud, 0LL);
    m_waitingSince.reset();
}

std::size_t LinePacer::Allowance(Clock::time_point now) {
    if (!IsPaced()) return std::numeric_limits<std::size_t>::max();
    if (!m_waitingSince) m_waitingSince = now;
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(now - RunStart()).count();
    if (elapsed <= 0) return 0;
    return static_cast<std::size_t>(elapsed * m_baud / (BITS_PER_BYTE * NANOSECONDS_PER_SECOND));
}

void LinePacer::Passed(std::size_t count, bool drained) {
    if (!IsPaced()) return;
    if (count > 0) m_lineFreeAt = RunStart() + TimeOf(static_cast<long long>(count));
    if (drained) m_waitingSince.reset();
}

std::optional<LinePacer::Clock::time_point> LinePacer::NextByteAt() const {
    if (!IsPaced() || !m_waitingSince) return std::nullopt;
    return RunStart() + TimeOf(1);
}

LinePacer::Clock::time_point LinePacer::RunStart() const {
    return m_waitingSince ? std::max(*m_waitingSince, m_lineFreeAt) : m_lineFreeAt;
}

// Rounded up: a byte is never through before its last bit.
LinePacer::Clock::duration LinePacer::TimeOf(long long bytes) const {
    const long long bits = bytes * BITS_PER_BYTE * NANOSECONDS_PER_SECOND;
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds((bits + m_baud - 1) / m_baud));
}
