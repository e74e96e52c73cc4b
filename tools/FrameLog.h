// The simulator's record of the traffic, one line per event:
//   <unix seconds>.<microseconds> <TAG> <hex bytes>
// RX a frame received (stamped when its first byte was read), SKIP bytes received outside any frame, TX bytes
// written as (part of) a reply, SEND bytes written on a control command,
// DROP a reply withheld. Tests read the RX lines.
#pragma once

#include "tools/Bytes.h"

#include <chrono>
#include <cstdio>
#include <string>

class FrameLog {
public:
    FrameLog() = default;
    ~FrameLog();
    FrameLog(const FrameLog&) = delete;
    FrameLog& operator=(const FrameLog&) = delete;

    // Appends to the file at `path`; false when it cannot be opened. A log
    // that was never opened records nothing.
    bool Open(const std::string& path);

    void Record(const char* tag, const Bytes& bytes);
    void Record(const char* tag, const Bytes& bytes, std::chrono::system_clock::time_point when);

    static std::string FormatLine(std::chrono::system_clock::time_point when, const char* tag, const Bytes& bytes);

private:
    std::FILE* m_file = nullptr;
};
