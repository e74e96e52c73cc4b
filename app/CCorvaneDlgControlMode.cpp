// The control mode: which of the two link groups, COM or TCP, the operator
// can use. Changing the mode closes the other link.
#include "app/CCorvaneDlg.h"

#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "core/RequestGate.h"
#include "res/resource.h"

namespace {

constexpr int TCP_CONTROLS[] = {IDC_CONNECT_TCP, IDC_TCP_GROUP, IDC_SWITCHER_IP_LABEL, IDC_SEARCH, IDC_CONFIG,
                                IDC_SWITCHER_IP_LIST};
constexpr int COM_CONTROLS[] = {IDC_COM_GROUP, IDC_COM_PORT_LABEL, IDC_CONNECT_COM, IDC_COM_PORT_LIST};

}  // namespace

// The baud-rate list and the port-list timer stay as they are in either mode.
void CCorvaneDlg::ApplyControlMode() {
    const bool com = g_controlMode == CONTROL_MODE_COM;
    if (com) {
        g_tcpConnected = FALSE;
        ::closesocket(g_tcpSocket);
        SetDlgItemText(IDC_CONNECT_TCP, TEXT_CONNECT);
    } else {
        ::SetEvent(m_serial.m_hStopEvent);
        g_app.m_bComPortOpen = FALSE;
        SetDlgItemText(IDC_CONNECT_COM, TEXT_CONNECT);
    }
    for (int id : TCP_CONTROLS) ::EnableWindow(GetDlgItem(id), !com);
    for (int id : COM_CONTROLS) ::EnableWindow(GetDlgItem(id), com);
}
