#include "pages/PageTimers.h"

#include "app/MainWindowTimers.h"
#include "app/PanelMessages.h"

void PostSendRequest(const CWnd& page, WPARAM sendKind) {
    ::PostMessageW(::GetParent(page.m_hWnd), WM_SEND_REQUEST, sendKind, 0);
}

void ResendOnce(CWnd& page, UINT_PTR expired, WPARAM sendKind, UINT periodMs) {
    page.KillTimer(expired);
    PostSendRequest(page, sendKind);
    page.SetTimer(expired + 1, ScaledPeriod(periodMs));
}
