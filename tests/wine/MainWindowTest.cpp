// The main window as the operator meets it: start-up state, the painted title
// bar and tabs, real mouse clicks on the tabs, the child pages and their first
// queries, the window's own chrome, the COM port list and the COM connection.
#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "core/PanelColors.h"
#include "pages/DialogKeyFilter.h"
#include "res/resource.h"
#include "tests/wine/DibCanvas.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/PanelFixture.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr COLORREF TITLE_BLUE = RGB(30, 144, 225);
constexpr UINT SC_DRAG_MOVE = 0xF012;
constexpr UINT IDM_ABOUTBOX = 16;
constexpr int TITLE_BAR_HEIGHT = 56;
// Time for the version report to come back after its query went out.
constexpr DWORD CHAIN_SETTLE_MS = 300;

const Bytes ROUTE_QUERY_A = Frame({0x02, 0x01, 0x01});

std::wstring RenderDirectory() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path);
    directory = directory.substr(0, directory.find_last_of(L"\\/") + 1) + L"renders";
    ::CreateDirectoryW(directory.c_str(), nullptr);
    return directory + L"\\";
}

// A real press and release of the left button at a point of the screen.
void MouseClickAt(POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

// Real key strokes, each key pressed and released, with Alt held around them
// when asked.
void KeyStrokes(std::initializer_list<WORD> keys, bool underAlt = false) {
    std::vector<INPUT> inputs;
    const auto add = [&inputs](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    if (underAlt) add(VK_MENU, 0);
    for (WORD key : keys) {
        add(key, 0);
        add(key, KEYEVENTF_KEYUP);
    }
    if (underAlt) add(VK_MENU, KEYEVENTF_KEYUP);
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

POINT CentreOnScreen(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

HWND VisibleAboutBox() {
    HWND about = ::FindWindowW(L"#32770", L"关于 Corvane");
    return about != nullptr && ::IsWindowVisible(about) ? about : nullptr;
}

std::vector<std::wstring> ComboItems(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = ::SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[32] = {};
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::wstring MenuItemText(HMENU menu, UINT command) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, command, text, 64, MF_BYCOMMAND);
    return text;
}

class MainWindowTest : public PanelFixture {
protected:
    bool Visible(int id) const { return ::IsWindowVisible(m_panel->GetDlgItem(id)) != FALSE; }

    std::vector<std::wstring> PortList() const { return ComboItems(m_panel->GetDlgItem(IDC_COM_PORT_LIST)); }

    // Where a window lies in the main window's client area.
    RECT PlaceOf(HWND window) const {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        m_panel->ScreenToClient(&rect);
        return rect;
    }
    RECT PlaceOf(int id) const { return PlaceOf(m_panel->GetDlgItem(id)); }

    bool AnyReceivedAfter(std::size_t count, const Bytes& frame) const {
        const auto frames = ReceivedFrames();
        return std::find(frames.begin() + static_cast<std::ptrdiff_t>(std::min(count, frames.size())), frames.end(),
                         frame) != frames.end();
    }

    void ShowOnTop() {
        ::SetWindowPos(m_panel->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(m_panel->m_hWnd);
        PumpFor(100);
    }
};

}  // namespace

TEST_F(MainWindowTest, StartsOnTheGeneralPageWithThePortListRefreshing) {
    EXPECT_EQ(m_panel->m_nPage, PAGE_GENERAL);
    EXPECT_TRUE(IsChecked(IDC_COM_MODE));
    EXPECT_EQ(Text(IDC_BAUD_RATE_LIST), L"115200");
    EXPECT_EQ(Text(IDC_EDID_MODE_LIST), L"Audio Auto");
    for (int id = IDC_LINK_IN1; id <= IDC_LINK_SPARE_11; ++id) EXPECT_EQ(Text(id), L"") << "status text " << id;
    EXPECT_EQ(Text(IDC_EDID_STATE), L"");
    EXPECT_EQ(Text(IDC_CONNECT_COM), L"Connect");
    EXPECT_FALSE(IsChecked(IDC_SOURCE_PORT_1) || IsChecked(IDC_AUTO_SWITCH) || IsChecked(IDC_ARC));
    EXPECT_EQ(PortList(), std::vector<std::wstring>{L"COM" + std::to_wstring(ComPort())});
    EXPECT_EQ(Text(IDC_COM_PORT_LIST), L"COM" + std::to_wstring(ComPort()));
    EXPECT_FALSE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_CONNECT_TCP))) << "COM mode: the TCP group is off";
    EXPECT_TRUE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_CONNECT_COM)));

    // No status poll before the General tab is clicked or a port connected:
    // it would show in the send log.
    PumpTimerPeriods(TIMER_STATUS_POLL, 2.5);
    EXPECT_EQ(Text(IDC_SEND_LOG), L"");

    // The refresh runs: the port list follows the ports the machine has.
    m_panel->fakePortNames = std::vector<std::wstring>{L"USB Serial (COM12)", L"Port (COM5)", L"Port (COM1)"};
    PumpTimerPeriods(TIMER_PORT_POLL, 3);
    EXPECT_EQ(PortList(), (std::vector<std::wstring>{L"COM1", L"COM5", L"COM12"}));
    EXPECT_EQ(Text(IDC_COM_PORT_LIST), L"COM5") << "the selected port stays selected";
}

TEST_F(MainWindowTest, WindowChromeKeysAndSystemMenu) {
    const LONG_PTR style = m_panel->GetStyle();
    EXPECT_EQ(style & WS_CAPTION, 0) << "the window paints its own title bar";
    EXPECT_NE(style & WS_MINIMIZEBOX, 0);
    HMENU systemMenu = ::GetSystemMenu(m_panel->m_hWnd, FALSE);
    EXPECT_EQ(MenuItemText(systemMenu, IDM_ABOUTBOX), L"关于 Corvane(&A)...");
    EXPECT_EQ(::GetMenuState(systemMenu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1)) << "no move command";

    for (WPARAM key : {VK_RETURN, VK_ESCAPE, VK_SPACE}) {
        MSG msg{m_panel->GetDlgItem(IDC_STATUS), WM_KEYDOWN, key, 0, 0, {}};
        EXPECT_TRUE(CWnd::WalkPreTranslateTree(m_panel->m_hWnd, &msg)) << "key " << key << " is swallowed";
    }
    MSG letter{m_panel->GetDlgItem(IDC_STATUS), WM_KEYDOWN, 'A', 0, 0, {}};
    EXPECT_FALSE(CWnd::WalkPreTranslateTree(m_panel->m_hWnd, &letter));

    // A press on a free spot asks the system to drag the window.
    const RECT freeSpot = PlaceOf(IDC_STATUS);
    m_panel->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(freeSpot.left - 4, freeSpot.top - 4));
    EXPECT_EQ(m_panel->moveCommands, std::vector<UINT>{SC_DRAG_MOVE});
    m_panel->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(freeSpot.left - 4, freeSpot.top - 4));

    Press(IDC_MINIMIZE);
    PumpUntil([&] { return ::IsIconic(m_panel->m_hWnd) != FALSE; }, ARRIVAL_TIMEOUT_MS);
    EXPECT_TRUE(::IsIconic(m_panel->m_hWnd));
    m_panel->ShowWindow(SW_RESTORE);

    Press(IDC_CLOSE);
    MSG quit{};
    EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "Close ends the program";
}

TEST_F(MainWindowTest, RenderShowsTitleBarTabsAndStatusFrame) {
    ShowOnTop();
    auto canvas = DibCanvas::FromWindowClient(m_panel->m_hWnd);
    EXPECT_TRUE(canvas->SaveBmp(RenderDirectory() + L"main-window.bmp"));

    const RECT general = PlaceOf(IDC_TAB_GENERAL);
    const RECT upgrade = PlaceOf(IDC_TAB_UPGRADE);
    EXPECT_EQ(general.bottom, TITLE_BAR_HEIGHT) << "the tabs stand on the title bar's lower edge";
    EXPECT_EQ(upgrade.left, general.right + 1);

    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(canvas->Pixel(canvas->Width() - 80, TITLE_BAR_HEIGHT - 4), TITLE_BLUE) << "title bar";
    EXPECT_EQ(canvas->Pixel(general.left + 1, general.top + 1), face) << "the selected tab";
    EXPECT_EQ(canvas->Pixel(upgrade.right - 2, upgrade.top + 1), TITLE_BLUE) << "an unselected tab";
    EXPECT_EQ(canvas->Pixel(canvas->Width() / 2, TITLE_BAR_HEIGHT + 2), face) << "below the title bar";

    const RECT status = PlaceOf(IDC_LINK_IN1);
    const int frameX = status.left - 2;
    EXPECT_NE(canvas->Pixel(frameX, status.top + 20), face) << "the status frame";
    EXPECT_EQ(canvas->Pixel(frameX - 3, status.top + 20), face);
}

TEST_F(MainWindowTest, RealClicksOnTheTabsSwitchPageColoursAndPoll) {
    Connect();
    ShowOnTop();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);

    std::size_t before = ReceivedFrames().size();
    MouseClickAt(CentreOnScreen(m_panel->GetDlgItem(IDC_TAB_UPGRADE)));
    ASSERT_TRUE(PumpUntil([&] { return m_panel->m_nPage == PAGE_UPGRADE; }, ARRIVAL_TIMEOUT_MS))
        << "the tab took the click";
    const Bytes typeQuery = Frame({0x01, 0x01, 0, 0, 0, 0, 0, 0, 0xCC});
    EXPECT_TRUE(PumpUntil([&] { return AnyReceivedAfter(before, typeQuery); }, ARRIVAL_TIMEOUT_MS))
        << "device type query";
    // The page's own chain (size, then version) follows the type's answer.
    const Bytes versionQuery = Frame({0x01, 0x03, 0, 0, 0, 0, 0, 0, 0xCC});
    EXPECT_TRUE(PumpUntil([&] { return AnyReceivedAfter(before, versionQuery); }, ARRIVAL_TIMEOUT_MS));
    PumpFor(CHAIN_SETTLE_MS);
    EXPECT_TRUE(g_linkIdle) << "the device type query waits for nothing";
    EXPECT_TRUE(g_fwDlg.IsWindowVisible());
    const RECT page = PlaceOf(g_fwDlg.m_hWnd);
    EXPECT_EQ(page.left, 1);
    EXPECT_EQ(page.top, 70);
    EXPECT_FALSE(Visible(IDC_CONNECT_COM));
    EXPECT_FALSE(Visible(IDC_TCP_GROUP));
    auto canvas = DibCanvas::FromWindowClient(m_panel->m_hWnd);
    const RECT upgrade = PlaceOf(IDC_TAB_UPGRADE);
    EXPECT_EQ(canvas->Pixel(upgrade.left + 1, upgrade.top + 1), face) << "Upgrade is now the selected tab";

    before = ReceivedFrames().size();
    PumpTimerPeriods(TIMER_STATUS_POLL, 2.5);
    EXPECT_EQ(ReceivedFrames().size(), before) << "no poll away from the General page";

    MouseClickAt(CentreOnScreen(m_panel->GetDlgItem(IDC_TAB_GENERAL)));
    ASSERT_TRUE(PumpUntil([&] { return m_panel->m_nPage == PAGE_GENERAL; }, ARRIVAL_TIMEOUT_MS));
    EXPECT_FALSE(g_fwDlg.IsWindowVisible());
    EXPECT_TRUE(Visible(IDC_CONNECT_COM));
    EXPECT_TRUE(PumpUntil([&] { return AnyReceivedAfter(before, ROUTE_QUERY_A); }, ARRIVAL_TIMEOUT_MS))
        << "the poll runs again";

    // A press on a tab reaching the window itself takes the same road.
    m_panel->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(upgrade.left + 2, upgrade.top + 2));
    EXPECT_EQ(m_panel->m_nPage, PAGE_UPGRADE);
    EXPECT_TRUE(m_panel->moveCommands.empty());
}

// The window runs modally here as in the program, so the keys pass its modal
// loop and the dialog manager. After real clicks on the Upgrade tab and back
// on General, the operator takes the one way to the About box that a window
// without a caption leaves: Alt+Space, End, Enter; then the About command is
// posted to the window.
TEST_F(MainWindowTest, AltSpaceEndEnterOpensTheAboutBoxAfterRealTabClicks) {
    m_panel->DestroyWindow();
    g_lastComPortCount = 0;  // so the new window lists the port again
    const auto tabAt = [this](int id) { return CentreOnScreen(m_panel->GetDlgItem(id)); };
    const auto painted = [this] {
        return m_panel->IsWindowVisible() && PlaceOf(IDC_TAB_GENERAL).bottom == TITLE_BAR_HEIGHT;
    };
    bool focusShownAfterTabs = false;
    int aboutBoxes = 0;
    m_operator.When(painted, [&] {
        m_panel->SendDlgItemMessage(IDC_CONNECT_COM, BM_CLICK);
        MouseClickAt(tabAt(IDC_TAB_UPGRADE));
    });
    m_operator.When([this] { return m_panel->m_nPage == PAGE_UPGRADE; },
                    [&] { MouseClickAt(tabAt(IDC_TAB_GENERAL)); });
    m_operator.When([this] { return m_panel->m_nPage == PAGE_GENERAL && g_fwDlg.m_hWnd != nullptr; }, [&] {
        focusShownAfterTabs = ::IsWindowVisible(::GetFocus()) != FALSE;
        KeyStrokes({VK_SPACE}, true);
    });
    m_operator.When([] { return ::FindWindowW(L"#32768", nullptr) != nullptr; },
                    [] { KeyStrokes({VK_END, VK_RETURN}); });
    m_operator.When([] { return VisibleAboutBox() != nullptr; }, [&] {
        ++aboutBoxes;
        ::PostMessageW(::GetDlgItem(VisibleAboutBox(), IDOK), BM_CLICK, 0, 0);
        m_panel->PostMessage(WM_SYSCOMMAND, IDM_ABOUTBOX);
    });
    m_operator.When([] { return VisibleAboutBox() != nullptr; }, [&] {
        ++aboutBoxes;
        ::PostMessageW(::GetDlgItem(VisibleAboutBox(), IDOK), BM_CLICK, 0, 0);
        ::PostMessageW(m_panel->GetDlgItem(IDC_CONNECT_COM), BM_CLICK, 0, 0);
        m_panel->PostMessage(WM_COMMAND, IDCANCEL);
    });
    const ULONGLONG deadline = ::GetTickCount64() + ARRIVAL_TIMEOUT_MS;
    m_operator.When([deadline] { return ::GetTickCount64() > deadline; }, [this] { m_panel->EndDialog(IDABORT); });
    INT_PTR result = 0;
    {
        Watchdog watchdog("the main window's run with the About box reached by keys", FLOW_LIMIT_MS);
        result = m_panel->DoModal();
    }
    EXPECT_EQ(result, IDCANCEL) << "the operator's steps all ran";
    EXPECT_TRUE(m_operator.Messages().empty()) << "connected: no box came between";
    EXPECT_TRUE(focusShownAfterTabs) << "the keys go to a control the operator sees";
    EXPECT_EQ(aboutBoxes, 2) << "by Alt+Space, End, Enter, then by the posted command";
}

TEST_F(MainWindowTest, EdidAndMatrixPagesAreMadeOnceAndTheirFirstQueryTimesOut) {
    Connect();
    struct PageCase {
        int tab;
        BYTE page;
        CDialog* dialog;
        Bytes query;
    };
    const PageCase cases[] = {
        {IDC_TAB_EDID, PAGE_EDID, &g_edidDlg, Frame({0x01, 0x0C, 0x01})},
        {IDC_TAB_MATRIX, PAGE_MATRIX, &g_matrixDlg, ROUTE_QUERY_A},
    };
    for (const PageCase& pageCase : cases) {
        HWND created = nullptr;
        for (int round = 0; round < 2; ++round) {
            m_operator.Forget();
            ASSERT_EQ(Control("drop 1"), "ok");
            ClickStatic(pageCase.tab);
            EXPECT_EQ(m_panel->m_nPage, pageCase.page);
            EXPECT_TRUE(PumpUntilLastReceived(pageCase.query));
            if (round == 0) created = pageCase.dialog->m_hWnd;
            EXPECT_NE(created, nullptr);
            EXPECT_EQ(pageCase.dialog->m_hWnd, created) << "the page is made once";
            EXPECT_TRUE(pageCase.dialog->IsWindowVisible());

            ClickStatic(IDC_TAB_GENERAL);
            EXPECT_EQ(m_panel->m_nPage, pageCase.page) << "no tab change while the query waits";

            ASSERT_TRUE(PumpUntil([&] { return !m_operator.Messages().empty() && g_linkIdle; }, ARRIVAL_TIMEOUT_MS));
            EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Time out!"});
        }
    }
}

TEST_F(MainWindowTest, PortListSurvivesEnumerationFailuresAndKeepsToTheTables) {
    m_panel->failEnumeration = true;
    PumpTimerPeriods(TIMER_PORT_POLL, 3);
    EXPECT_EQ(PortList(), std::vector<std::wstring>{L"COM" + std::to_wstring(ComPort())}) << "the list stays";

    std::vector<std::wstring> many;
    for (int port = 300; port >= 1; --port) many.push_back(L"Port (COM" + std::to_wstring(port) + L")");
    m_panel->fakePortNames = many;
    m_panel->failEnumeration = false;
    PumpTimerPeriods(TIMER_PORT_POLL, 3);
    const std::vector<std::wstring> listed = PortList();
    ASSERT_EQ(listed.size(), 255u) << "the timer ran on; ports above 255 are left out";
    EXPECT_EQ(listed.front(), L"COM1");
    EXPECT_EQ(listed.back(), L"COM255");
    EXPECT_EQ(std::count(listed.begin(), listed.end(), L"COM44"), 1) << "COM300 does not come back as COM44";
}

TEST_F(MainWindowTest, ConnectPollsTheDeviceAndDisconnectOrAClosedLineRestoresTheRefresh) {
    for (const char* state : {"set route 1 3", "set edid 1 2", "set autoswitch on", "set arc 1 on"})
        ASSERT_EQ(Control(state), "ok");
    Select(IDC_BAUD_RATE_LIST, 1);
    EXPECT_EQ(Text(IDC_BAUD_RATE_LIST), L"19200");
    Connect();
    EXPECT_EQ(ReceivedFrames().front(), Bytes({0xA5, 0x5B, 0x02, 0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0xFC}));
    EXPECT_EQ(m_panel->m_serial.m_deviceControl.BaudRate, 19200u);
    EXPECT_FALSE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_COM_PORT_LIST)));
    EXPECT_FALSE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_BAUD_RATE_LIST)));
    EXPECT_TRUE(IsChecked(IDC_SOURCE_PORT_3));
    EXPECT_FALSE(IsChecked(IDC_SOURCE_PORT_1));
    EXPECT_EQ(Text(IDC_EDID_STATE), L"Stereo Audio 2.0");
    EXPECT_TRUE(IsChecked(IDC_AUTO_SWITCH));
    EXPECT_TRUE(IsChecked(IDC_ARC));

    Press(IDC_CONNECT_COM);
    EXPECT_EQ(Text(IDC_CONNECT_COM), L"Connect");
    EXPECT_TRUE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_COM_PORT_LIST)));
    EXPECT_TRUE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_BAUD_RATE_LIST)));
    m_panel->fakePortNames = std::vector<std::wstring>{L"Port (COM" + std::to_wstring(ComPort()) + L")", L"Port (COM9)"};
    EXPECT_TRUE(PumpUntil([&] { return PortList().size() == 2; }, ARRIVAL_TIMEOUT_MS)) << "the refresh runs again";

    Connect();
    ASSERT_EQ(Control("close"), "ok");
    EXPECT_TRUE(PumpUntil([&] { return Text(IDC_CONNECT_COM) == L"Connect"; }, ARRIVAL_TIMEOUT_MS))
        << "a closed line ends the connection";
    EXPECT_FALSE(g_app.m_bComPortOpen);
    EXPECT_TRUE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_COM_PORT_LIST)));
    EXPECT_TRUE(m_operator.Messages().empty()) << "the failure shows no message";
}

// "Open COM failed!", with the button and the lists as they were and the
// refresh running on: for a port whose worker does not start (the port is
// closed again), a port another program holds, and no port at all (the list
// keeps only ports that open, so the held one leaves it, and comes back once
// free).
TEST_F(MainWindowTest, APortThatCannotBeServedFailsToOpen) {
    const auto pressFails = [&](std::size_t failures) {
        Press(IDC_CONNECT_COM);
        EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>(failures, L"Open COM failed!"));
        EXPECT_EQ(Text(IDC_CONNECT_COM), L"Connect");
        EXPECT_FALSE(g_app.m_bComPortOpen);
        EXPECT_TRUE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_COM_PORT_LIST)));
        EXPECT_TRUE(::IsWindowEnabled(m_panel->GetDlgItem(IDC_BAUD_RATE_LIST)));
    };
    m_panel->failWorkerStart = true;
    pressFails(1);
    EXPECT_EQ(m_panel->m_serial.m_hPort, nullptr) << "the port is closed again";
    m_panel->failWorkerStart = false;

    m_panel->fakePortNames = std::vector<std::wstring>{L"Port (COM" + std::to_wstring(ComPort()) + L")"};
    ASSERT_EQ(Control("busy on"), "ok");
    pressFails(2);
    m_panel->fakePortNames.reset();
    ASSERT_TRUE(PumpUntil([&] { return PortList().empty(); }, ARRIVAL_TIMEOUT_MS)) << "the held port left the list";
    pressFails(3);
    ASSERT_EQ(Control("busy off"), "ok");
    ASSERT_TRUE(PumpUntil([&] { return PortList().size() == 1; }, ARRIVAL_TIMEOUT_MS));
    Connect();
}

// The resend and time-out pairs of reboot, reset and power on are timed as
// they run, in GeneralPageTest.
TEST(MainWindowTimers, EachTimerHasItsRealPeriod) {
    const std::pair<UINT_PTR, UINT> periods[] = {
        {1, 600},     {1000, 7000}, {1005, 900},  {1006, 900},  {1009, 15000}, {2000, 3000}, {2001, 3000},
        {2002, 3000}, {2003, 3000}, {2004, 3000}, {2005, 3000}, {2006, 3000},  {2007, 3000}, {2100, 3000},
        {2101, 3000}, {7021, 2500}, {7022, 500},  {7025, 18000}, {7026, 16000}, {7030, 3000}, {7031, 16000},
        {7034, 5000},
    };
    for (const auto& [id, period] : periods) {
        EXPECT_EQ(RealPeriodOf(id), period) << "timer " << id;
        EXPECT_EQ(PeriodOf(id), period) << "timer " << id << " armed with its real period";
    }
}
