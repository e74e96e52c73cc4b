// Connects the running panel to a COM port the way an operator does: picks the
// port in the port list and presses Connect, by control id from outside the
// panel's process. Exits 0 once the button reads "Disconnect".
//
// Usage: corvane_panel_driver.exe COM5
#include "res/resource.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr const wchar_t* PANEL_CLASS = L"#32770";
constexpr const wchar_t* PANEL_CAPTION = L"Corvane";
constexpr const wchar_t* CONNECTED_CAPTION = L"Disconnect";
constexpr DWORD WAIT_LIMIT_MS = 30000;
constexpr DWORD POLL_MS = 100;
constexpr int TEXT_CAPACITY = 64;

std::wstring TextOf(HWND window) {
    wchar_t text[TEXT_CAPACITY] = {};
    ::GetWindowTextW(window, text, TEXT_CAPACITY);
    return text;
}

template <typename Condition>
bool WaitFor(Condition condition) {
    const ULONGLONG deadline = ::GetTickCount64() + WAIT_LIMIT_MS;
    while (!condition()) {
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(POLL_MS);
    }
    return true;
}

int Fail(const char* what) {
    std::fprintf(stderr, "panel-driver: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return Fail("usage: corvane_panel_driver.exe COMn");
    const std::wstring port = argv[1];

    // The dialog is shown once its controls exist and its start-up is done.
    HWND panel = nullptr;
    if (!WaitFor([&] {
            panel = ::FindWindowW(PANEL_CLASS, PANEL_CAPTION);
            return panel != nullptr && ::IsWindowVisible(panel);
        }))
        return Fail("the panel's window did not appear");
    const HWND portList = ::GetDlgItem(panel, IDC_COM_PORT_LIST);
    const HWND connect = ::GetDlgItem(panel, IDC_CONNECT_COM);
    if (!WaitFor([&] { return ::SendMessageW(portList, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(port.c_str())) != CB_ERR; }))
        return Fail("the port is not in the panel's port list");
    // Posted: a failed connect raises a modal box inside the click.
    ::PostMessageW(connect, BM_CLICK, 0, 0);
    if (!WaitFor([&] { return TextOf(connect) == CONNECTED_CAPTION; })) return Fail("the port did not open");
    return 0;
}
