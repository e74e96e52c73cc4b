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

// TCP mode closes the COM port the way its Disconnect does, so the port list
// is refreshed again and the baud-rate list is free when COM mode returns.
void CCorvaneDlg::ApplyControlMode() {
    const bool com = g_controlMode == CONTROL_MODE_COM;
    if (com)
        DisconnectTcp();
    else
        CloseComPort();
    for (int id : TCP_CONTROLS) ::EnableWindow(GetDlgItem(id), !com);
    for (int id : COM_CONTROLS) ::EnableWindow(GetDlgItem(id), com);
}
