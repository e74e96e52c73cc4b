#include "pages/CEDIDDlg.h"

#include "res/resource.h"

CEDIDDlg::CEDIDDlg() : CDialog(IDD_EDID_PAGE) {}
