#include "tests/wine/PanelFixture.h"

#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "framework/CWinApp.h"
#include "res/resource.h"
#include "serial/CPortListError.h"
#include "tests/wine/MessagePumping.h"

#include <algorithm>

namespace {

constexpr UINT SYSTEM_COMMAND_MASK = 0xFFF0;
// For the answers to the poll chain's queries to be handled.
constexpr DWORD CHAIN_ANSWERS_MS = 100;

}  // namespace

BEGIN_MESSAGE_MAP(TestPanel, CCorvaneDlg)
    ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

void TestPanel::ListComPorts(std::vector<SSerInfo>& ports) {
    if (failEnumeration) throw CPortListError(L"SetupDiGetClassDevs failed. (err=5)");
    if (!fakePortNames) {
        CCorvaneDlg::ListComPorts(ports);
        return;
    }
    ports.clear();
    for (const std::wstring& name : *fakePortNames) ports.push_back(SSerInfo{L"", L"", name, false, name});
}

bool TestPanel::StartSerialWorker() { return !failWorkerStart && CCorvaneDlg::StartSerialWorker(); }

void TestPanel::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & SYSTEM_COMMAND_MASK) == SC_MOVE) {
        moveCommands.push_back(id);
        return;
    }
    CCorvaneDlg::OnSysCommand(id, lParam);
}

void PanelFixture::SetUp() {
    SimulatorFixture::SetUp();
    if (HasFatalFailure()) return;
    SetTimerScale(TIMER_SCALE);
    g_linkIdle = TRUE;
    g_messageDlgShown = FALSE;
    g_statusDlgShown = FALSE;
    g_noLongerRemind = FALSE;
    g_app.m_bComPortOpen = FALSE;
    // The port tables are the process's: each test's window starts from none.
    g_lastComPortCount = 0;
    m_panel = new TestPanel();
    AfxGetApp()->m_pMainWnd = m_panel;
    ASSERT_TRUE(m_panel->Create(IDD_MAIN)) << "the main window's template did not load";
    m_operator.Start();
}

void PanelFixture::TearDown() {
    if (m_panel != nullptr) {
        if (g_app.m_bComPortOpen) Press(IDC_CONNECT_COM);
        m_panel->DestroyWindow();
        delete m_panel;
        m_panel = nullptr;
    }
    AfxGetApp()->m_pMainWnd = nullptr;
    SetTimerScale(1.0);
    g_linkIdle = TRUE;
    g_controlMode = 0;
    g_app.m_bComPortOpen = FALSE;
    g_noLongerRemind = FALSE;
    PumpPending();
    m_operator.Stop();
    SimulatorFixture::TearDown();
}

void PanelFixture::Press(int id, int answer) {
    m_operator.AnswerBoxesWith(answer);
    Watchdog watchdog("a press on the main window", FLOW_LIMIT_MS);
    ::SendMessageW(m_panel->GetDlgItem(id), BM_CLICK, 0, 0);
    m_operator.AnswerBoxesWith(IDOK);
}

void PanelFixture::Check(int id, bool checked) {
    m_panel->SendDlgItemMessage(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool PanelFixture::IsChecked(int id) const { return m_panel->SendDlgItemMessage(id, BM_GETCHECK) == BST_CHECKED; }

std::wstring PanelFixture::Text(int id) const { return m_panel->GetDlgItemText(id); }

void PanelFixture::Select(int comboId, int item) {
    m_panel->SendDlgItemMessage(comboId, CB_SETCURSEL, static_cast<WPARAM>(item));
    m_panel->SendMessage(WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(m_panel->GetDlgItem(comboId)));
}

void PanelFixture::ClickStatic(int id) {
    Watchdog watchdog("a tab click", FLOW_LIMIT_MS);
    m_panel->SendMessage(WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(m_panel->GetDlgItem(id)));
}

void PanelFixture::Connect() {
    const std::size_t before = ReceivedFrames().size();
    Press(IDC_CONNECT_COM);
    ASSERT_EQ(Text(IDC_CONNECT_COM), L"Disconnect") << "COM" << ComPort() << " did not open";
    // The route query and the three queries of the poll chain it starts.
    constexpr std::size_t POLL_CHAIN_QUERIES = 4;
    ASSERT_TRUE(PumpUntilReceived(before + POLL_CHAIN_QUERIES));
    PumpFor(CHAIN_ANSWERS_MS);
}

bool PanelFixture::PumpUntilReceived(std::size_t count, DWORD timeoutMs) {
    return PumpUntil([&] { return ReceivedFrames().size() >= count; }, timeoutMs);
}

Bytes PanelFixture::LastReceived() const {
    const auto frames = ReceivedFrames();
    return frames.empty() ? Bytes() : frames.back();
}

bool PanelFixture::PumpUntilLastReceived(const Bytes& frame) {
    return PumpUntil([&] { return LastReceived() == frame; }, ARRIVAL_TIMEOUT_MS);
}

void PanelFixture::PumpTimerPeriods(UINT_PTR timer, double periods) {
    PumpFor(static_cast<DWORD>(PeriodOf(timer) * periods));
}
