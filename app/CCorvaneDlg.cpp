#include "app/CCorvaneDlg.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CCorvaneDlg, CDialog)
    ON_MESSAGE(WM_SERIAL_BYTE, OnSerialByte)
    ON_MESSAGE(WM_SEND_REQUEST, OnSendRequest)
    ON_MESSAGE(WM_UPDATE_LOGS, OnUpdateLogs)
END_MESSAGE_MAP()

CCorvaneDlg::CCorvaneDlg() : CDialog(IDD_MAIN) {}

BOOL CCorvaneDlg::OnInitDialog() {
    BOOL result = CDialog::OnInitDialog();
    PrepareLogs();
    return result;
}
