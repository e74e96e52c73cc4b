// The busy pop-up shown while a device operation runs.
#pragma once

#include "framework/CDialog.h"

class CStatusDlg : public CDialog {
public:
    CStatusDlg();
};
