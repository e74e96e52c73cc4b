// The panel's main window.
#pragma once

#include "framework/CDialog.h"

class CCorvaneDlg : public CDialog {
public:
    CCorvaneDlg();

protected:
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};
