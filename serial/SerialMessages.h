// Window messages of the serial port's worker thread. lParam is the port
// number unless said otherwise.
#pragma once

#include <windows.h>

constexpr UINT WM_SERIAL_BREAK = WM_USER + 1;
constexpr UINT WM_SERIAL_CTS = WM_USER + 2;
constexpr UINT WM_SERIAL_LINE_ERROR = WM_USER + 4;
constexpr UINT WM_SERIAL_RING = WM_USER + 5;
// wParam: the received byte. Sent, one message per byte, in arrival order.
constexpr UINT WM_SERIAL_BYTE = WM_USER + 7;
constexpr UINT WM_SERIAL_EVENT_CHAR = WM_USER + 8;
// Posted to the application's main window: wParam SERIAL_FAILURE_CODE, lParam 0.
constexpr UINT WM_SERIAL_FAILED = WM_USER + 11;

constexpr WPARAM SERIAL_FAILURE_CODE = 1;
