// The main window itself: construction and start-up, the painted title bar,
// the tab colours, the caption buttons, the key filter and the system menu.
#include "app/CCorvaneDlg.h"

#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "core/PanelColors.h"
#include "core/RequestGate.h"
#include "framework/CWinApp.h"
#include "pages/CAboutDlg.h"
#include "pages/DialogKeyFilter.h"
#include "pages/GdiPlusSurface.h"
#include "pages/OffscreenPaint.h"
#include "pages/PopupChrome.h"
#include "res/resource.h"

namespace {

constexpr const wchar_t* TITLE_TEXT = L"Tervalo  v1.03.03";
constexpr std::size_t TITLE_WIDTH = 51;
constexpr const wchar_t* TITLE_FONT_FACE = L"Arial";
constexpr LONG TITLE_FONT_HEIGHT = 16;
constexpr BYTE SWISS_FAMILY = 0x20;

constexpr UINT IDM_ABOUTBOX = 16;
constexpr UINT SYSTEM_COMMAND_MASK = 0xFFF0;
// Keeps WS_VISIBLE, WS_CLIPSIBLINGS, WS_CLIPCHILDREN, WS_SYSMENU and the two
// box styles: the caption, the frame and WS_POPUP go.
constexpr LONG_PTR KEPT_STYLES = 0x160B0000;
constexpr std::size_t ABOUT_TEXT_LENGTH = 256;

// Caption buttons: right-aligned in the title bar, 25 x 25 pixels.
constexpr int CAPTION_BUTTON_SIZE = 25;
constexpr int CAPTION_BUTTON_TOP = 1;
constexpr int CLOSE_RIGHT_OFFSET = 26;
constexpr int MINIMIZE_RIGHT_OFFSET = 51;

// Title bar and tab row, in pixels: the tabs stand on the bar's lower edge.
constexpr int TITLE_BAR_BOTTOM = 56;
constexpr int TITLE_BAR_HEIGHT = 55;
constexpr int TAB_LEFT = 1;
constexpr int TAB_GAP = 2;
constexpr int SEPARATOR_TOP = 62;
constexpr int SEPARATOR_BOTTOM = 76;
constexpr RECT TITLE_TEXT_RECT = {1, 1, 290, 30};
constexpr UINT TITLE_TEXT_FORMAT = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr COLORREF TITLE_TEXT_COLOR = RGB(255, 255, 255);

// The frame around the status texts, from the top-left of the first one.
constexpr int STATUS_FRAME_LEFT = 2;
constexpr int STATUS_FRAME_UP = 9;
constexpr int STATUS_FRAME_WIDTH = 217;
constexpr int STATUS_FRAME_HEIGHT = 130;

constexpr std::uint32_t BORDER_ARGB = 0x32808080;
constexpr std::uint32_t STATUS_FRAME_ARGB = 0x321E78C8;
constexpr std::uint32_t TITLE_ARGB = 0xFF1E90E1;
constexpr std::uint32_t TITLE_EDGE_ARGB = 0xFF1E78FF;
constexpr std::uint32_t SEPARATOR_ARGB = 0xFF1E78C8;

constexpr COLORREF TAB_TEXT_SELECTED = RGB(0, 0, 0);
constexpr COLORREF TAB_TEXT_UNSELECTED = RGB(255, 255, 255);

std::wstring PaddedTitle() {
    std::wstring title = TITLE_TEXT;
    title.resize(TITLE_WIDTH, L' ');
    return title;
}

LOGFONTW TitleFont() {
    LOGFONTW font{};
    font.lfHeight = TITLE_FONT_HEIGHT;
    font.lfWeight = FW_BOLD;
    font.lfPitchAndFamily = SWISS_FAMILY;
    wcscpy_s(font.lfFaceName, TITLE_FONT_FACE);
    return font;
}

std::wstring LoadResourceString(UINT id) {
    wchar_t text[ABOUT_TEXT_LENGTH] = {};
    ::LoadStringW(AfxGetInstanceHandle(), id, text, static_cast<int>(ABOUT_TEXT_LENGTH));
    return text;
}

}  // namespace

BEGIN_MESSAGE_MAP(CCorvaneDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_MESSAGE(WM_SERIAL_FAILED, OnSerialFailed)
    ON_MESSAGE(WM_SERIAL_BYTE, OnSerialByte)
    ON_MESSAGE(WM_SEND_REQUEST, OnSendRequest)
    ON_MESSAGE(WM_SEARCH_REPLY, OnSearchReply)
    ON_MESSAGE(WM_TCP_SOCKET, OnTcpSocketEvent)
    ON_MESSAGE(WM_CONFIG_REPLY, OnConfigReply)
    ON_WM_LBUTTONDOWN()
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
    ON_BN_CLICKED(IDC_CLOSE, OnClickedClose)
    ON_BN_CLICKED(IDC_MINIMIZE, OnClickedMinimize)
    ON_WM_TIMER()
    ON_BN_CLICKED(IDC_CONNECT_COM, OnClickedConnectCom)
    ON_BN_CLICKED(IDC_CLEAR_INFO, OnClickedClearInfo)
    ON_BN_CLICKED(IDC_STATUS, OnClickedStatus)
    ON_BN_CLICKED(IDC_SEARCH, OnClickedSearch)
    ON_BN_CLICKED(IDC_CONNECT_TCP, OnClickedConnectTcp)
    ON_BN_CLICKED(IDC_COM_MODE, OnClickedComMode)
    ON_BN_CLICKED(IDC_TCP_MODE, OnClickedTcpMode)
    ON_BN_CLICKED(IDC_CONFIG, OnClickedConfig)
    ON_CBN_SELENDOK(IDC_SWITCHER_IP_LIST, OnSelEndOkSwitcherIp)
    ON_BN_CLICKED(IDC_BEEP, OnClickedBeep)
    ON_BN_CLICKED(IDC_FACTORY_RESET_OFF_PAGE, OnClickedFactoryResetOffPage)
    ON_BN_CLICKED(IDC_CLEAR_LOG, OnClickedClearLog)
    ON_BN_CLICKED(IDC_FACTORY_RESET, OnClickedFactoryReset)
    ON_BN_CLICKED(IDC_REBOOT, OnClickedReboot)
    ON_BN_CLICKED(IDC_POWER, OnClickedPower)
    ON_CBN_SELCHANGE(IDC_BAUD_RATE_LIST, OnSelChangeBaudRate)
    ON_BN_CLICKED(IDC_SOURCE_PORT_1, OnClickedPort1)
    ON_BN_CLICKED(IDC_SOURCE_PORT_2, OnClickedPort2)
    ON_BN_CLICKED(IDC_SOURCE_PORT_3, OnClickedPort3)
    ON_BN_CLICKED(IDC_SOURCE_PORT_4, OnClickedPort4)
    ON_BN_CLICKED(IDC_ARC, OnClickedArc)
    ON_BN_CLICKED(IDC_SET_EDID, OnClickedSetEdid)
    ON_BN_CLICKED(IDC_AUTO_SWITCH, OnClickedAutoSwitch)
    // The tab statics carry SS_NOTIFY, so a click on one reaches the window
    // as the static's notification, not as a press on the window.
    ON_CONTROL(STN_CLICKED, IDC_TAB_GENERAL, OnClickedTabGeneral)
    ON_CONTROL(STN_CLICKED, IDC_TAB_EDID, OnClickedTabEdid)
    ON_CONTROL(STN_CLICKED, IDC_TAB_MATRIX, OnClickedTabMatrix)
    ON_CONTROL(STN_CLICKED, IDC_TAB_UPGRADE, OnClickedTabUpgrade)
    ON_MESSAGE(WM_UPDATE_LOGS, OnUpdateLogs)
END_MESSAGE_MAP()

CCorvaneDlg::CCorvaneDlg() : CDialog(IDD_MAIN), m_strTitle(PaddedTitle()) {
    m_brushBlue.CreateSolidBrush(PANEL_BLUE);
    m_brushFace.CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
    const LOGFONTW font = TitleFont();
    m_titleFont.CreateFontIndirect(&font);
}

CCorvaneDlg::~CCorvaneDlg() = default;

BOOL CCorvaneDlg::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CDialog::PreTranslateMessage(msg);
}

BOOL CCorvaneDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const std::wstring about = LoadResourceString(IDS_ABOUT_ITEM);
    HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
    if (!about.empty() && systemMenu != nullptr) {
        ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hWindowIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hWindowIcon));

    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetStyle() & KEPT_STYLES);
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, 0);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    ModifyStyle(0, WS_MINIMIZEBOX);
    if (systemMenu != nullptr) ::DeleteMenu(systemMenu, SC_MOVE, MF_BYCOMMAND);

    SetUpCaptionButtons();
    for (int tab : {IDC_TAB_GENERAL, IDC_TAB_EDID, IDC_TAB_MATRIX, IDC_TAB_UPGRADE}) {
        SendDlgItemMessage(tab, WM_SETFONT, reinterpret_cast<WPARAM>(m_titleFont.m_hObject), TRUE);
    }

    SendDlgItemMessage(IDC_COM_MODE, BM_SETCHECK, BST_CHECKED);
    FillGeneralLists();
    g_controlMode = CONTROL_MODE_COM;
    ApplyControlMode();
    OnClickedClearInfo();
    RefreshComPorts();
    ArmTimer(TIMER_PORT_POLL);
    PrepareLogs();
    return TRUE;
}

void CCorvaneDlg::SetUpCaptionButtons() {
    SetUpPopupCloseButton(m_btnClose, IDC_CLOSE, this);
    SetUpCaptionButton(m_btnMinimize, IDC_MINIMIZE, this, {IDI_MINIMIZE_ACTIVE, IDI_MINIMIZE_NORMAL, L"Minimize"});
}

void CCorvaneDlg::OnSysCommand(UINT id, LPARAM) {
    if ((id & SYSTEM_COMMAND_MASK) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    Default();
}

void CCorvaneDlg::OnClickedClose() { ::PostQuitMessage(0); }

void CCorvaneDlg::OnClickedMinimize() { PostMessage(WM_SYSCOMMAND, SC_MINIMIZE); }

HCURSOR CCorvaneDlg::OnQueryDragIcon() { return m_hWindowIcon; }

BOOL CCorvaneDlg::OnEraseBkgnd(HDC) { return TRUE; }

SIZE CCorvaneDlg::TabSize() const {
    RECT tab{};
    ::GetWindowRect(GetDlgItem(IDC_TAB_GENERAL), &tab);
    return {tab.right - tab.left, tab.bottom - tab.top};
}

void CCorvaneDlg::OnPaint() {
    if (::IsIconic(m_hWnd)) {
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(m_hWnd, &paint);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
        RECT client{};
        GetClientRect(&client);
        const int iconWidth = ::GetSystemMetrics(SM_CXICON);
        const int iconHeight = ::GetSystemMetrics(SM_CYICON);
        if (m_hWindowIcon != nullptr) {
            ::DrawIcon(dc, (client.right - iconWidth + 1) / 2, (client.bottom - iconHeight + 1) / 2, m_hWindowIcon);
        }
        ::EndPaint(m_hWnd, &paint);
        return;
    }
    const SIZE tab = TabSize();
    RECT client{};
    GetClientRect(&client);
    PlaceCaptionButtonsAndTabs(client.right, tab);
    OffscreenPaint paint(*this, ::GetSysColor(COLOR_BTNFACE));
    PaintWindow(paint.Surface().GetSafeHdc(), paint.Client(), tab);
}

void CCorvaneDlg::PlaceCaptionButtonsAndTabs(int clientWidth, SIZE tab) {
    m_btnClose.MoveWindow(clientWidth - CLOSE_RIGHT_OFFSET, CAPTION_BUTTON_TOP, CAPTION_BUTTON_SIZE,
                          CAPTION_BUTTON_SIZE, TRUE);
    m_btnMinimize.MoveWindow(clientWidth - MINIMIZE_RIGHT_OFFSET, CAPTION_BUTTON_TOP, CAPTION_BUTTON_SIZE,
                             CAPTION_BUTTON_SIZE, TRUE);
    constexpr UINT KEEP_SIZE_AND_ORDER = SWP_NOSIZE | SWP_NOZORDER;
    const int tabTop = TITLE_BAR_BOTTOM - tab.cy;
    ::SetWindowPos(GetDlgItem(IDC_TAB_GENERAL), nullptr, TAB_LEFT, tabTop, 0, 0, KEEP_SIZE_AND_ORDER);
    ::SetWindowPos(GetDlgItem(IDC_TAB_UPGRADE), nullptr, tab.cx + TAB_GAP, tabTop, 0, 0, KEEP_SIZE_AND_ORDER);
}

void CCorvaneDlg::PaintWindow(HDC target, const RECT& client, SIZE tab) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    {
        GdiPlusSurface surface(target);
        surface.DrawRectangle(BORDER_ARGB, 0, 0, width - 1, height - 1);
        if (m_nPage == PAGE_GENERAL) {
            RECT status{};
            ::GetWindowRect(GetDlgItem(IDC_LINK_IN1), &status);
            ScreenToClient(&status);
            surface.DrawRectangle(STATUS_FRAME_ARGB, status.left - STATUS_FRAME_LEFT, status.top - STATUS_FRAME_UP,
                                  STATUS_FRAME_WIDTH, STATUS_FRAME_HEIGHT);
        }
        surface.FillRectangle(TITLE_ARGB, 1, 1, width - 2, TITLE_BAR_HEIGHT);
        surface.DrawLine(TITLE_EDGE_ARGB, 0, 0, width - 2, 0);
        surface.DrawLine(TITLE_EDGE_ARGB, 0, 0, 0, TITLE_BAR_HEIGHT);
        surface.DrawLine(TITLE_EDGE_ARGB, width - 1, 0, width - 1, TITLE_BAR_HEIGHT);
        surface.DrawLine(SEPARATOR_ARGB, tab.cx + 1, SEPARATOR_TOP - tab.cy, tab.cx + 1, SEPARATOR_BOTTOM - tab.cy);
    }
    HGDIOBJ oldFont = ::SelectObject(target, m_titleFont.m_hObject);
    ::SetTextColor(target, TITLE_TEXT_COLOR);
    ::SetBkMode(target, TRANSPARENT);
    RECT title = TITLE_TEXT_RECT;
    ::DrawTextW(target, m_strTitle.c_str(), static_cast<int>(m_strTitle.size()), &title, TITLE_TEXT_FORMAT);
    ::SelectObject(target, oldFont);
}

HBRUSH CCorvaneDlg::OnCtlColor(HDC dc, HWND control, UINT colourMessage) {
    HBRUSH brush = CDialog::OnCtlColor(dc, control, colourMessage);
    const BYTE page = TabPageOf(control);
    if (page == 0) return brush;
    if (page == m_nPage) {
        ::SetTextColor(dc, TAB_TEXT_SELECTED);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return m_brushFace;
    }
    ::SetTextColor(dc, TAB_TEXT_UNSELECTED);
    ::SetBkColor(dc, PANEL_BLUE);
    return m_brushBlue;
}
