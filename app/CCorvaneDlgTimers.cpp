// The main window's timers: one table from timer id to what its expiry does,
// the resend-once-then-"Time out!" pattern written once, and the seam every
// main-window timer is armed through.
#include "app/CCorvaneDlg.h"

#include "app/MainWindowTimers.h"
#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "core/CommandFrameBytes.h"
#include "core/DeviceFrame.h"
#include "pages/Popups.h"

namespace {

using namespace CommandFrameBytes;

constexpr const wchar_t* TEXT_REBOOT_DONE = L"Reboot successfully!";
constexpr const wchar_t* TEXT_POWER_ON_DONE = L"Initializing successfully!";
constexpr const wchar_t* TEXT_CONFIGURE_DONE = L"Configure successfully!";

constexpr BYTE OUTPUT_A = 0x01;

}  // namespace

struct CCorvaneDlg::TimerRow {
    UINT_PTR id;
    void (CCorvaneDlg::*onExpiry)(UINT_PTR id);
};

void CCorvaneDlg::ArmTimer(UINT_PTR id) { SetTimer(id, PeriodOf(id)); }

void CCorvaneDlg::OnTimer(UINT_PTR id) {
    static constexpr TimerRow TIMERS[] = {
        {TIMER_PORT_POLL, &CCorvaneDlg::OnPortPollTimer},
        {TIMER_REPLY_TIMEOUT, &CCorvaneDlg::EndReplyTimeOut},
        {TIMER_STATUS_POLL, &CCorvaneDlg::OnStatusPollTimer},
        {TIMER_STATUS_CHAIN_IN1, &CCorvaneDlg::ResendAndWait},
        {TIMER_STATUS_CHAIN_IN2, &CCorvaneDlg::ResendAndWait},
        {TIMER_STATUS_CHAIN_IN3, &CCorvaneDlg::ResendAndWait},
        {TIMER_STATUS_CHAIN_IN4, &CCorvaneDlg::ResendAndWait},
        {TIMER_STATUS_CHAIN_OUTA, &CCorvaneDlg::ResendAndWait},
        {SecondWait(TIMER_STATUS_CHAIN_IN1), &CCorvaneDlg::EndWithTimeOut},
        {SecondWait(TIMER_STATUS_CHAIN_IN2), &CCorvaneDlg::EndWithTimeOut},
        {SecondWait(TIMER_STATUS_CHAIN_IN3), &CCorvaneDlg::EndWithTimeOut},
        {SecondWait(TIMER_STATUS_CHAIN_IN4), &CCorvaneDlg::EndWithTimeOut},
        {SecondWait(TIMER_STATUS_CHAIN_OUTA), &CCorvaneDlg::EndWithTimeOut},
        {TIMER_RESET_ACK, &CCorvaneDlg::ResendAndWait},
        {SecondWait(TIMER_RESET_ACK), &CCorvaneDlg::EndWithTimeOut},
        {TIMER_RESET_DONE, &CCorvaneDlg::FinishReset},
        {TIMER_RESET_CLOSE, &CCorvaneDlg::CloseAndFreeLink},
        {TIMER_REBOOT_ACK, &CCorvaneDlg::ResendAndWait},
        {SecondWait(TIMER_REBOOT_ACK), &CCorvaneDlg::EndWithTimeOut},
        {TIMER_REBOOT_DONE, &CCorvaneDlg::FinishReboot},
        {TIMER_REBOOT_CLOSE, &CCorvaneDlg::CloseAndFreeLink},
        {TIMER_POWER_ACK, &CCorvaneDlg::ResendAndWait},
        {SecondWait(TIMER_POWER_ACK), &CCorvaneDlg::EndWithTimeOut},
        {TIMER_POWER_DONE, &CCorvaneDlg::FinishPowerOn},
        {TIMER_POWER_CLOSE, &CCorvaneDlg::ClosePowerOn},
        {TIMER_SEARCH_DONE, &CCorvaneDlg::FinishSearch},
        {TIMER_SEARCH_CLOSE, &CCorvaneDlg::CloseSearch},
        {TIMER_CONFIG_TIMEOUT, &CCorvaneDlg::EndConfiguration},
    };
    for (const TimerRow& row : TIMERS) {
        if (row.id == id) {
            (this->*row.onExpiry)(id);
            return;
        }
    }
    Default();
}

void CCorvaneDlg::OnPortPollTimer(UINT_PTR) { RefreshComPorts(); }

// The poll shares g_commandFrame with the requests: it skips its turn while
// one waits for its answer or a busy pop-up is up, so that a resend repeats
// the request and not the poll's query.
void CCorvaneDlg::OnStatusPollTimer(UINT_PTR) {
    if (!PollMayGoOn()) return;
    SendCommand(GROUP_ROUTING, ITEM_ROUTE, OUTPUT_A);
}

bool CCorvaneDlg::PollMayGoOn() const { return g_linkIdle && !g_statusDlgShown; }

// The first wait of a pair: the frame goes out once more, unchanged.
void CCorvaneDlg::ResendAndWait(UINT_PTR id) {
    KillTimer(id);
    SendFrame(g_commandFrame, static_cast<int>(DeviceFrame::COMMAND_FRAME_LENGTH));
    ArmTimer(SecondWait(id));
}

void CCorvaneDlg::EndWithTimeOut(UINT_PTR id) {
    KillTimer(id);
    CloseStatusPopup();
    ShowTimeOut();
}

// One time-out per query chain: the page's own reply time-out goes with the
// main window's.
void CCorvaneDlg::EndReplyTimeOut(UINT_PTR id) {
    KillTimer(id);
    for (CDialog* page : {static_cast<CDialog*>(&g_matrixDlg), static_cast<CDialog*>(&g_edidDlg)}) {
        if (page->m_hWnd != nullptr) page->KillTimer(TIMER_REPLY_TIMEOUT);
    }
    ShowTimeOut();
}

void CCorvaneDlg::FinishAndArm(UINT_PTR id, const wchar_t* text) {
    KillTimer(id);
    g_statusText = text;
    FinishStatusPopup();
    ArmTimer(id + 1);
}

void CCorvaneDlg::FinishReset(UINT_PTR id) { FinishAndArm(id, TEXT_SET_SUCCESSFULLY); }

void CCorvaneDlg::FinishReboot(UINT_PTR id) { FinishAndArm(id, TEXT_REBOOT_DONE); }

void CCorvaneDlg::FinishPowerOn(UINT_PTR id) { FinishAndArm(id, TEXT_POWER_ON_DONE); }

void CCorvaneDlg::CloseAndFreeLink(UINT_PTR id) {
    KillTimer(id);
    CloseStatusPopup();
    g_linkIdle = TRUE;
}

void CCorvaneDlg::ClosePowerOn(UINT_PTR id) {
    KillTimer(id);
    CloseStatusPopup();
    SendCommand(GROUP_QUERY, ITEM_BEEP);
    g_linkIdle = TRUE;
}

// Only the pop-up of a configuration whose switcher is listed again is
// finished and closed: any other busy pop-up is not the search's.
void CCorvaneDlg::FinishSearch(UINT_PTR id) {
    KillTimer(id);
    if (m_configPhase == ConfigPhase::Finishing) {
        g_statusText = TEXT_CONFIGURE_DONE;
        if (g_statusDlgShown) FinishStatusPopup();
    }
    ArmTimer(TIMER_SEARCH_CLOSE);
}

void CCorvaneDlg::CloseSearch(UINT_PTR id) {
    KillTimer(id);
    if (m_configPhase != ConfigPhase::Finishing) return;
    m_configPhase = ConfigPhase::None;
    CloseStatusPopup();
}

// The switcher did not accept, or was not listed again, within the time.
void CCorvaneDlg::EndConfiguration(UINT_PTR id) {
    m_configPhase = ConfigPhase::None;
    CloseConfigSocket();
    EndWithTimeOut(id);
}
