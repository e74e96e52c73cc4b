// The LAN handlers' places in the main window until the TCP and UDP code
// fills them.
#include "app/CCorvaneDlg.h"

void CCorvaneDlg::OnClickedComMode() {}

void CCorvaneDlg::OnClickedTcpMode() {}

void CCorvaneDlg::OnClickedConnectTcp() {}

LRESULT CCorvaneDlg::OnTcpSocketEvent(WPARAM, LPARAM) { return 0; }

void CCorvaneDlg::OnClickedSearch() {}

void CCorvaneDlg::OnClickedConfig() {}

void CCorvaneDlg::OnSelEndOkSwitcherIp() {}

LRESULT CCorvaneDlg::OnSearchReply(WPARAM, LPARAM) { return 0; }

LRESULT CCorvaneDlg::OnConfigReply(WPARAM, LPARAM) { return 0; }
