// The message box: one line of text for the operator, closed with Ok.
#pragma once

#include "framework/CDialog.h"

class CMessageDlg : public CDialog {
public:
    CMessageDlg();

protected:
    void OnPaint();
    void OnClickedOk();
    void OnClickedCancel();

    DECLARE_MESSAGE_MAP()
};
