#include "pages/Popups.h"

#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "res/resource.h"

void ShowMessageDialog() {
    if (g_messageDlgShown) {
        // The caller has replaced the text of the box that is up.
        if (g_messageDlg.m_hWnd != nullptr) g_messageDlg.Invalidate(FALSE);
        return;
    }
    g_messageDlgShown = TRUE;
    g_messageDlg.DoModal();
}

void ShowStatusPopup() {
    if (g_statusDlgShown) return;
    g_statusDlgShown = TRUE;
    g_statusDlg.DoModal();
}

void FinishStatusPopup() {
    if (g_statusDlg.m_hWnd == nullptr) return;
    g_statusDlg.KillTimer(TIMER_DOTS);
    g_statusDlg.KillTimer(TIMER_DOTS_TWO);
    g_statusDlg.KillTimer(TIMER_DOTS_THREE);
    ::ShowWindow(g_statusDlg.GetDlgItem(IDC_STATUS_FINISH_MARK), SW_SHOW);
    g_statusDlg.SetDlgItemText(IDC_STATUS_TEXT, g_statusText);
}

void CloseStatusPopup() {
    g_statusDlgShown = FALSE;
    g_statusDlg.OnOK();
}

void ShowTimeOut() {
    g_messageText = TEXT_TIME_OUT;
    ShowMessageDialog();
    g_linkIdle = TRUE;
}
