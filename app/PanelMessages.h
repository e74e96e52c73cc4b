// Window messages of the panel, the send kinds of WM_SEND_REQUEST and the
// page numbers. The serial worker's own messages are in serial/.
#pragma once

#include "serial/SerialMessages.h"

#include <windows.h>

// wParam: a send kind below; lParam 0. Posted to the main window.
constexpr UINT WM_SEND_REQUEST = WM_USER + 12;
constexpr UINT WM_SEARCH_REPLY = WM_USER + 13;
constexpr UINT WM_TCP_SOCKET = WM_USER + 14;
constexpr UINT WM_CONFIG_REPLY = WM_USER + 15;
// The main window's own: brings the two logs up to date (posted, no parameters).
constexpr UINT WM_UPDATE_LOGS = WM_APP + 1;

// Send kinds: which shared buffer goes out.
constexpr WPARAM SEND_EDID_COMMAND = 2;
constexpr WPARAM SEND_EDID_BLOCK = 3;
constexpr WPARAM SEND_MATRIX_COMMAND = 4;
constexpr WPARAM SEND_UPGRADE_COMMAND = 5;
constexpr WPARAM SEND_MCU_BLOCK = 6;
constexpr WPARAM SEND_FLASH_BLOCK = 7;
// Nothing is sent: the main window's reply time-out is stopped.
constexpr WPARAM SEND_STOP_REPLY_TIMER = 1000;

// The main window's time-out for the first query of the EDID and Matrix pages.
constexpr UINT_PTR TIMER_REPLY_TIMEOUT = 1000;

constexpr BYTE PAGE_GENERAL = 1;
constexpr BYTE PAGE_EDID = 2;
constexpr BYTE PAGE_MATRIX = 4;
constexpr BYTE PAGE_UPGRADE = 5;
