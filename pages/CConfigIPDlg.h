// The IP configuration dialog: edits a found device's address settings.
#pragma once

#include "framework/CDialog.h"

class CConfigIPDlg : public CDialog {
public:
    CConfigIPDlg();
};
