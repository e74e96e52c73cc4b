#include "pages/CStatusDlg.h"

#include "app/ProcessState.h"
#include "pages/GdiPlusSurface.h"
#include "pages/OffscreenPaint.h"
#include "res/resource.h"

namespace {
constexpr UINT DOTS_PERIOD_MS = 300;
constexpr COLORREF BODY_WHITE = RGB(255, 255, 255);
constexpr std::uint32_t FRAME_ARGB = 0x961E90E1;

constexpr wchar_t ONE_DOT[] = L" .";
constexpr wchar_t TWO_DOTS[] = L" . .";
constexpr wchar_t THREE_DOTS[] = L" . . .";
}  // namespace

BEGIN_MESSAGE_MAP(CStatusDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CStatusDlg::CStatusDlg() : CDialog(IDD_STATUS_POPUP) { m_brushWhite.CreateSolidBrush(BODY_WHITE); }

CStatusDlg::~CStatusDlg() { m_brushWhite.DeleteObject(); }

BOOL CStatusDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::ShowWindow(GetDlgItem(IDC_STATUS_FINISH_MARK), SW_HIDE);
    SetDlgItemText(IDC_STATUS_TEXT, g_statusText + THREE_DOTS);
    SetTimer(TIMER_DOTS, DOTS_PERIOD_MS);
    return TRUE;
}

void CStatusDlg::OnTimer(UINT_PTR id) {
    const wchar_t* dots = nullptr;
    UINT_PTR next = 0;
    switch (id) {
        case TIMER_DOTS:
            dots = ONE_DOT;
            next = TIMER_DOTS_TWO;
            break;
        case TIMER_DOTS_TWO:
            dots = TWO_DOTS;
            next = TIMER_DOTS_THREE;
            break;
        case TIMER_DOTS_THREE:
            dots = THREE_DOTS;
            next = TIMER_DOTS;
            break;
        default:
            Default();
            return;
    }
    KillTimer(id);
    SetDlgItemText(IDC_STATUS_TEXT, g_statusText + dots);
    SetTimer(next, DOTS_PERIOD_MS);
}

HBRUSH CStatusDlg::OnCtlColor(HDC dc, HWND control, UINT colourMessage) {
    HBRUSH brush = CDialog::OnCtlColor(dc, control, colourMessage);
    if (::GetDlgCtrlID(control) != IDC_STATUS_TEXT) return brush;
    ::SetBkMode(dc, TRANSPARENT);
    return m_brushWhite;
}

void CStatusDlg::OnPaint() {
    OffscreenPaint paint(*this, BODY_WHITE);
    GdiPlusSurface surface(paint.Surface().GetSafeHdc());
    surface.DrawRectangle(FRAME_ARGB, 0, 0, paint.Width() - 1, paint.Height() - 1);
}
