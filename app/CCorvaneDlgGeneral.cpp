// The General page: its commands, the replies it shows, the five-second
// status poll, the Status chain and the power, reboot and factory-reset
// sequences. Toggles follow the device: a click is undone at once and only
// the device's answer changes the control.
#include "app/CCorvaneDlg.h"

#include "app/BeginRequest.h"
#include "app/MainWindowTimers.h"
#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "core/CommandFrameBytes.h"
#include "pages/Popups.h"
#include "res/resource.h"

#include <iterator>

namespace {

using namespace CommandFrameBytes;

constexpr const wchar_t* BAUD_RATE_ITEMS[] = {L"115200", L"19200"};
constexpr UINT BAUD_RATES[] = {115200, 19200};
// AUDIO_MODE_NAMES[mode - FIRST_AUDIO_MODE], in the order of the mode list.
constexpr const wchar_t* AUDIO_MODE_NAMES[] = {L"Audio Auto", L"Stereo Audio 2.0", L"Dolby/DTS 5.1", L"HD Audio 7.1"};
constexpr BYTE FIRST_AUDIO_MODE = 1;
constexpr BYTE LAST_AUDIO_MODE = 4;
constexpr int SOURCE_PORTS[] = {IDC_SOURCE_PORT_1, IDC_SOURCE_PORT_2, IDC_SOURCE_PORT_3, IDC_SOURCE_PORT_4};
constexpr BYTE FIRST_INPUT = 1;
constexpr BYTE LAST_INPUT = 4;

constexpr const wchar_t* TEXT_GETTING_STATUS = L"Getting status";
constexpr const wchar_t* TEXT_REBOOTING = L"Rebooting";
constexpr const wchar_t* TEXT_INITIALIZING = L"Initializing";
constexpr const wchar_t* TEXT_POWER_OFF = L"Power off!";
constexpr const wchar_t* QUESTION_FACTORY_RESET = L"Do you want to reset to factory settings?";
constexpr const wchar_t* QUESTION_POWER_OFF = L"Are you sure you want to power off?";

// The parameter values of the page.
constexpr BYTE SWITCH_ON = 0x0F;
constexpr BYTE SWITCH_OFF = 0xF0;
constexpr BYTE BEEP_ON_MARK = 0xDD;
constexpr BYTE ACKNOWLEDGED = 0x00;
constexpr BYTE FIRST_PORT = 0x01;
constexpr BYTE LINK_CONNECTED = 0x00;
constexpr BYTE BEEP_REPORTED_ON = 0x00;

// A row's byte that may hold anything.
constexpr int ANY = -1;

// The Status chain: inputs 1 to 4, then output A, each with its wait.
struct LinkStep {
    UINT_PTR timer;
    int textId;
    const wchar_t* connected;
    const wchar_t* disconnected;
};
constexpr LinkStep STATUS_CHAIN[] = {
    {TIMER_STATUS_CHAIN_IN1, IDC_LINK_IN1, L"HDMI IN1: Connect", L"HDMI IN1: Disconnect"},
    {TIMER_STATUS_CHAIN_IN2, IDC_LINK_IN2, L"HDMI IN2: Connect", L"HDMI IN2: Disconnect"},
    {TIMER_STATUS_CHAIN_IN3, IDC_LINK_IN3, L"HDMI IN3: Connect", L"HDMI IN3: Disconnect"},
    {TIMER_STATUS_CHAIN_IN4, IDC_LINK_IN4, L"HDMI IN4: Connect", L"HDMI IN4: Disconnect"},
    {TIMER_STATUS_CHAIN_OUTA, IDC_LINK_OUTA, L"HDMI OUTA: Connect", L"HDMI OUTA: Disconnect"},
};
constexpr int OUTPUT_STEP = 4;

bool Matches(int expected, BYTE value) { return expected == ANY || expected == value; }

bool IsSourcePort(BYTE input) { return input >= FIRST_INPUT && input <= LAST_INPUT; }

bool IsAudioMode(BYTE mode) { return mode >= FIRST_AUDIO_MODE && mode <= LAST_AUDIO_MODE; }

}  // namespace

struct CCorvaneDlg::GeneralReplyRow {
    BYTE group;
    BYTE item;
    int b4;
    int b6;
    int b10;
    void (CCorvaneDlg::*onReply)(const BYTE* frame);

    bool Matches(const BYTE* frame) const {
        return frame[B2] == group && frame[B3] == item && ::Matches(b4, frame[B4]) && ::Matches(b6, frame[B6]) &&
               ::Matches(b10, frame[B10]);
    }
};

void CCorvaneDlg::FillGeneralLists() {
    for (const wchar_t* item : BAUD_RATE_ITEMS)
        SendDlgItemMessage(IDC_BAUD_RATE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const wchar_t* item : AUDIO_MODE_NAMES)
        SendDlgItemMessage(IDC_EDID_MODE_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendDlgItemMessage(IDC_BAUD_RATE_LIST, CB_SETCURSEL, 0);
    SendDlgItemMessage(IDC_EDID_MODE_LIST, CB_SETCURSEL, 0);
}

// Commands

BYTE CCorvaneDlg::SwitchValue(bool on) { return on ? SWITCH_ON : SWITCH_OFF; }

bool CCorvaneDlg::UndoClick(int id) {
    const bool checked = SendDlgItemMessage(id, BM_GETCHECK) == BST_CHECKED;
    SetChecked(id, !checked);
    return checked;
}

void CCorvaneDlg::OnClickedPort1() { ClickSourcePort(1); }

void CCorvaneDlg::OnClickedPort2() { ClickSourcePort(2); }

void CCorvaneDlg::OnClickedPort3() { ClickSourcePort(3); }

void CCorvaneDlg::OnClickedPort4() { ClickSourcePort(4); }

void CCorvaneDlg::ClickSourcePort(BYTE input) {
    UndoClick(SOURCE_PORTS[input - FIRST_INPUT]);
    if (!BeginRequest()) return;
    m_sentSettings.route = input;
    SendCommand(GROUP_ROUTING, ITEM_SET_ROUTE, input, FIRST_PORT);
    g_linkIdle = TRUE;
}

void CCorvaneDlg::OnClickedSetEdid() {
    if (!BeginRequest()) return;
    const auto mode = static_cast<BYTE>(SendDlgItemMessage(IDC_EDID_MODE_LIST, CB_GETCURSEL) + FIRST_AUDIO_MODE);
    m_sentSettings.edidMode = mode;
    SendCommand(GROUP_EDID, ITEM_SET_EDID_MODE, mode, FIRST_PORT);
    g_linkIdle = TRUE;
}

void CCorvaneDlg::OnClickedAutoSwitch() {
    const BYTE value = SwitchValue(UndoClick(IDC_AUTO_SWITCH));
    if (!BeginRequest()) return;
    m_sentSettings.autoSwitch = value;
    SendCommand(GROUP_ROUTING, ITEM_SET_AUTO_SWITCH, value);
    g_linkIdle = TRUE;
}

void CCorvaneDlg::OnClickedArc() {
    const BYTE value = SwitchValue(UndoClick(IDC_ARC));
    if (!BeginRequest()) return;
    m_sentSettings.arc = value;
    SendCommand(GROUP_ARC, ITEM_SET_ARC, value, FIRST_PORT);
    g_linkIdle = TRUE;
}

void CCorvaneDlg::OnClickedBeep() {
    const bool on = UndoClick(IDC_BEEP);
    if (!BeginRequest()) return;
    g_linkIdle = TRUE;
    SendCommand(GROUP_BEEP, ITEM_SET_BEEP, SwitchValue(on), on ? BEEP_ON_MARK : 0);
}

void CCorvaneDlg::OnSelChangeBaudRate() {
    const auto item = SendDlgItemMessage(IDC_BAUD_RATE_LIST, CB_GETCURSEL);
    if (item >= 0 && item < static_cast<LRESULT>(std::size(BAUD_RATES))) m_nBaudRate = BAUD_RATES[item];
}

void CCorvaneDlg::OnClickedStatus() {
    if (!BeginRequest()) return;
    OnClickedClearInfo();
    SendStatusQuery(0);
    g_statusText = TEXT_GETTING_STATUS;
    ShowStatusPopup();
}

void CCorvaneDlg::SendStatusQuery(int step) {
    if (step == OUTPUT_STEP)
        SendCommand(GROUP_QUERY, ITEM_OUTPUT_LINK, FIRST_PORT);
    else
        SendCommand(GROUP_QUERY, ITEM_INPUT_LINK, static_cast<BYTE>(FIRST_INPUT + step));
    ArmTimer(STATUS_CHAIN[step].timer);
}

void CCorvaneDlg::OnClickedClearInfo() {
    for (int id = IDC_LINK_IN1; id <= IDC_LINK_SPARE_11; ++id) SetDlgItemText(id, L"");
}

void CCorvaneDlg::OnClickedReboot() {
    if (!BeginRequest()) return;
    SendCommand(GROUP_SYSTEM, ITEM_REBOOT);
    ArmTimer(TIMER_REBOOT_ACK);
    g_statusText = TEXT_REBOOTING;
    ShowStatusPopup();
}

void CCorvaneDlg::OnClickedFactoryReset() {
    if (!BeginRequest()) return;
    SendFactoryReset();
}

void CCorvaneDlg::OnClickedFactoryResetOffPage() {
    if (!BeginRequest()) return;
    if (!g_noLongerRemind && !AskConfirmation(QUESTION_FACTORY_RESET, true)) {
        g_linkIdle = TRUE;
        return;
    }
    SendFactoryReset();
}

void CCorvaneDlg::SendFactoryReset() {
    SendCommand(GROUP_SYSTEM, ITEM_FACTORY_RESET);
    ArmTimer(TIMER_RESET_ACK);
    g_statusText = TEXT_SETTING;
    ShowStatusPopup();
}

void CCorvaneDlg::OnClickedPower() {
    const bool on = UndoClick(IDC_POWER);
    if (!BeginRequest()) return;
    if (on) {
        g_linkIdle = TRUE;
        SendCommand(GROUP_SYSTEM, ITEM_SET_POWER, SWITCH_ON, SWITCH_ON);
        ArmTimer(TIMER_POWER_ACK);
        g_statusText = TEXT_INITIALIZING;
        ShowStatusPopup();
        return;
    }
    const bool confirmed = g_noLongerRemind || AskConfirmation(QUESTION_POWER_OFF, false);
    g_linkIdle = TRUE;
    if (confirmed) SendCommand(GROUP_SYSTEM, ITEM_SET_POWER, SWITCH_OFF, SWITCH_OFF);
}

// The message box as a question; TRUE only for Ok. A box already up answers no.
bool CCorvaneDlg::AskConfirmation(const wchar_t* question, bool confirmMode) {
    g_messageText = question;
    if (g_messageDlgShown) return false;
    g_messageDlgShown = TRUE;
    g_confirmMode = confirmMode;
    const INT_PTR answer = g_messageDlg.DoModal();
    g_confirmMode = FALSE;
    return answer == IDOK;
}

// Logs are written once per burst: what is still pending goes in first, so
// the clearing removes it too. The link flag is not the log's to touch.
void CCorvaneDlg::OnClickedClearLog() {
    UpdateLogs();
    for (int log : {IDC_RECEIVE_LOG, IDC_SEND_LOG}) {
        ClearLog(log);
        ::InvalidateRect(GetDlgItem(log), nullptr, TRUE);
    }
}

// Replies

void CCorvaneDlg::HandleGeneralReply(const BYTE* frame) {
    static constexpr GeneralReplyRow ROWS[] = {
        {GROUP_ROUTING, ITEM_ROUTE, FIRST_PORT, ANY, ANY, &CCorvaneDlg::OnRouteReport},
        {GROUP_QUERY, ITEM_EDID_MODE, FIRST_PORT, ANY, ANY, &CCorvaneDlg::OnEdidModeReport},
        {GROUP_QUERY, ITEM_AUTO_SWITCH, ANY, ANY, ANY, &CCorvaneDlg::OnAutoSwitchReport},
        {GROUP_ARC, ITEM_ARC, ANY, FIRST_PORT, ANY, &CCorvaneDlg::OnArcReport},
        {GROUP_ARC, ITEM_SET_ARC, ACKNOWLEDGED, FIRST_PORT, ANY, &CCorvaneDlg::OnSetArcAcknowledged},
        {GROUP_ROUTING, ITEM_SET_AUTO_SWITCH, ACKNOWLEDGED, ANY, ANY, &CCorvaneDlg::OnSetAutoSwitchAcknowledged},
        {GROUP_ROUTING, ITEM_SET_ROUTE, ACKNOWLEDGED, FIRST_PORT, ANY, &CCorvaneDlg::OnSetRouteAcknowledged},
        {GROUP_EDID, ITEM_SET_EDID_MODE, ACKNOWLEDGED, FIRST_PORT, ANY, &CCorvaneDlg::OnSetEdidModeAcknowledged},
        {GROUP_SYSTEM, ITEM_POWER, ANY, ANY, ANY, &CCorvaneDlg::OnPowerReport},
        {GROUP_SYSTEM, ITEM_SET_POWER, ACKNOWLEDGED, ANY, ANY, &CCorvaneDlg::OnSetPowerAcknowledged},
        {GROUP_SYSTEM, ITEM_REBOOT, ACKNOWLEDGED, ANY, ANY, &CCorvaneDlg::OnRebootAcknowledged},
        {GROUP_SYSTEM, ITEM_FACTORY_RESET, ACKNOWLEDGED, ANY, ANY, &CCorvaneDlg::OnFactoryResetAcknowledged},
        {GROUP_QUERY, ITEM_INPUT_LINK, 1, ANY, ANY, &CCorvaneDlg::OnInputLinkReport1},
        {GROUP_QUERY, ITEM_OUTPUT_LINK, FIRST_PORT, ANY, ANY, &CCorvaneDlg::OnOutputLinkReport},
        {GROUP_QUERY, ITEM_INPUT_LINK, 2, ANY, ANY, &CCorvaneDlg::OnInputLinkReport2},
        {GROUP_QUERY, ITEM_INPUT_LINK, 3, ANY, ANY, &CCorvaneDlg::OnInputLinkReport3},
        {GROUP_QUERY, ITEM_INPUT_LINK, 4, ANY, ANY, &CCorvaneDlg::OnInputLinkReport4},
        {GROUP_QUERY, ITEM_BEEP, ACKNOWLEDGED, ANY, ANY, &CCorvaneDlg::OnBeepReport},
        {GROUP_BEEP, ITEM_SET_BEEP, ANY, ANY, ACKNOWLEDGED, &CCorvaneDlg::OnSetBeepAcknowledged},
    };
    for (const GeneralReplyRow& row : ROWS) {
        if (row.Matches(frame)) {
            (this->*row.onReply)(frame);
            return;
        }
    }
}

// The poll chain's next query goes out only while nothing else holds the link;
// the poll's own steps hold none, so they leave the flag as they find it.
void CCorvaneDlg::QueryNextOfPoll(BYTE group, BYTE item, BYTE b4, BYTE b6) {
    if (PollMayGoOn()) SendCommand(group, item, b4, b6);
}

void CCorvaneDlg::OnRouteReport(const BYTE* frame) {
    if (IsSourcePort(frame[B6])) CheckSourcePort(frame[B6]);
    QueryNextOfPoll(GROUP_QUERY, ITEM_EDID_MODE, FIRST_PORT);
}

void CCorvaneDlg::OnEdidModeReport(const BYTE* frame) {
    if (IsAudioMode(frame[B6])) ShowAudioMode(frame[B6]);
    QueryNextOfPoll(GROUP_QUERY, ITEM_AUTO_SWITCH);
}

void CCorvaneDlg::OnAutoSwitchReport(const BYTE* frame) {
    SetCheckedFromSwitch(IDC_AUTO_SWITCH, frame[B4]);
    QueryNextOfPoll(GROUP_ARC, ITEM_ARC, 0, FIRST_PORT);
}

void CCorvaneDlg::OnArcReport(const BYTE* frame) { SetCheckedFromSwitch(IDC_ARC, frame[B4]); }

void CCorvaneDlg::OnSetArcAcknowledged(const BYTE*) { SetCheckedFromSwitch(IDC_ARC, m_sentSettings.arc); }

void CCorvaneDlg::OnSetAutoSwitchAcknowledged(const BYTE*) {
    SetCheckedFromSwitch(IDC_AUTO_SWITCH, m_sentSettings.autoSwitch);
}

void CCorvaneDlg::OnSetRouteAcknowledged(const BYTE*) {
    if (IsSourcePort(m_sentSettings.route)) CheckSourcePort(m_sentSettings.route);
}

void CCorvaneDlg::OnSetEdidModeAcknowledged(const BYTE*) {
    if (IsAudioMode(m_sentSettings.edidMode)) ShowAudioMode(m_sentSettings.edidMode);
}

void CCorvaneDlg::OnPowerReport(const BYTE* frame) {
    if (frame[B4] == SWITCH_ON) {
        SetChecked(IDC_POWER, true);
        SendCommand(GROUP_QUERY, ITEM_BEEP);
        g_linkIdle = TRUE;
    } else if (frame[B4] == SWITCH_OFF) {
        SetChecked(IDC_POWER, false);
        CloseStatusPopup();
        g_messageText = TEXT_POWER_OFF;
        ShowMessageDialog();
        g_linkIdle = TRUE;
    }
}

void CCorvaneDlg::OnSetPowerAcknowledged(const BYTE* frame) {
    if (frame[B6] == SWITCH_ON) {
        KillTimer(TIMER_POWER_ACK);
        KillTimer(SecondWait(TIMER_POWER_ACK));
        SetChecked(IDC_POWER, true);
        ArmTimer(TIMER_POWER_DONE);
        g_linkIdle = TRUE;
    } else if (frame[B6] == SWITCH_OFF) {
        SetChecked(IDC_POWER, false);
        g_linkIdle = TRUE;
    }
}

// The link stays taken until the reboot's close timer.
void CCorvaneDlg::OnRebootAcknowledged(const BYTE*) {
    KillTimer(TIMER_REBOOT_ACK);
    KillTimer(SecondWait(TIMER_REBOOT_ACK));
    SetChecked(IDC_POWER, true);
    ArmTimer(TIMER_REBOOT_DONE);
}

// The link stays taken until the reset's close timer.
void CCorvaneDlg::OnFactoryResetAcknowledged(const BYTE*) {
    KillTimer(TIMER_RESET_ACK);
    KillTimer(SecondWait(TIMER_RESET_ACK));
    SetChecked(IDC_BEEP, true);
    ArmTimer(TIMER_RESET_DONE);
}

void CCorvaneDlg::OnInputLinkReport1(const BYTE* frame) { StepStatusChain(0, frame); }

void CCorvaneDlg::OnOutputLinkReport(const BYTE* frame) { StepStatusChain(OUTPUT_STEP, frame); }

void CCorvaneDlg::OnInputLinkReport2(const BYTE* frame) { StepStatusChain(1, frame); }

void CCorvaneDlg::OnInputLinkReport3(const BYTE* frame) { StepStatusChain(2, frame); }

void CCorvaneDlg::OnInputLinkReport4(const BYTE* frame) { StepStatusChain(3, frame); }

void CCorvaneDlg::StepStatusChain(int step, const BYTE* frame) {
    const LinkStep& answered = STATUS_CHAIN[step];
    KillTimer(answered.timer);
    KillTimer(SecondWait(answered.timer));
    SetDlgItemText(answered.textId, frame[B6] == LINK_CONNECTED ? answered.connected : answered.disconnected);
    if (step == OUTPUT_STEP) {
        g_linkIdle = TRUE;
        CloseStatusPopup();
        return;
    }
    SendStatusQuery(step + 1);
}

void CCorvaneDlg::OnBeepReport(const BYTE* frame) { SetChecked(IDC_BEEP, frame[B6] == BEEP_REPORTED_ON); }

void CCorvaneDlg::OnSetBeepAcknowledged(const BYTE* frame) {
    if (frame[B4] == ACKNOWLEDGED) SetChecked(IDC_BEEP, frame[B6] == BEEP_ON_MARK);
}

// Controls

void CCorvaneDlg::SetChecked(int id, bool checked) {
    SendDlgItemMessage(id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

void CCorvaneDlg::SetCheckedFromSwitch(int id, BYTE value) {
    if (value == SWITCH_ON)
        SetChecked(id, true);
    else if (value == SWITCH_OFF)
        SetChecked(id, false);
}

void CCorvaneDlg::CheckSourcePort(BYTE input) {
    for (BYTE port = FIRST_INPUT; port <= LAST_INPUT; ++port) SetChecked(SOURCE_PORTS[port - FIRST_INPUT], port == input);
}

void CCorvaneDlg::ShowAudioMode(BYTE mode) { SetDlgItemText(IDC_EDID_STATE, AUDIO_MODE_NAMES[mode - FIRST_AUDIO_MODE]); }
