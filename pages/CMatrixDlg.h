// The Matrix page: routes inputs to outputs and shows each output's ARC.
#pragma once

#include "framework/CDialog.h"

class CMatrixDlg : public CDialog {
public:
    CMatrixDlg();
};
