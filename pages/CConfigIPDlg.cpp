#include "pages/CConfigIPDlg.h"

#include "app/ProcessState.h"
#include "pages/DialogKeyFilter.h"
#include "pages/GdiPlusSurface.h"
#include "pages/OffscreenPaint.h"
#include "pages/PopupChrome.h"
#include "res/resource.h"

#include <cstddef>

namespace {
constexpr int OCTET_EDIT_IDS[IP_OCTET_COUNT] = {IDC_CONFIG_IP_OCTET_1, IDC_CONFIG_IP_OCTET_2, IDC_CONFIG_IP_OCTET_3,
                                                IDC_CONFIG_IP_OCTET_4};
constexpr int MAC_EDIT_IDS[MAC_PAIR_COUNT] = {IDC_CONFIG_IP_MAC_1, IDC_CONFIG_IP_MAC_2, IDC_CONFIG_IP_MAC_3,
                                              IDC_CONFIG_IP_MAC_4, IDC_CONFIG_IP_MAC_5, IDC_CONFIG_IP_MAC_6};

// The close button sits in the title band's top-right corner.

constexpr COLORREF BACKGROUND_WHITE = RGB(255, 255, 255);
constexpr COLORREF TITLE_TEXT_WHITE = RGB(255, 255, 255);
constexpr std::uint32_t BORDER_ARGB = 0x5A808080;
constexpr int BODY_TOP = POPUP_TITLE_HEIGHT + 1;

constexpr UINT TITLE_FORMAT = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr RECT TITLE_RECT = {1, 1, 90, 30};
}  // namespace

BEGIN_MESSAGE_MAP(CConfigIPDlg, CDialog)
    ON_WM_PAINT()
    ON_BN_CLICKED(IDC_CONFIG_IP_OK, OnClickedOk)
    ON_WM_LBUTTONDOWN()
    ON_BN_CLICKED(IDC_CONFIG_IP_CANCEL, OnClickedCancel)
    ON_BN_CLICKED(IDC_CONFIG_IP_CLOSE, OnClickedCancel)
    ON_BN_CLICKED(IDC_CONFIG_IP_AUTO, OnClickedAutoIp)
    ON_BN_CLICKED(IDC_CONFIG_IP_STATIC, OnClickedStaticIp)
END_MESSAGE_MAP()

CConfigIPDlg::CConfigIPDlg() : CDialog(IDD_CONFIG_IP) {}

CConfigIPDlg::~CConfigIPDlg() = default;

BOOL CConfigIPDlg::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CConfigIPDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetUpPopupCloseButton(m_btnClose, IDC_CONFIG_IP_CLOSE, this);
    if (g_staticIpMode) {
        ::CheckDlgButton(m_hWnd, IDC_CONFIG_IP_STATIC, BST_CHECKED);
    } else {
        ::CheckDlgButton(m_hWnd, IDC_CONFIG_IP_AUTO, BST_CHECKED);
        EnableOctetEdits(FALSE);
    }
    // In Auto mode too: the disabled octet edits show the present address.
    ShowSelectedDevice();
    return TRUE;
}

void CConfigIPDlg::EnableOctetEdits(BOOL enable) const {
    for (int id : OCTET_EDIT_IDS) ::EnableWindow(GetDlgItem(id), enable);
}

void CConfigIPDlg::ShowSelectedDevice() const {
    for (std::size_t i = 0; i < IP_OCTET_COUNT; ++i) SetDlgItemText(OCTET_EDIT_IDS[i], g_selectedIpOctets[i]);
    for (std::size_t i = 0; i < MAC_PAIR_COUNT; ++i) SetDlgItemText(MAC_EDIT_IDS[i], g_selectedMacPairs[i]);
}

void CConfigIPDlg::OnPaint() {
    RECT client{};
    GetClientRect(&client);
    PlacePopupCloseButton(m_btnClose, client);
    OffscreenPaint paint(*this, BACKGROUND_WHITE);
    CDC& memory = paint.Surface();
    const int width = paint.Width();
    const int height = paint.Height();
    {
        GdiPlusSurface surface(memory.GetSafeHdc());
        PaintPopupTitleBand(surface, width, height, BORDER_ARGB);
        surface.FillRectangle(GdiPlusSurface::OpaqueArgb(::GetSysColor(COLOR_BTNFACE)), 1, BODY_TOP, width - 2,
                              height - (BODY_TOP + 1));
    }
    memory.SetTextColor(TITLE_TEXT_WHITE);
    memory.SetBkMode(TRANSPARENT);
    RECT title = TITLE_RECT;
    memory.DrawText(L"TCP Config", &title, TITLE_FORMAT);
}

void CConfigIPDlg::OnClickedOk() {
    for (std::size_t i = 0; i < IP_OCTET_COUNT; ++i) g_enteredIpOctets[i] = GetDlgItemText(OCTET_EDIT_IDS[i]);
    for (std::size_t i = 0; i < MAC_PAIR_COUNT; ++i) g_enteredMacPairs[i] = GetDlgItemText(MAC_EDIT_IDS[i]);
    OnOK();
}

void CConfigIPDlg::OnLButtonDown(UINT, POINT) { DragPopup(*this); }

void CConfigIPDlg::OnClickedCancel() { EndDialog(IDCANCEL); }

void CConfigIPDlg::OnClickedAutoIp() {
    EnableOctetEdits(FALSE);
    g_staticIpMode = FALSE;
}

void CConfigIPDlg::OnClickedStaticIp() {
    EnableOctetEdits(TRUE);
    g_staticIpMode = TRUE;
}
