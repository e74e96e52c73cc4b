// The painted chrome every pop-up shares (title band, its top line, the body
// below it, the close button in the top-right corner), read from inside the
// pop-up's modal loop and checked after it ends.
#pragma once

#include "core/PanelColors.h"
#include "framework/CDialog.h"
#include "tests/wine/DibCanvas.h"

#include <gtest/gtest.h>

#include <windows.h>

struct PopupChrome {
    COLORREF title = 0;
    COLORREF body = 0;
    COLORREF topLine = 0;
    RECT close{};
    RECT client{};
};

// `titleSpot` lies inside the title band clear of the close button and lines,
// `bodySpot` on the body's background.
inline PopupChrome ReadPopupChrome(const CDialog& popup, int closeId, POINT titleSpot, POINT bodySpot) {
    PopupChrome chrome;
    auto canvas = DibCanvas::FromWindowClient(popup.m_hWnd);
    chrome.title = canvas->Pixel(titleSpot.x, titleSpot.y);
    chrome.body = canvas->Pixel(bodySpot.x, bodySpot.y);
    chrome.topLine = canvas->Pixel(canvas->Width() / 2, 0);
    ::GetWindowRect(popup.GetDlgItem(closeId), &chrome.close);
    popup.ScreenToClient(&chrome.close);
    popup.GetClientRect(&chrome.client);
    return chrome;
}

inline void ExpectPopupChrome(const PopupChrome& chrome, COLORREF body) {
    constexpr int CLOSE_RIGHT_OFFSET = 26;
    constexpr int CLOSE_SIZE = 25;
    constexpr COLORREF TITLE_LINE = RGB(30, 120, 255);
    EXPECT_EQ(chrome.title, static_cast<COLORREF>(PANEL_BLUE));
    EXPECT_EQ(chrome.body, body);
    EXPECT_EQ(chrome.topLine, TITLE_LINE);
    EXPECT_EQ(chrome.close.left, chrome.client.right - CLOSE_RIGHT_OFFSET);
    EXPECT_EQ(chrome.close.top, chrome.client.top + 1);
    EXPECT_EQ(chrome.close.right - chrome.close.left, CLOSE_SIZE);
    EXPECT_EQ(chrome.close.bottom - chrome.close.top, CLOSE_SIZE);
}
