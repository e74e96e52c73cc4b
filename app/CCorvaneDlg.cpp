#include "app/CCorvaneDlg.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CCorvaneDlg, CDialog)
    ON_MESSAGE(WM_SERIAL_BYTE, OnSerialByte)
    ON_MESSAGE(WM_SEND_REQUEST, OnSendRequest)
    ON_MESSAGE(WM_UPDATE_LOGS, OnUpdateLogs)
    ON_BN_CLICKED(IDC_COM_MODE, OnClickedComMode)
    ON_BN_CLICKED(IDC_TCP_MODE, OnClickedTcpMode)
    ON_BN_CLICKED(IDC_CONNECT_TCP, OnClickedConnectTcp)
    ON_MESSAGE(WM_TCP_SOCKET, OnTcpSocketEvent)
    ON_BN_CLICKED(IDC_SEARCH, OnClickedSearch)
    ON_MESSAGE(WM_SEARCH_REPLY, OnSearchReply)
    ON_CBN_SELENDOK(IDC_SWITCHER_IP, OnSelEndOkSwitcherIp)
    ON_BN_CLICKED(IDC_CONFIG, OnClickedConfig)
    ON_MESSAGE(WM_CONFIG_REPLY, OnConfigReply)
    ON_WM_TIMER()
END_MESSAGE_MAP()

CCorvaneDlg::CCorvaneDlg() : CDialog(IDD_MAIN) {}

BOOL CCorvaneDlg::OnInitDialog() {
    BOOL result = CDialog::OnInitDialog();
    PrepareLogs();
    return result;
}
