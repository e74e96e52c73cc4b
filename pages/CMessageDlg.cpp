#include "pages/CMessageDlg.h"

#include "app/ProcessState.h"
#include "res/resource.h"

namespace {
// Where the text stands: right of the symbol, on the symbol's line.
constexpr RECT TEXT_AREA_DLU = {52, 29, 186, 46};
}  // namespace

BEGIN_MESSAGE_MAP(CMessageDlg, CDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_MESSAGE_OK, OnClickedOk)
    ON_BN_CLICKED(IDC_MESSAGE_CLOSE, OnClickedCancel)
    ON_BN_CLICKED(IDC_MESSAGE_CANCEL, OnClickedCancel)
END_MESSAGE_MAP()

CMessageDlg::CMessageDlg() : CDialog(IDD_MESSAGE_BOX) {}

void CMessageDlg::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    RECT text = TEXT_AREA_DLU;
    ::MapDialogRect(m_hWnd, &text);
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, g_messageText.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(dc, oldFont);
    ::EndPaint(m_hWnd, &paint);
}

void CMessageDlg::OnClickedOk() {
    g_messageDlgShown = FALSE;
    OnOK();
}

void CMessageDlg::OnClickedCancel() {
    g_messageDlgShown = FALSE;
    EndDialog(IDCANCEL);
}
