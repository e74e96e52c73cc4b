// The message box: one line of text for the operator, closed with Ok or the
// close button; in confirmation mode also with Cancel, and with a "No longer
// remind" check box.
#pragma once

#include "controls/CIconButton.h"
#include "framework/CDialog.h"

class CMessageDlg : public CDialog {
public:
    CMessageDlg();
    ~CMessageDlg() override;

    // However the box's run ends (its buttons, EndDialog from elsewhere,
    // WM_QUIT, a window that could not be made), the shown flag is clear
    // once the box is gone.
    INT_PTR DoModal() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

    CIconButton m_btnClose;

protected:
    void OnPaint();
    void OnLButtonDown(UINT flags, POINT point);
    void OnClickedOk();
    void OnClickedCancel();
    void OnClickedNoLongerRemind();

    DECLARE_MESSAGE_MAP()

private:
    void SetUpCloseButton();
    void ArrangeConfirmation();
    // The text rectangle for the current text; the long questions also move
    // the symbol out of their way.
    RECT PlaceTextAndSymbol();
};
