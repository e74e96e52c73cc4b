#include "pages/CMessageDlg.h"

#include "app/ProcessState.h"
#include "pages/DialogKeyFilter.h"
#include "pages/GdiPlusSurface.h"
#include "pages/OffscreenPaint.h"
#include "pages/PopupChrome.h"
#include "res/resource.h"

namespace {
// The close button sits in the title band's top-right corner.

constexpr COLORREF BODY_WHITE = RGB(255, 255, 255);
constexpr COLORREF TEXT_BLACK = RGB(0, 0, 0);
constexpr std::uint32_t BORDER_ARGB = 0x96808080;
constexpr int BOTTOM_BAND_TOP = 120;
// The bottom band is the button face, a little warmer.
constexpr BYTE BOTTOM_RED_RAISE = 5;
constexpr BYTE BOTTOM_GREEN_RAISE = 10;

constexpr UINT TEXT_FORMAT = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr RECT TEXT_RECT_DEFAULT = {100, 60, 220, 100};
constexpr RECT TEXT_RECT_NO_CONNECTION = {100, 60, 255, 100};
constexpr RECT TEXT_RECT_OPEN_FILE = {100, 60, 260, 100};
constexpr RECT TEXT_RECT_QUESTION = {50, 60, 320, 100};
constexpr POINT SYMBOL_BESIDE_QUESTION = {9, 60};

// Where the "No longer remind" box goes in a confirmation: the template keeps
// it outside the box, out of the operator's reach.
constexpr RECT NO_LONGER_REMIND_DLU = {7, 60, 76, 70};

COLORREF BottomBandColor(COLORREF face) {
    return RGB(static_cast<BYTE>(GetRValue(face) + BOTTOM_RED_RAISE),
               static_cast<BYTE>(GetGValue(face) + BOTTOM_GREEN_RAISE), GetBValue(face));
}

RECT ControlRectInClient(const CWnd& dialog, int id) {
    RECT rect{};
    ::GetWindowRect(dialog.GetDlgItem(id), &rect);
    dialog.ScreenToClient(&rect);
    return rect;
}
}  // namespace

BEGIN_MESSAGE_MAP(CMessageDlg, CDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_MESSAGE_CLOSE, OnClickedCancel)
    ON_BN_CLICKED(IDC_MESSAGE_CANCEL, OnClickedCancel)
    // The system close command (Alt+F4) arrives as IDCANCEL: it must clear
    // the shown flag like the buttons do, or no message box opens again.
    ON_COMMAND(IDCANCEL, OnClickedCancel)
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(IDC_MESSAGE_OK, OnClickedOk)
    ON_BN_CLICKED(IDC_MESSAGE_NO_LONGER_REMIND, OnClickedNoLongerRemind)
END_MESSAGE_MAP()

CMessageDlg::CMessageDlg() : CDialog(IDD_MESSAGE_BOX) {}

CMessageDlg::~CMessageDlg() = default;

INT_PTR CMessageDlg::DoModal() {
    const INT_PTR result = CDialog::DoModal();
    // A refused run leaves the box that is up, and its flag, alone.
    if (m_hWnd == nullptr) g_messageDlgShown = FALSE;
    return result;
}

BOOL CMessageDlg::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CMessageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetUpCloseButton();
    if (g_confirmMode) ArrangeConfirmation();
    return TRUE;
}

void CMessageDlg::SetUpCloseButton() { SetUpPopupCloseButton(m_btnClose, IDC_MESSAGE_CLOSE, this); }

// Ok goes left and Cancel right, each taking the other's place.
void CMessageDlg::ArrangeConfirmation() {
    const RECT cancel = ControlRectInClient(*this, IDC_MESSAGE_CANCEL);
    const RECT ok = ControlRectInClient(*this, IDC_MESSAGE_OK);
    constexpr UINT KEEP_SIZE_AND_ORDER = SWP_NOSIZE | SWP_NOZORDER;
    ::SetWindowPos(GetDlgItem(IDC_MESSAGE_CANCEL), nullptr, ok.left, ok.top, 0, 0, KEEP_SIZE_AND_ORDER);
    ::SetWindowPos(GetDlgItem(IDC_MESSAGE_OK), nullptr, cancel.left, cancel.top, 0, 0, KEEP_SIZE_AND_ORDER);

    RECT remind = NO_LONGER_REMIND_DLU;
    ::MapDialogRect(m_hWnd, &remind);
    ::MoveWindow(GetDlgItem(IDC_MESSAGE_NO_LONGER_REMIND), remind.left, remind.top, remind.right - remind.left,
                 remind.bottom - remind.top, TRUE);
    ::ShowWindow(GetDlgItem(IDC_MESSAGE_CANCEL), SW_SHOW);
    ::ShowWindow(GetDlgItem(IDC_MESSAGE_NO_LONGER_REMIND), SW_SHOW);
}

RECT CMessageDlg::PlaceTextAndSymbol() {
    if (g_messageText == L"Connect to Matrix failed!") return TEXT_RECT_NO_CONNECTION;
    if (g_messageText == L"Please open the file(.fw)!") return TEXT_RECT_OPEN_FILE;
    if (g_messageText == L"Do you want to reset to factory settings?" ||
        g_messageText == L"Are you sure you want to power off?") {
        ::SetWindowPos(GetDlgItem(IDC_MESSAGE_SYMBOL), nullptr, SYMBOL_BESIDE_QUESTION.x, SYMBOL_BESIDE_QUESTION.y, 0,
                       0, SWP_NOSIZE | SWP_NOZORDER);
        return TEXT_RECT_QUESTION;
    }
    return TEXT_RECT_DEFAULT;
}

void CMessageDlg::OnPaint() {
    RECT client{};
    GetClientRect(&client);
    PlacePopupCloseButton(m_btnClose, client);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    OffscreenPaint paint(*this, BODY_WHITE);
    CDC& memory = paint.Surface();
    const int width = paint.Width();
    const int height = paint.Height();
    {
        GdiPlusSurface surface(memory.GetSafeHdc());
        PaintPopupTitleBand(surface, width, height, BORDER_ARGB);
        // A box shorter than the band's top has no bottom band: a negative
        // height would paint it upwards over the text.
        const int bottomHeight = height - (BOTTOM_BAND_TOP + 1);
        if (bottomHeight > 0) {
            surface.FillRectangle(GdiPlusSurface::OpaqueArgb(BottomBandColor(face)), 1, BOTTOM_BAND_TOP, width - 2,
                                  bottomHeight);
        }
    }
    memory.SetTextColor(TEXT_BLACK);
    memory.SetBkMode(TRANSPARENT);
    RECT text = PlaceTextAndSymbol();
    memory.DrawText(g_messageText, &text, TEXT_FORMAT);
}

void CMessageDlg::OnLButtonDown(UINT, POINT) { DragPopup(*this); }

void CMessageDlg::OnClickedOk() {
    g_messageDlgShown = FALSE;
    OnOK();
}

void CMessageDlg::OnClickedCancel() {
    g_messageDlgShown = FALSE;
    EndDialog(IDCANCEL);
}

void CMessageDlg::OnClickedNoLongerRemind() {
    g_noLongerRemind = SendDlgItemMessage(IDC_MESSAGE_NO_LONGER_REMIND, BM_GETCHECK) == BST_CHECKED;
}
