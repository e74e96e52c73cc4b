// How many windows this thread owns: a step that must open nothing, or must
// leave nothing behind, keeps the count.
#pragma once

#include <windows.h>

inline int CountThreadWindows() {
    int count = 0;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND, LPARAM counter) {
            ++*reinterpret_cast<int*>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
}
