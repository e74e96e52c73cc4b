// The EDID page: EDID modes, copies and uploads per input.
#pragma once

#include "framework/CDialog.h"

class CEDIDDlg : public CDialog {
public:
    CEDIDDlg();
};
