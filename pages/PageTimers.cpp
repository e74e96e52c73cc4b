#include "pages/PageTimers.h"

#include "app/PanelMessages.h"
#include "app/ProcessState.h"
#include "pages/Popups.h"

namespace {
constexpr wchar_t TEXT_TIME_OUT[] = L"Time out!";
constexpr UINT SHORTEST_PERIOD_MS = 1;

double g_pagePeriodScale = 1.0;
}  // namespace

void PostSendRequest(const CWnd& page, WPARAM sendKind) {
    ::PostMessageW(::GetParent(page.m_hWnd), WM_SEND_REQUEST, sendKind, 0);
}

UINT PagePeriod(UINT milliseconds) {
    const auto scaled = static_cast<UINT>(milliseconds * g_pagePeriodScale);
    return scaled < SHORTEST_PERIOD_MS ? SHORTEST_PERIOD_MS : scaled;
}

void SetPagePeriodScale(double scale) { g_pagePeriodScale = scale; }

void ResendOnce(CWnd& page, UINT_PTR expired, WPARAM sendKind, UINT periodMs) {
    page.KillTimer(expired);
    PostSendRequest(page, sendKind);
    page.SetTimer(expired + 1, PagePeriod(periodMs));
}

void ReportTimeOut() {
    g_messageText = TEXT_TIME_OUT;
    ShowMessageDialog();
    g_linkIdle = TRUE;
}
