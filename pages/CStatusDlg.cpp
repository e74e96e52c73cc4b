#include "pages/CStatusDlg.h"

#include "res/resource.h"

CStatusDlg::CStatusDlg() : CDialog(IDD_STATUS_POPUP) {}
