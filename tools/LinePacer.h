// One direction of a serial line at its baud rate: bytes pass no faster than
// the line carries them, 11 bits a byte (start bit, eight data bits, two stop
// bits). Byte n of a run that finds the line idle is through n byte times
// after the run began; a run that follows a busy line starts where the line
// becomes free, so late wake-ups do not stretch the line's time.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>

class LinePacer {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr long long BITS_PER_BYTE = 11;

    // 0: the line carries bytes as fast as they come.
    void SetBaud(long long baud);
    bool IsPaced() const { return m_baud > 0; }

    // How many of the bytes waiting now may pass; the first call of a run
    // notes when its bytes began to wait. Unpaced: any number.
    std::size_t Allowance(Clock::time_point now);
    // `count` of the allowed bytes have passed; `drained`: none wait behind
    // them, and the next bytes start a run of their own.
    void Passed(std::size_t count, bool drained);
    // When the next byte of the run is through; nothing outside a run.
    std::optional<Clock::time_point> NextByteAt() const;

private:
    Clock::time_point RunStart() const;
    Clock::duration TimeOf(long long bytes) const;

    long long m_baud = 0;
    Clock::time_point m_lineFreeAt{};
    std::optional<Clock::time_point> m_waitingSince;
};
