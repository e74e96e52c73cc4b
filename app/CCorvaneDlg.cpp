#include "app/CCorvaneDlg.h"

#include "res/resource.h"

BEGIN_MESSAGE_MAP(CCorvaneDlg, CDialog)
END_MESSAGE_MAP()

CCorvaneDlg::CCorvaneDlg() : CDialog(IDD_MAIN) {}

BOOL CCorvaneDlg::OnInitDialog() { return CDialog::OnInitDialog(); }
