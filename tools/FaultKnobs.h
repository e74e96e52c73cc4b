// The faults a test can ask the simulated device to make, and how they turn
// one reply into the writes that reach the pty: delayed, dropped, with a
// wrong check byte, cut into pieces, or behind garbage bytes.
#pragma once

#include "tools/Bytes.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct ScheduledWrite {
    std::chrono::milliseconds after;   // from the moment the reply was made
    Bytes bytes;
};

// A reply's group and command bytes (b2 b3).
using CommandCode = std::pair<std::uint8_t, std::uint8_t>;

class FaultKnobs {
public:
    static constexpr int DEFAULT_SPLIT_GAP_MS = 20;

    // Every reply waits this long (until changed).
    void SetDelay(std::chrono::milliseconds delay) { m_delay = delay; }
    // The next `count` replies are not sent; with a command (b2 b3), only
    // replies of that command count, so that a test can silence one request
    // while the panel polls.
    void DropNext(int count, std::optional<CommandCode> only = std::nullopt) {
        m_dropCount = count;
        m_dropOnly = only;
    }
    // The next `count` replies carry a check byte off by one.
    void CorruptNext(int count) { m_corruptCount = count; }
    // Every reply goes out in `parts` writes, `gap` apart (until changed).
    void SetSplit(int parts, std::chrono::milliseconds gap) { m_splitParts = parts; m_splitGap = gap; }
    // The next reply is preceded by `count` bytes that open no frame.
    void GarbageBeforeNext(int count) { m_garbageCount = count; }
    // Whether the device reads what the panel writes (until changed).
    void SetReading(bool reading) { m_reading = reading; }
    bool Reading() const { return m_reading; }

    void Reset() { *this = FaultKnobs{}; }

    // The writes for one reply; empty when it is dropped. Uses up one count
    // of drop, corrupt and garbage.
    std::vector<ScheduledWrite> Plan(const Bytes& reply);

    std::string Describe() const;

    static Bytes GarbageBytes(int count);

private:
    bool Drops(const Bytes& reply) const;

    std::chrono::milliseconds m_delay{0};
    int m_dropCount = 0;
    std::optional<CommandCode> m_dropOnly;
    int m_corruptCount = 0;
    int m_splitParts = 1;
    std::chrono::milliseconds m_splitGap{DEFAULT_SPLIT_GAP_MS};
    int m_garbageCount = 0;
    bool m_reading = true;
};
