// The Upgrade page: firmware transfer and device information.
#pragma once

#include "framework/CDialog.h"

class CFWDlg : public CDialog {
public:
    CFWDlg();
};
