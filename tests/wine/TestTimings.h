// How long the Windows tests wait, the clock they read and the line rate the
// benchmarks set a transfer against. The limits only bound a wait that fails:
// a passing test never reaches them, so they are generous for a loaded
// machine under Wine.
#pragma once

#include <windows.h>

// For a frame, a reply, a worker or a state the test waits for.
constexpr DWORD ARRIVAL_TIMEOUT_MS = 10000;
// For what is already under way to land: posted messages handled, bytes
// through the line, the simulator's log written.
constexpr DWORD SETTLE_MS = 200;
// For a step that runs modal loops or a whole transfer: the watchdog's limit,
// and the bound of a wait for a flow to end.
constexpr DWORD FLOW_LIMIT_MS = 60000;

// The device's serial line as the simulator paces it ("pace 115200"): 115200
// baud, 8N2, 11 bits a byte.
constexpr double PACED_LINE_BYTES_PER_SECOND = 115200.0 / 11;

// Now, in Unix seconds, as the simulator's log stamps what it receives.
inline double UnixNow() {
    constexpr double FILETIME_TICKS_PER_SECOND = 1e7;
    constexpr ULONGLONG FILETIME_UNIX_EPOCH = 116444736000000000ULL;
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<double>(ticks - FILETIME_UNIX_EPOCH) / FILETIME_TICKS_PER_SECOND;
}
