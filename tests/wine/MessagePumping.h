// Waiting on the UI thread of a test the way the panel's own loop does:
// messages (sent ones included) keep being handled while the test waits.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <thread>

// Handles this thread's messages until `done` holds or `timeoutMs` passes;
// returns whether `done` holds.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    constexpr DWORD SLICE_MS = 10;
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        if (::GetTickCount64() >= deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, SLICE_MS, QS_ALLINPUT);
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return true;
}

// Handles the messages already waiting, without waiting for more.
inline void PumpPending() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// Handles messages for the whole period.
inline void PumpFor(DWORD periodMs) { PumpUntil([] { return false; }, periodMs); }

// Ends the test program when a step that must return does not: a deadlock
// shows as a failure with its cause rather than as a hung test run.
class Watchdog {
public:
    Watchdog(const char* step, DWORD limitMs) : m_event(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        m_thread = std::thread([this, step, limitMs] {
            if (::WaitForSingleObject(m_event, limitMs) == WAIT_TIMEOUT) {
                std::fprintf(stderr, "DEADLOCK: \"%s\" did not return within %lu ms\n", step,
                             static_cast<unsigned long>(limitMs));
                std::fflush(stderr);
                ::TerminateProcess(::GetCurrentProcess(), 3);
            }
        });
    }
    ~Watchdog() {
        ::SetEvent(m_event);
        m_thread.join();
        ::CloseHandle(m_event);
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    HANDLE m_event;
    std::thread m_thread;
};
