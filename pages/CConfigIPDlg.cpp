#include "pages/CConfigIPDlg.h"

#include "res/resource.h"

CConfigIPDlg::CConfigIPDlg() : CDialog(IDD_CONFIG_IP) {}
