#include "pages/CMatrixDlg.h"

#include "res/resource.h"

CMatrixDlg::CMatrixDlg() : CDialog(IDD_MATRIX_PAGE) {}
