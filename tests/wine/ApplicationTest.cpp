// Start-up state, the request gate with its message box, and the application
// object's start and end, in the panel's own process-wide objects.
#include "app/BeginRequest.h"
#include "app/ProcessState.h"
#include "core/RequestGate.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT WATCH_PERIOD_MS = 20;

struct BoxSighting {
    bool seen = false;
    std::wstring text;
};
BoxSighting g_sighting;

// Runs inside the message box's modal loop: notes what the operator sees and
// presses Ok.
void CALLBACK PressOkWhenTheBoxIsUp(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_messageDlg.m_hWnd == nullptr || !::IsWindowVisible(g_messageDlg.m_hWnd)) return;
    ::KillTimer(nullptr, timer);
    g_sighting.seen = true;
    g_sighting.text = g_messageText;
    ::SendMessageW(g_messageDlg.GetDlgItem(IDC_MESSAGE_OK), BM_CLICK, 0, 0);
}

void CALLBACK CloseTheMainWindow(HWND, UINT, UINT_PTR timer, DWORD) {
    CWnd* main = AfxGetMainWnd();
    if (main == nullptr || main->m_hWnd == nullptr) return;
    ::KillTimer(nullptr, timer);
    main->PostMessage(WM_CLOSE);
}

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_sighting = BoxSighting{};
        g_controlMode = CONTROL_MODE_COM;
        g_app.m_bComPortOpen = FALSE;
        g_tcpConnected = FALSE;
        g_linkIdle = TRUE;
        g_messageDlgShown = FALSE;
        g_messageText.clear();
    }

    BOOL BeginRequestWatchingTheBox() {
        UINT_PTR timer = ::SetTimer(nullptr, 0, WATCH_PERIOD_MS, &PressOkWhenTheBoxIsUp);
        BOOL granted = BeginRequest();
        ::KillTimer(nullptr, timer);
        return granted;
    }
};

TEST_F(ApplicationTest, SharedStateStartsAsTheDeviceCodeExpects) {
    // Checked before any test writes the strings.
    EXPECT_EQ(g_statusText, L"Setting");
    EXPECT_EQ(g_commandFrame[0], 0xA5);
    EXPECT_EQ(g_commandFrame[1], 0x5B);
    EXPECT_EQ(g_mcuDataFrame[0], 0xFE);
    EXPECT_EQ(g_mcuDataFrame[1], 0xEF);
    EXPECT_EQ(g_flashDataFrame[0], 0xFE);
    EXPECT_EQ(g_flashDataFrame[1], 0xEF);
    EXPECT_EQ(g_rxCollectLength, 2);
    EXPECT_EQ(g_tcpSocket, INVALID_SOCKET);
    EXPECT_EQ(g_udpSocket.m_hSocket, INVALID_SOCKET);
    EXPECT_EQ(AfxGetApp(), &g_app);
}

TEST_F(ApplicationTest, ClosedComPortShowsTheBoxAndLeavesTheIdleFlag) {
    for (BOOL idle : {TRUE, FALSE}) {
        g_sighting = BoxSighting{};
        g_linkIdle = idle;
        EXPECT_FALSE(BeginRequestWatchingTheBox());
        EXPECT_TRUE(g_sighting.seen);
        EXPECT_EQ(g_sighting.text, L"Open COM failed!");
        EXPECT_EQ(g_linkIdle, idle);
        EXPECT_FALSE(g_messageDlgShown) << "Ok clears the shown flag";
    }
}

TEST_F(ApplicationTest, OpenPortGrantsOnceThenRefusesSilently) {
    g_app.m_bComPortOpen = TRUE;
    EXPECT_TRUE(BeginRequestWatchingTheBox());
    EXPECT_FALSE(g_linkIdle);
    EXPECT_FALSE(BeginRequestWatchingTheBox());
    EXPECT_FALSE(g_sighting.seen);
    EXPECT_TRUE(g_messageText.empty());
}

TEST_F(ApplicationTest, TcpModeAndUnknownModesAskForTheConnection) {
    for (BYTE mode : {CONTROL_MODE_TCP, static_cast<BYTE>(0), static_cast<BYTE>(7)}) {
        g_sighting = BoxSighting{};
        g_controlMode = mode;
        g_app.m_bComPortOpen = TRUE;
        EXPECT_FALSE(BeginRequestWatchingTheBox()) << int(mode);
        EXPECT_EQ(g_sighting.text, L"Connect to Matrix failed!") << int(mode);
    }
    g_tcpConnected = TRUE;
    EXPECT_TRUE(BeginRequestWatchingTheBox());
}

TEST_F(ApplicationTest, BoxAlreadyUpOnlyTakesTheNewText) {
    g_messageDlgShown = TRUE;
    g_messageText = L"Time out!";
    EXPECT_FALSE(BeginRequestWatchingTheBox());
    EXPECT_FALSE(g_sighting.seen) << "no second box";
    EXPECT_EQ(g_messageText, L"Open COM failed!");
    EXPECT_TRUE(g_linkIdle);
}

TEST_F(ApplicationTest, ClosingTheMainWindowEndsTheProgram) {
    UINT_PTR timer = ::SetTimer(nullptr, 0, WATCH_PERIOD_MS, &CloseTheMainWindow);
    EXPECT_FALSE(g_app.InitInstance());
    ::KillTimer(nullptr, timer);
    EXPECT_NE(g_app.m_gdiplusToken, 0u) << "GDI+ was started";
    EXPECT_EQ(AfxGetMainWnd(), nullptr) << "the main window is gone with InitInstance";
    EXPECT_EQ(g_app.ExitInstance(), 0);
}

}  // namespace
