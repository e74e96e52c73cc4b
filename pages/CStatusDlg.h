// The busy pop-up shown while a device operation runs: the activity text with
// animated dots, later the finish mark with the result text.
#pragma once

#include "framework/CBrush.h"
#include "framework/CDialog.h"

// The dots timers: each step kills the one that fired and arms the next.
constexpr UINT_PTR TIMER_DOTS = 1001;
constexpr UINT_PTR TIMER_DOTS_TWO = 1002;
constexpr UINT_PTR TIMER_DOTS_THREE = 1003;

class CStatusDlg : public CDialog {
public:
    CStatusDlg();
    ~CStatusDlg() override;

    BOOL OnInitDialog() override;

    CBrush m_brushWhite;

protected:
    void OnPaint();
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT colourMessage);
    void OnTimer(UINT_PTR id);

    DECLARE_MESSAGE_MAP()
};
