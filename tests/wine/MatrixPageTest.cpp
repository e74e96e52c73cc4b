// The Matrix page driven like an operator against the simulated switcher on
// the COM port: the query chains on showing the page, routing by the IN,
// previous and next buttons with their resend and time-out, and the ARC rows.
#include "app/CCorvaneDlg.h"
#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "core/DeviceFrame.h"
#include "core/MatrixReply.h"
#include "core/RequestGate.h"
#include "framework/CWinApp.h"
#include "res/resource.h"
#include "tests/wine/DibCanvas.h"
#include "tests/wine/MainWindowSuite.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/PopupOperator.h"
#include "tests/wine/TestFrames.h"
#include "tests/wine/TestTimings.h"

#include <array>
#include <string>
#include <vector>

namespace {

using namespace MatrixBytes;

// The page's waits shortened tenfold: 300 ms per routing wait, 700 ms per
// chain reply.
constexpr double SHORT_PERIODS = 0.1;
constexpr DWORD SHORT_REPLY_WAIT_MS = 700;
constexpr double ROUTE_WAIT_SECONDS = 3.0;
constexpr double WAIT_TOLERANCE_SECONDS = 0.8;
constexpr int PAGE_MARGIN = 8;
constexpr unsigned FIRST_ROUTE_TIMER = 6000;
constexpr unsigned LAST_ROUTE_TIMER = 6047;

struct OutputIds {
    int source;
    int inputs[4];
    int arcOn;
    int arcOff;
};

const OutputIds OUTPUT_IDS[] = {
    {IDC_MATRIX_A_SOURCE, {IDC_MATRIX_A_IN1, IDC_MATRIX_A_IN2, IDC_MATRIX_A_IN3, IDC_MATRIX_A_IN4},
     IDC_MATRIX_A_ARC_ON, IDC_MATRIX_A_ARC_OFF},
    {IDC_MATRIX_B_SOURCE, {IDC_MATRIX_B_IN1, IDC_MATRIX_B_IN2, IDC_MATRIX_B_IN3, IDC_MATRIX_B_IN4},
     IDC_MATRIX_B_ARC_ON, IDC_MATRIX_B_ARC_OFF},
    {IDC_MATRIX_C_SOURCE, {IDC_MATRIX_C_IN1, IDC_MATRIX_C_IN2, IDC_MATRIX_C_IN3, IDC_MATRIX_C_IN4},
     IDC_MATRIX_C_ARC_ON, IDC_MATRIX_C_ARC_OFF},
    {IDC_MATRIX_D_SOURCE, {IDC_MATRIX_D_IN1, IDC_MATRIX_D_IN2, IDC_MATRIX_D_IN3, IDC_MATRIX_D_IN4},
     IDC_MATRIX_D_ARC_ON, IDC_MATRIX_D_ARC_OFF},
};

const int INPUT_BITMAPS[] = {IDB_INPUT_1, IDB_INPUT_2, IDB_INPUT_3, IDB_INPUT_4};

Bytes SetRoute(std::uint8_t input, std::uint8_t output) {
    return Frame({GROUP_ROUTING, ITEM_SET_ROUTE, input, 0x00, output});
}
Bytes QueryRoute(std::uint8_t output) { return Frame({GROUP_ROUTING, ITEM_ROUTE, output}); }
Bytes QueryArc(std::uint8_t output) { return Frame({GROUP_ARC, ITEM_ARC, 0x00, 0x00, output}); }

std::vector<DWORD> PixelsOf(HBITMAP bitmap) {
    BITMAP info{};
    if (bitmap == nullptr || ::GetObjectW(bitmap, sizeof info, &info) == 0) return {};
    BITMAPINFO format = TopDownLayout32(info.bmWidth, info.bmHeight);
    std::vector<DWORD> pixels(static_cast<std::size_t>(info.bmWidth) * static_cast<std::size_t>(info.bmHeight));
    const HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &format, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// The suite's main window is the page's parent; the page is made anew for
// each test, on the COM port the simulator sits on.
class MatrixPageTest : public MainWindowSuite<CCorvaneDlg> {
protected:
    void SetUp() override {
        MainWindowSuite::SetUp();
        if (HasFatalFailure()) return;
        g_linkIdle = TRUE;
        g_messageDlgShown = FALSE;
        SetTimerScale(SHORT_PERIODS);
        g_matrixDlg.m_nCurrentInput = {1, 1, 0, 0};
        ASSERT_TRUE(g_matrixDlg.Create(IDD_MATRIX_PAGE, s_window));
        g_matrixDlg.ShowWindow(SW_SHOW);
        s_window->m_nPage = PAGE_MATRIX;
        ConnectComPort();
        PumpFor(SETTLE_MS);
        s_window->KillTimer(TIMER_STATUS_POLL);
        m_operator.Start();
    }

    void TearDown() override {
        EXPECT_TRUE(WaitForIdleLink()) << "a request was left open";
        m_operator.Stop();
        if (s_window != nullptr) s_window->KillTimer(TIMER_REPLY_TIMEOUT);
        MainWindowSuite::TearDown();
        if (g_matrixDlg.m_hWnd != nullptr) g_matrixDlg.DestroyWindow();
        SetTimerScale(1.0);
    }

    // The Matrix tab lies outside the main window, out of the operator's
    // reach: the tab's handler is called as a click on it would.
    static void ShowMatrixPage() {
        s_window->m_nPage = PAGE_MATRIX;
        s_window->ShowPage(PAGE_MATRIX);
    }

    void Setting(const std::string& command) { ASSERT_EQ(Control(command), "ok") << command; }
    // The device sends b2..b11 as a frame of its own accord.
    void DeviceReports(const std::string& body) { ASSERT_EQ(Control("frame " + body), "ok") << body; }

    static void Click(int id) { g_matrixDlg.SendDlgItemMessage(id, BM_CLICK); }
    static bool Checked(int id) { return g_matrixDlg.SendDlgItemMessage(id, BM_GETCHECK) == BST_CHECKED; }
    static bool Enabled(int id) { return ::IsWindowEnabled(g_matrixDlg.GetDlgItem(id)) != FALSE; }

    bool WaitForBoxes(std::size_t count) {
        return PumpUntil([&] { return m_operator.Messages().size() >= count && g_linkIdle == TRUE; },
                         ARRIVAL_TIMEOUT_MS);
    }

    // The input whose IN button of output 1..4 is checked: 0 for none, -1
    // for more than one.
    static int CheckedInput(int output) {
        int checked = 0;
        for (int input = 1; input <= 4; ++input) {
            if (!Checked(OUTPUT_IDS[output - 1].inputs[input - 1])) continue;
            checked = checked == 0 ? input : -1;
        }
        return checked;
    }

    // The output's picture is the bitmap of `input`.
    static bool PictureShows(int output, int input) {
        const auto shown = reinterpret_cast<HBITMAP>(
            g_matrixDlg.SendDlgItemMessage(OUTPUT_IDS[output - 1].source, STM_GETIMAGE, IMAGE_BITMAP));
        const auto expected = static_cast<HBITMAP>(::LoadImageW(
            AfxGetInstanceHandle(), MAKEINTRESOURCEW(INPUT_BITMAPS[input - 1]), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
        const bool same = !PixelsOf(expected).empty() && PixelsOf(shown) == PixelsOf(expected);
        ::DeleteObject(expected);
        return same;
    }

    // Output 1..4 shows `input` in its buttons, its picture and its stored input.
    static void ExpectShows(int output, int input) {
        EXPECT_EQ(CheckedInput(output), input) << "output " << output;
        EXPECT_TRUE(PictureShows(output, input)) << "output " << output;
        EXPECT_EQ(g_matrixDlg.m_nCurrentInput[static_cast<std::size_t>(output - 1)], input) << "output " << output;
    }

    static void ExpectArc(int output, bool on) {
        EXPECT_EQ(Checked(OUTPUT_IDS[output - 1].arcOn), on) << "output " << output;
        EXPECT_EQ(Checked(OUTPUT_IDS[output - 1].arcOff), !on) << "output " << output;
    }

    // The routing timers that run on the page, killed: killing is the only
    // way to see a timer.
    static std::vector<unsigned> KillRouteTimers() {
        std::vector<unsigned> armed;
        for (unsigned id = FIRST_ROUTE_TIMER; id <= LAST_ROUTE_TIMER; ++id) {
            if (g_matrixDlg.KillTimer(id)) armed.push_back(id);
        }
        return armed;
    }

    PopupOperator m_operator;
};

}  // namespace

TEST_F(MatrixPageTest, ChainsOnShowingThePageFillItFromTheDevice) {
    for (int output = 1; output <= 4; ++output) {
        EXPECT_EQ(CheckedInput(output), 0);
        EXPECT_TRUE(PictureShows(output, 1));
        EXPECT_FALSE(Checked(OUTPUT_IDS[output - 1].arcOn));
        EXPECT_FALSE(Checked(OUTPUT_IDS[output - 1].arcOff));
    }
    for (const CIconButton* buttons : {g_matrixDlg.m_btnPrev.data(), g_matrixDlg.m_btnNext.data()}) {
        for (int output = 0; output < 4; ++output) {
            EXPECT_FALSE(buttons[output].m_bFlat);
            EXPECT_NE(buttons[output].m_icons[0].icon, nullptr);
        }
    }
    Setting("set route 1 3");
    Setting("set route 2 2");
    Setting("set route 3 4");
    Setting("set arc 1 on");
    Setting("set arc 3 on");

    ShowMatrixPage();
    ASSERT_TRUE(PumpUntil([this] { return g_linkIdle == TRUE && ReceivedFrames().size() >= 4; }, ARRIVAL_TIMEOUT_MS));
    EXPECT_EQ(ReceivedFrames(), (std::vector<Bytes>{QueryRoute(1), QueryRoute(2), QueryRoute(3), QueryRoute(4)}));
    ExpectShows(1, 3);
    ExpectShows(2, 2);
    ExpectShows(3, 4);
    ExpectShows(4, 1);
    EXPECT_FALSE(s_window->KillTimer(TIMER_REPLY_TIMEOUT)) << "the last report stops the main window's wait";
    EXPECT_FALSE(g_matrixDlg.KillTimer(TIMER_REPLY_TIMEOUT));

    // A stray routing acknowledgement reads input 4 and output 0 from the
    // last query: it frees the link and shows nothing.
    g_linkIdle = FALSE;
    DeviceReports("02 03 00 00 01 00 00 00 00 00");
    ASSERT_TRUE(WaitForIdleLink());
    ExpectShows(1, 3);
    ExpectShows(4, 1);

    // A report of output A's ARC, asked elsewhere, leads the page through B, C and D.
    DeviceReports("10 02 0F 00 01 00 00 00 00 00");
    ASSERT_TRUE(PumpUntil([this] { return ReceivedFrames().size() >= 7 && Checked(IDC_MATRIX_D_ARC_OFF); },
                          ARRIVAL_TIMEOUT_MS));
    const std::vector<Bytes> received = ReceivedFrames();
    EXPECT_EQ(std::vector<Bytes>(received.begin() + 4, received.end()),
              (std::vector<Bytes>{QueryArc(2), QueryArc(3), QueryArc(4)}));
    ExpectArc(1, true);
    ExpectArc(2, false);
    ExpectArc(3, true);
    ExpectArc(4, false);
    for (const OutputIds& ids : OUTPUT_IDS) {
        EXPECT_FALSE(Enabled(ids.arcOn));
        EXPECT_FALSE(Enabled(ids.arcOff));
    }

    PumpFor(2 * SHORT_REPLY_WAIT_MS);
    EXPECT_TRUE(m_operator.Messages().empty()) << "no wait of the chains is left to time out";
    EXPECT_TRUE(g_linkIdle);
    // The page is wider than the main window's client area: the window is
    // widened for the picture so that all four outputs show.
    RECT pageRect{};
    g_matrixDlg.GetWindowRect(&pageRect);
    RECT mainRect{};
    s_window->GetWindowRect(&mainRect);
    s_window->SetWindowPos(nullptr, 0, 0, pageRect.right - mainRect.left + PAGE_MARGIN, mainRect.bottom - mainRect.top,
                         SWP_NOMOVE | SWP_NOZORDER);
    const auto page = DibCanvas::FromWindowClient(g_matrixDlg.m_hWnd);
    s_window->SetWindowPos(nullptr, 0, 0, mainRect.right - mainRect.left, mainRect.bottom - mainRect.top,
                         SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(page->SaveBmp(DibCanvas::RenderPath(L"matrix-page.bmp")));
}

TEST_F(MatrixPageTest, UnknownInputIsSkippedAndASilentOutputTimesOutOnce) {
    Setting("set route 1 4");
    Setting("set route 2 7");
    Setting("set route 3 2");
    Setting("set size 4 3");

    // The main window's wait, armed at the first query, runs out first and
    // takes the page's wait for the last query with it.
    ShowMatrixPage();
    ASSERT_TRUE(WaitForBoxes(1));
    EXPECT_EQ(ReceivedFrames(), (std::vector<Bytes>{QueryRoute(1), QueryRoute(2), QueryRoute(3), QueryRoute(4)}));
    ExpectShows(1, 4);
    EXPECT_EQ(CheckedInput(2), 0);
    EXPECT_TRUE(PictureShows(2, 1));
    EXPECT_EQ(g_matrixDlg.m_nCurrentInput[1], 1);
    ExpectShows(3, 2);
    EXPECT_EQ(CheckedInput(4), 0);
    EXPECT_FALSE(g_matrixDlg.KillTimer(TIMER_REPLY_TIMEOUT));

    // A request after the time-out holds the link until its own answer.
    Setting("drop 1");
    Click(IDC_MATRIX_A_IN1);
    PumpFor(SETTLE_MS);
    EXPECT_FALSE(g_linkIdle);
    ASSERT_TRUE(WaitForIdleLink());
    ExpectShows(1, 1);
    PumpFor(2 * SHORT_REPLY_WAIT_MS);
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Time out!"});

    // Should the page's wait run out first, it takes the main window's with it.
    ShowMatrixPage();
    s_window->SetTimer(TIMER_REPLY_TIMEOUT, 4 * SHORT_REPLY_WAIT_MS);
    ASSERT_TRUE(WaitForBoxes(2));
    EXPECT_FALSE(s_window->KillTimer(TIMER_REPLY_TIMEOUT));
    PumpFor(4 * SHORT_REPLY_WAIT_MS);
    EXPECT_EQ(m_operator.Messages(), (std::vector<std::wstring>{L"Time out!", L"Time out!"}));
}

// Every routing button, clicked twice (the second click comes while the
// first one's request waits, and changes nothing): the frame the device
// receives, the one timer armed, and the acknowledgement of the resend,
// which stops the second wait. The rows run in this order: each previous or
// next button steps from what the rows before it left (A and B from 1, C and
// D from none reported), and IN1 of A and of B is already checked.
TEST_F(MatrixPageTest, EveryRoutingButtonSendsItsFrameArmsItsTimerAndTakesALateAcknowledgement) {
    struct Row {
        int id;
        std::uint8_t output;
        std::uint8_t input;
        unsigned timer;
    };
    const Row rows[] = {
        {IDC_MATRIX_A_PREVIOUS, 1, 4, 6008}, {IDC_MATRIX_A_NEXT, 1, 1, 6010},     {IDC_MATRIX_A_IN1, 1, 1, 6000},
        {IDC_MATRIX_A_IN2, 1, 2, 6002},      {IDC_MATRIX_A_IN3, 1, 3, 6004},      {IDC_MATRIX_A_IN4, 1, 4, 6006},
        {IDC_MATRIX_B_NEXT, 2, 2, 6022},     {IDC_MATRIX_B_PREVIOUS, 2, 1, 6020}, {IDC_MATRIX_B_IN1, 2, 1, 6012},
        {IDC_MATRIX_B_IN2, 2, 2, 6014},      {IDC_MATRIX_B_IN3, 2, 3, 6016},      {IDC_MATRIX_B_IN4, 2, 4, 6018},
        {IDC_MATRIX_C_PREVIOUS, 3, 4, 6032}, {IDC_MATRIX_C_NEXT, 3, 1, 6034},     {IDC_MATRIX_C_IN1, 3, 1, 6024},
        {IDC_MATRIX_C_IN2, 3, 2, 6026},      {IDC_MATRIX_C_IN3, 3, 3, 6028},      {IDC_MATRIX_C_IN4, 3, 4, 6030},
        {IDC_MATRIX_D_NEXT, 4, 1, 6046},     {IDC_MATRIX_D_PREVIOUS, 4, 4, 6044}, {IDC_MATRIX_D_IN1, 4, 1, 6036},
        {IDC_MATRIX_D_IN2, 4, 2, 6038},      {IDC_MATRIX_D_IN3, 4, 3, 6040},      {IDC_MATRIX_D_IN4, 4, 4, 6042},
    };
    // The real second wait: the acknowledgement comes well within it.
    SetTimerScale(1.0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.id);
        const std::size_t before = ReceivedFrames().size();
        const bool wasChecked = Checked(row.id);
        Setting("drop 1");
        Click(row.id);
        Click(row.id);
        EXPECT_EQ(Checked(row.id), wasChecked) << "only the answer changes the button";
        EXPECT_EQ(KillRouteTimers(), std::vector<unsigned>{row.timer});
        // Armed again to run out at once: the resend goes out without the wait.
        g_matrixDlg.SetTimer(row.timer, 1);
        ASSERT_TRUE(WaitForIdleLink());
        const std::vector<Bytes> received = ReceivedFrames();
        EXPECT_EQ(std::vector<Bytes>(received.begin() + static_cast<std::ptrdiff_t>(before), received.end()),
                  std::vector<Bytes>(2, SetRoute(row.input, row.output)));
        EXPECT_TRUE(KillRouteTimers().empty()) << "the acknowledgement stops the second wait";
        ExpectShows(row.output, row.input);
    }
    EXPECT_TRUE(m_operator.Messages().empty());
}

// Neither the request nor its resend three seconds later is answered.
TEST_F(MatrixPageTest, LostAcknowledgementIsAskedForAgainAfterThreeSecondsThenTimesOut) {
    SetTimerScale(1.0);
    Setting("drop 2");
    Click(IDC_MATRIX_D_IN4);
    ASSERT_TRUE(WaitForBoxes(1));
    ASSERT_EQ(ReceivedFrames(), std::vector<Bytes>(2, SetRoute(4, 4)));
    const std::vector<double> sent = ArrivalTimes(SetRoute(4, 4));
    EXPECT_NEAR(sent[1] - sent[0], ROUTE_WAIT_SECONDS, WAIT_TOLERANCE_SECONDS);
    EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Time out!"});
    EXPECT_EQ(CheckedInput(4), 0);
}

// Previous from 1 asks for 4 each time, and next after that starts again
// from 1.
TEST_F(MatrixPageTest, PreviousAndNextKeepTheirWrapWhileTheDeviceNeverAnswers) {
    EXPECT_EQ(CMatrixDlg().m_nCurrentInput, (std::array<int, 4>{1, 1, 0, 0}));
    Setting("drop 4");
    Click(IDC_MATRIX_B_PREVIOUS);
    ASSERT_TRUE(WaitForBoxes(1));
    Click(IDC_MATRIX_B_PREVIOUS);
    ASSERT_TRUE(WaitForBoxes(2));
    EXPECT_EQ(g_matrixDlg.m_nCurrentInput[1], 5);
    Click(IDC_MATRIX_B_NEXT);
    ASSERT_TRUE(WaitForIdleLink());
    ExpectShows(2, 1);
    EXPECT_EQ(ReceivedFrames(), (std::vector<Bytes>{SetRoute(4, 2), SetRoute(4, 2), SetRoute(4, 2), SetRoute(4, 2),
                                                    SetRoute(1, 2)}));
}

TEST_F(MatrixPageTest, ArcAcknowledgementsAndReportsDuringARoutingRequest) {
    DeviceReports("10 01 00 00 03 00 00 00 0F 00");   // ARC on of C acknowledged
    DeviceReports("10 02 00 00 02 00 00 00 0F 00");   // the same, read although b3 says report
    ASSERT_TRUE(PumpUntil([] { return Checked(IDC_MATRIX_C_ARC_ON) && Checked(IDC_MATRIX_B_ARC_ON); },
                          ARRIVAL_TIMEOUT_MS));
    DeviceReports("10 01 00 00 03 00 00 00 F0 00");   // ARC off of C acknowledged
    ASSERT_TRUE(PumpUntil([] { return Checked(IDC_MATRIX_C_ARC_OFF); }, ARRIVAL_TIMEOUT_MS));
    ExpectArc(2, true);
    ExpectArc(3, false);
    EXPECT_TRUE(ReceivedFrames().empty()) << "an acknowledgement asks for nothing";
    EXPECT_TRUE(g_linkIdle);

    // Reports and a late ARC acknowledgement that come while a routing
    // request waits for its lost acknowledgement are shown, and the request
    // keeps its frame and its link.
    SetTimerScale(0.5);
    Setting("drop 1");
    Click(IDC_MATRIX_B_IN3);
    ASSERT_TRUE(PumpUntil([this] { return !ReceivedFrames().empty(); }, ARRIVAL_TIMEOUT_MS));
    DeviceReports("10 02 F0 00 01 00 00 00 00 00");   // ArcReport of A, asked elsewhere
    DeviceReports("02 01 04 00 02 00 00 00 00 00");   // RouteReport of D, asked by nobody
    DeviceReports("10 01 00 00 04 00 00 00 0F 00");   // ARC on of D acknowledged
    ASSERT_TRUE(PumpUntil([] { return Checked(IDC_MATRIX_A_ARC_OFF) && CheckedInput(4) == 2 &&
                                      Checked(IDC_MATRIX_D_ARC_ON); },
                          ARRIVAL_TIMEOUT_MS));
    EXPECT_FALSE(g_linkIdle);
    EXPECT_EQ(ReceivedFrames().size(), 1u);
    ExpectShows(4, 2);
    ASSERT_TRUE(WaitForIdleLink());
    EXPECT_EQ(ReceivedFrames(), (std::vector<Bytes>{SetRoute(3, 2), SetRoute(3, 2)}));
    ExpectShows(2, 3);
    EXPECT_EQ(CheckedInput(3), 0);
    EXPECT_TRUE(m_operator.Messages().empty());
}
