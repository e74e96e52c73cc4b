// Stand-ins until the main window's own control mode and timers arrive.
#include "app/CCorvaneDlg.h"

#include "app/ProcessState.h"
#include "core/RequestGate.h"
#include "res/resource.h"

void CCorvaneDlg::ApplyControlMode() {
    const bool com = g_controlMode == CONTROL_MODE_COM;
    if (com) {
        DisconnectTcp();
    } else {
        ::SetEvent(m_serial.m_hStopEvent);
        g_app.m_bComPortOpen = FALSE;
        SetDlgItemText(IDC_CONNECT_COM, L"Connect");
    }
    for (int id : {IDC_CONNECT_TCP, 1063, 1059, IDC_SEARCH, IDC_CONFIG, IDC_SWITCHER_IP}) ::EnableWindow(GetDlgItem(id), !com);
    for (int id : {1018, 1019, IDC_CONNECT_COM, 1020}) ::EnableWindow(GetDlgItem(id), com);
}

void CCorvaneDlg::OnTimer(UINT_PTR id) {
    if (id == TIMER_SEARCH_DONE) OnSearchDone();
    if (id == TIMER_SEARCH_DONE_CLOSE) OnSearchDoneClose();
    if (id == TIMER_CONFIG_TIMEOUT) OnConfigTimeout();
}
