// Start-up state, the request gate with its message box, and the application
// object's start and end, in the panel's own process-wide objects.
#include "app/BeginRequest.h"
#include "app/ProcessState.h"
#include "core/RequestGate.h"
#include "res/resource.h"
#include "tests/wine/PopupOperator.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

// The shared state as start-up leaves it, taken before any test runs, so that
// what the tests write meanwhile, in whatever order they run, cannot hide it.
struct StartUpState {
    std::wstring statusText;
    std::array<BYTE, 2> commandSync{};
    std::array<BYTE, 2> mcuDataSync{};
    std::array<BYTE, 2> flashDataSync{};
    decltype(g_rxCollectLength) rxCollectLength{};
    SOCKET tcpSocket = 0;
    SOCKET udpSocket = 0;
    CWinApp* app = nullptr;
};
StartUpState g_startUpState;

class StartUpStateEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        StartUpState& start = g_startUpState;
        start.statusText = g_statusText;
        start.commandSync = {g_commandFrame[0], g_commandFrame[1]};
        start.mcuDataSync = {g_mcuDataFrame[0], g_mcuDataFrame[1]};
        start.flashDataSync = {g_flashDataFrame[0], g_flashDataFrame[1]};
        start.rxCollectLength = g_rxCollectLength;
        start.tcpSocket = g_tcpSocket;
        start.udpSocket = g_udpSocket.m_hSocket;
        start.app = AfxGetApp();
    }
};

const auto* const g_startUpStateEnvironment = ::testing::AddGlobalTestEnvironment(new StartUpStateEnvironment);

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_operator.Start();
        g_controlMode = CONTROL_MODE_COM;
        g_app.m_bComPortOpen = FALSE;
        g_tcpConnected = FALSE;
        g_linkIdle = TRUE;
        g_messageDlgShown = FALSE;
        g_messageText.clear();
    }

    void TearDown() override { m_operator.Stop(); }

    // The operator answers the message boxes with Ok.
    PopupOperator m_operator;
};

TEST_F(ApplicationTest, SharedStateStartsAsTheDeviceCodeExpects) {
    const StartUpState& start = g_startUpState;
    EXPECT_EQ(start.statusText, L"Setting");
    EXPECT_EQ(start.commandSync, (std::array<BYTE, 2>{0xA5, 0x5B}));
    EXPECT_EQ(start.mcuDataSync, (std::array<BYTE, 2>{0xFE, 0xEF}));
    EXPECT_EQ(start.flashDataSync, (std::array<BYTE, 2>{0xFE, 0xEF}));
    EXPECT_EQ(start.rxCollectLength, 2);
    EXPECT_EQ(start.tcpSocket, INVALID_SOCKET);
    EXPECT_EQ(start.udpSocket, INVALID_SOCKET);
    EXPECT_EQ(start.app, &g_app);
}

TEST_F(ApplicationTest, ClosedComPortShowsTheBoxAndLeavesTheIdleFlag) {
    for (BOOL idle : {TRUE, FALSE}) {
        m_operator.Forget();
        g_linkIdle = idle;
        EXPECT_FALSE(BeginRequest());
        EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Open COM failed!"});
        EXPECT_EQ(g_linkIdle, idle);
        EXPECT_FALSE(g_messageDlgShown) << "Ok clears the shown flag";
    }
}

TEST_F(ApplicationTest, OpenPortGrantsOnceThenRefusesSilently) {
    g_app.m_bComPortOpen = TRUE;
    EXPECT_TRUE(BeginRequest());
    EXPECT_FALSE(g_linkIdle);
    EXPECT_FALSE(BeginRequest());
    EXPECT_TRUE(m_operator.Messages().empty());
    EXPECT_TRUE(g_messageText.empty());
}

TEST_F(ApplicationTest, TcpModeAndUnknownModesAskForTheConnection) {
    for (BYTE mode : {CONTROL_MODE_TCP, static_cast<BYTE>(0), static_cast<BYTE>(7)}) {
        m_operator.Forget();
        g_controlMode = mode;
        g_app.m_bComPortOpen = TRUE;
        EXPECT_FALSE(BeginRequest()) << int(mode);
        EXPECT_EQ(m_operator.Messages(), std::vector<std::wstring>{L"Connect to Matrix failed!"}) << int(mode);
    }
    g_tcpConnected = TRUE;
    EXPECT_TRUE(BeginRequest());
}

TEST_F(ApplicationTest, BoxAlreadyUpOnlyTakesTheNewText) {
    g_messageDlgShown = TRUE;
    g_messageText = L"Time out!";
    EXPECT_FALSE(BeginRequest());
    EXPECT_TRUE(m_operator.Messages().empty()) << "no second box";
    EXPECT_EQ(g_messageText, L"Open COM failed!");
    EXPECT_TRUE(g_linkIdle);
}

TEST_F(ApplicationTest, ClosingTheMainWindowEndsTheProgram) {
    m_operator.When([] { return AfxGetMainWnd() != nullptr && AfxGetMainWnd()->m_hWnd != nullptr; },
                    [] { AfxGetMainWnd()->PostMessage(WM_CLOSE); });
    EXPECT_FALSE(g_app.InitInstance());
    EXPECT_NE(g_app.m_gdiplusToken, 0u) << "GDI+ was started";
    EXPECT_EQ(AfxGetMainWnd(), nullptr) << "the main window is gone with InitInstance";
    EXPECT_EQ(g_app.ExitInstance(), 0);
}

}  // namespace
