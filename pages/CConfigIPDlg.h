// The IP configuration dialog: edits a found device's address settings. It
// sends nothing; the main window reads what OK leaves in the hand-over
// variables and builds the configuration packet from them.
#pragma once

#include "controls/CIconButton.h"
#include "framework/CDialog.h"

class CConfigIPDlg : public CDialog {
public:
    CConfigIPDlg();
    ~CConfigIPDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

    CIconButton m_btnClose;

protected:
    void OnPaint();
    void OnClickedOk();
    void OnLButtonDown(UINT flags, POINT point);
    void OnClickedCancel();
    void OnClickedAutoIp();
    void OnClickedStaticIp();

    DECLARE_MESSAGE_MAP()

private:
    void EnableOctetEdits(BOOL enable) const;
    void ShowSelectedDevice() const;
};
