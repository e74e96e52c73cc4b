// The main window's tabs and pages: which page is shown, the child pages made
// on first use, and the first query each page sends when it is shown.
#include "app/CCorvaneDlg.h"

#include "app/BeginRequest.h"
#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "core/CommandFrameBytes.h"
#include "core/DeviceFrame.h"
#include "pages/PopupChrome.h"
#include "res/resource.h"

namespace {

using namespace CommandFrameBytes;

struct Tab {
    int id;
    BYTE page;
};
// In the order a press is tested against them.
constexpr Tab TABS[] = {
    {IDC_TAB_GENERAL, PAGE_GENERAL},
    {IDC_TAB_EDID, PAGE_EDID},
    {IDC_TAB_MATRIX, PAGE_MATRIX},
    {IDC_TAB_UPGRADE, PAGE_UPGRADE},
};

struct ControlRange {
    int first;
    int last;
};
// The General page's 58 controls, shown and hidden together.
constexpr ControlRange GENERAL_CONTROLS[] = {
    {IDC_MODE_GROUP, IDC_LINK_SPARE_11},
    {IDC_CONNECT_TCP, IDC_CONFIG},
    {IDC_EDID_GROUP, IDC_ARC_GROUP},
    {IDC_SWITCHER_IP_LABEL, IDC_TCP_GROUP},
    {IDC_FACTORY_RESET_OFF_PAGE, IDC_SOURCE_PORT_1},
    {IDC_SOURCE_PORT_2, IDC_SOURCE_PORT_4},
    {IDC_FACTORY_RESET_GROUP, IDC_REBOOT},
    {IDC_BAUD_RATE_LIST, IDC_EDID_MODE_LABEL},
    {IDC_SET_EDID, IDC_EDID_STATE},
};

// Child pages sit below the title bar; the Upgrade page a little lower.
constexpr int PAGE_TOP = 56;
constexpr int UPGRADE_PAGE_TOP = 70;
constexpr int PAGE_LEFT = 1;

constexpr BYTE FIRST_PORT = 0x01;
constexpr BYTE DEVICE_TYPE_MARK = 0xCC;
// Places of b4, b6 and b10 among the eight parameters (b4..b11).
constexpr int B4_PARAMETER = 0;
constexpr int B6_PARAMETER = 2;
constexpr int B10_PARAMETER = 6;

}  // namespace

BYTE CCorvaneDlg::TabPageOf(HWND control) const {
    for (const Tab& tab : TABS) {
        if (control == GetDlgItem(tab.id)) return tab.page;
    }
    return 0;
}

void CCorvaneDlg::OnLButtonDown(UINT, POINT point) {
    for (const Tab& tab : TABS) {
        RECT rect{};
        ::GetWindowRect(GetDlgItem(tab.id), &rect);
        ScreenToClient(&rect);
        if (::PtInRect(&rect, point)) {
            SelectTab(tab.page);
            return;
        }
    }
    DragPopup(*this);
}

void CCorvaneDlg::OnClickedTabGeneral() { SelectTab(PAGE_GENERAL); }

void CCorvaneDlg::OnClickedTabEdid() { SelectTab(PAGE_EDID); }

void CCorvaneDlg::OnClickedTabMatrix() { SelectTab(PAGE_MATRIX); }

void CCorvaneDlg::OnClickedTabUpgrade() { SelectTab(PAGE_UPGRADE); }

// Pages change only while no request waits for its answer.
void CCorvaneDlg::SelectTab(BYTE page) {
    if (!g_linkIdle) return;
    m_nPage = page;
    for (const Tab& tab : TABS) ::InvalidateRect(GetDlgItem(tab.id), nullptr, TRUE);
    if (page == PAGE_GENERAL)
        ShowGeneralPage();
    else
        ShowPage(page);
}

void CCorvaneDlg::ShowPage(BYTE page) {
    switch (page) {
    case PAGE_GENERAL:
        ShowGeneralPage();
        break;
    case PAGE_EDID:
    case PAGE_MATRIX: {
        CDialog& child = *ChildPage(page);
        CreateChildPage(child, page == PAGE_EDID ? IDD_EDID_PAGE : IDD_MATRIX_PAGE);
        ShowGeneralPage();
        PlaceChildPage(child, PAGE_TOP);
        if (!BeginRequest()) break;
        if (page == PAGE_EDID)
            SendCommand(GROUP_QUERY, ITEM_EDID_MODE, FIRST_PORT);
        else
            SendCommand(GROUP_ROUTING, ITEM_ROUTE, FIRST_PORT);
        ArmTimer(TIMER_REPLY_TIMEOUT);
        break;
    }
    case PAGE_UPGRADE:
        CreateChildPage(g_fwDlg, IDD_UPGRADE_PAGE);
        ShowGeneralPage();
        PlaceChildPage(g_fwDlg, UPGRADE_PAGE_TOP);
        if (!BeginRequest()) break;
        g_linkIdle = TRUE;
        SendCommand(GROUP_QUERY, ITEM_DEVICE_TYPE, 0, 0, DEVICE_TYPE_MARK);
        break;
    default:
        break;
    }
}

void CCorvaneDlg::ShowGeneralPage() {
    const bool general = m_nPage == PAGE_GENERAL;
    if (general)
        ArmTimer(TIMER_STATUS_POLL);
    else
        KillTimer(TIMER_STATUS_POLL);
    for (const ControlRange& range : GENERAL_CONTROLS) {
        for (int id = range.first; id <= range.last; ++id) ::ShowWindow(GetDlgItem(id), general ? SW_SHOW : SW_HIDE);
    }
    for (BYTE page : {PAGE_EDID, PAGE_MATRIX, PAGE_UPGRADE}) {
        CDialog* child = ChildPage(page);
        if (child->m_hWnd != nullptr) child->ShowWindow(page == m_nPage ? SW_SHOW : SW_HIDE);
    }
    KeepFocusOnShownPage();
}

// A page takes the focus when it is made, and Wine leaves the focus in a page
// that is hidden around it. The operator's keys would then go to a control no
// one sees, and Wine's dialog manager, looking for a mnemonic for Alt+Space,
// would search the shown controls for it without end. The focus moves to the
// first control of the page shown.
void CCorvaneDlg::KeepFocusOnShownPage() {
    HWND focus = ::GetFocus();
    if (focus == nullptr || !::IsChild(m_hWnd, focus) || ::IsWindowVisible(focus)) return;
    CDialog* page = ChildPage(m_nPage);
    HWND shown = page != nullptr && page->m_hWnd != nullptr ? page->m_hWnd : m_hWnd;
    HWND first = ::GetNextDlgTabItem(shown, nullptr, FALSE);
    ::SetFocus(first != nullptr ? first : shown);
}

CDialog* CCorvaneDlg::ChildPage(BYTE page) const {
    switch (page) {
    case PAGE_EDID:
        return &g_edidDlg;
    case PAGE_MATRIX:
        return &g_matrixDlg;
    case PAGE_UPGRADE:
        return &g_fwDlg;
    default:
        return nullptr;
    }
}

void CCorvaneDlg::CreateChildPage(CDialog& page, UINT templateId) {
    if (page.m_hWnd == nullptr) page.Create(templateId, this);
}

void CCorvaneDlg::PlaceChildPage(CDialog& page, int top) {
    RECT client{};
    GetClientRect(&client);
    page.SetWindowPos(nullptr, client.left + PAGE_LEFT, client.top + top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// Every command goes out of g_commandFrame, cleared behind the sync pair;
// the parameters it has stand in b4, b6 and b10.
void CCorvaneDlg::SendCommand(BYTE group, BYTE item, BYTE b4, BYTE b6, BYTE b10) {
    BYTE parameters[DeviceFrame::COMMAND_PARAMETER_COUNT] = {};
    parameters[B4_PARAMETER] = b4;
    parameters[B6_PARAMETER] = b6;
    parameters[B10_PARAMETER] = b10;
    DeviceFrame::BuildCommandFrame(g_commandFrame, group, item, parameters, DeviceFrame::COMMAND_PARAMETER_COUNT);
    SendFrame(g_commandFrame, static_cast<int>(DeviceFrame::COMMAND_FRAME_LENGTH));
}
