#include "pages/CFWDlg.h"

#include "res/resource.h"

CFWDlg::CFWDlg() : CDialog(IDD_UPGRADE_PAGE) {}
