// One main window serves a whole suite of simulator tests (a mapped top-level
// window takes Wine long to take down). While a test runs it is the
// application's main window, and no test leaves its serial worker running.
#pragma once

#include "app/MainWindowTimers.h"
#include "app/ProcessState.h"
#include "core/RequestGate.h"
#include "framework/CWinApp.h"
#include "res/resource.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/SimulatorFixture.h"
#include "tests/wine/TestTimings.h"

template <class Window>
class MainWindowSuite : public SimulatorFixture {
protected:
    static void SetUpTestSuite() {
        s_window = new Window();
        if (!s_window->Create(IDD_MAIN)) {
            delete s_window;
            s_window = nullptr;
        }
    }

    static void TearDownTestSuite() {
        if (s_window == nullptr) return;
        s_window->DestroyWindow();
        delete s_window;
        s_window = nullptr;
    }

    void SetUp() override {
        SimulatorFixture::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_NE(s_window, nullptr) << "the main window did not open";
        m_dlg = s_window;
        AfxGetApp()->m_pMainWnd = m_dlg;
    }

    void TearDown() override {
        if (m_dlg != nullptr && m_dlg->m_serial.m_hStopEvent != nullptr) {
            ::SetEvent(m_dlg->m_serial.m_hStopEvent);
            EXPECT_TRUE(PumpUntil([this] { return m_dlg->m_serial.m_bWorkerAlive == FALSE; }, ARRIVAL_TIMEOUT_MS));
        }
        g_app.m_bComPortOpen = FALSE;
        AfxGetApp()->m_pMainWnd = nullptr;
        SimulatorFixture::TearDown();
    }

    // Opens the simulator's COM port as the panel's Connect does (115200
    // baud, 8N2) and waits for the serial worker to run.
    void OpenComPort() {
        ASSERT_TRUE(m_dlg->m_serial.OpenPort(m_dlg, static_cast<UINT>(ComPort()), COM_BAUD_RATE, L'N', 8, 2,
                                             COM_EVENTS));
        ASSERT_TRUE(m_dlg->m_serial.StartWorker());
        ASSERT_TRUE(PumpUntil([this] { return m_dlg->m_serial.m_bWorkerAlive == TRUE; }, ARRIVAL_TIMEOUT_MS));
    }

    // The panel as its COM Connect leaves it: COM mode, the simulator's port
    // open with its worker running, the port list's refresh stopped.
    void ConnectComPort() {
        s_window->SendDlgItemMessage(IDC_COM_MODE, BM_SETCHECK, BST_CHECKED);
        g_controlMode = CONTROL_MODE_COM;
        OpenComPort();
        if (HasFatalFailure()) return;
        g_app.m_bComPortOpen = TRUE;
        s_window->KillTimer(TIMER_PORT_POLL);
    }

    static bool WaitForIdleLink() { return PumpUntil([] { return g_linkIdle != FALSE; }, ARRIVAL_TIMEOUT_MS); }

    static constexpr UINT COM_BAUD_RATE = 115200;
    static constexpr DWORD COM_EVENTS = EV_RXCHAR | EV_RXFLAG;
    static inline Window* s_window = nullptr;
    Window* m_dlg = nullptr;
};
