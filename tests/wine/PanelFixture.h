// The panel's main window on its real template, driven like an operator
// against the simulated switcher on the session's COM port: controls pressed
// by id, pop-ups answered from inside their modal loops, the frames the
// switcher received read from its log. Main-window timers run at a tenth of
// their real periods.
#pragma once

#include "app/CCorvaneDlg.h"
#include "tests/wine/PopupOperator.h"
#include "tests/wine/SimulatorFixture.h"
#include "tests/wine/TestFrames.h"
#include "tests/wine/TestTimings.h"

#include <optional>
#include <string>
#include <vector>

// The main window with seams of its own: the port list it enumerates, the
// serial worker it starts and the system commands it receives (a system move
// is recorded, not run: a synthetic press can hang in Wine's move loop).
class TestPanel : public CCorvaneDlg {
public:
    bool failEnumeration = false;
    bool failWorkerStart = false;
    std::optional<std::vector<std::wstring>> fakePortNames;
    std::vector<UINT> moveCommands;

    using CCorvaneDlg::ArmTimer;

protected:
    void ListComPorts(std::vector<SSerInfo>& ports) override;
    bool StartSerialWorker() override;
    void OnSysCommand(UINT id, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

class PanelFixture : public SimulatorFixture {
protected:
    static constexpr double TIMER_SCALE = 0.1;

    void SetUp() override;
    void TearDown() override;

    // Presses a button (BM_CLICK). A press that opens a pop-up returns once
    // it is closed; the pop-ups are answered with `answer` (a message box
    // button id) meanwhile.
    void Press(int id, int answer = IDOK);
    void Check(int id, bool checked);
    bool IsChecked(int id) const;
    std::wstring Text(int id) const;
    // Selects an item of a combo box as the operator does (with the
    // selection-change notification).
    void Select(int comboId, int item);
    // Sends a static's click notification (for the tabs outside the window).
    void ClickStatic(int id);

    // Presses Connect and waits until the first route query reached the
    // switcher and the poll chain's answers have been handled.
    void Connect();

    // The switcher's received frames, pumping the panel's messages meanwhile.
    bool PumpUntilReceived(std::size_t count, DWORD timeoutMs = ARRIVAL_TIMEOUT_MS);
    Bytes LastReceived() const;
    // Waits until `frame` is the last frame the switcher received.
    bool PumpUntilLastReceived(const Bytes& frame);
    // Handles the panel's messages for `periods` times the scaled period of a timer.
    void PumpTimerPeriods(UINT_PTR timer, double periods);

    TestPanel* m_panel = nullptr;
    PopupOperator m_operator;
};
