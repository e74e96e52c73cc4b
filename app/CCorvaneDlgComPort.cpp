// The COM connection: the port list that follows the machine's serial ports
// while no port is open, and opening and closing the selected port.
#include "app/CCorvaneDlg.h"

#include "app/MainWindowTimers.h"
#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "core/ComPortList.h"
#include "core/CommandFrameBytes.h"
#include "core/RequestGate.h"
#include "pages/Popups.h"
#include "res/resource.h"
#include "serial/CPortListError.h"
#include "serial/ListSerialPorts.h"

#include <cstring>

namespace {

using namespace CommandFrameBytes;

constexpr std::size_t ITEM_PREFIX_LENGTH = 3;  // "COM"
constexpr LRESULT SERIAL_FAILURE_HANDLED = 1;

constexpr BYTE OUTPUT_A = 0x01;

std::wstring WithoutItemPrefix(const std::wstring& item) {
    return item.size() > ITEM_PREFIX_LENGTH ? item.substr(ITEM_PREFIX_LENGTH) : std::wstring();
}

}  // namespace

void CCorvaneDlg::ListComPorts(std::vector<SSerInfo>& ports) { ListSerialPorts(ports); }

// A failed enumeration leaves the list as it was; the next pass tries again.
void CCorvaneDlg::RefreshComPorts() {
    std::vector<SSerInfo> ports;
    try {
        ListComPorts(ports);
    } catch (const CPortListError&) {
        return;
    }
    int count = 0;
    for (const SSerInfo& port : ports) {
        if (count == ComPortList::MAX_PORTS) break;
        const std::optional<BYTE> number = ComPortList::ListedPortNumber(port.friendlyName);
        if (number) g_newComPorts[count++] = *number;
    }
    UpdateComPortCombo(count);
    g_lastComPortCount = count;
    std::memcpy(g_lastComPorts, g_newComPorts, static_cast<std::size_t>(count));
}

void CCorvaneDlg::UpdateComPortCombo(int count) {
    ComPortList::SortPortNumbers(g_newComPorts, count);
    const auto selected = static_cast<int>(SendDlgItemMessage(IDC_COM_PORT_LIST, CB_GETCURSEL));
    const ComPortList::ComboState combo{g_lastComPorts, g_lastComPortCount, GetDlgItemText(IDC_COM_PORT_LIST),
                                        selected};
    using Action = ComPortList::ComboStep::Action;
    for (const ComPortList::ComboStep& step : ComPortList::PlanComboUpdate(g_newComPorts, count, combo)) {
        switch (step.action) {
        case Action::Reset:
            SendDlgItemMessage(IDC_COM_PORT_LIST, CB_RESETCONTENT);
            break;
        case Action::Delete:
            SendDlgItemMessage(IDC_COM_PORT_LIST, CB_DELETESTRING, static_cast<WPARAM>(step.position));
            break;
        case Action::Insert: {
            const std::wstring item = ComPortList::PortItemText(step.number);
            SendDlgItemMessage(IDC_COM_PORT_LIST, CB_INSERTSTRING, static_cast<WPARAM>(step.position),
                               reinterpret_cast<LPARAM>(item.c_str()));
            break;
        }
        case Action::Select:
            SendDlgItemMessage(IDC_COM_PORT_LIST, CB_SETCURSEL, static_cast<WPARAM>(step.position));
            break;
        }
    }
    if (count == 0) std::memset(g_lastComPorts, 0, COM_PORT_LIST_LENGTH);
}

void CCorvaneDlg::OnClickedConnectCom() {
    if (g_app.m_bComPortOpen) {
        CloseComPort();
        return;
    }
    m_nComPort = ComPortList::ParsePortNumber(WithoutItemPrefix(GetDlgItemText(IDC_COM_PORT_LIST)));
    // Without its worker the port would take every request and answer none.
    // The port list and its refresh stay as they were before the press.
    if (!m_serial.OpenPort(this, m_nComPort, m_nBaudRate, m_chParity, m_nDataBits, m_nStopBits, m_dwCommEvents) ||
        !StartSerialWorker()) {
        m_serial.ClosePort();
        g_messageText = TEXT_OPEN_COM_FAILED;
        ShowMessageDialog();
        return;
    }
    SetDlgItemText(IDC_CONNECT_COM, TEXT_DISCONNECT);
    g_app.m_bComPortOpen = TRUE;
    KillTimer(TIMER_PORT_POLL);
    EnableComLists(FALSE);
    SendCommand(GROUP_ROUTING, ITEM_ROUTE, OUTPUT_A);
    ArmTimer(TIMER_STATUS_POLL);
    g_linkIdle = TRUE;
}

bool CCorvaneDlg::StartSerialWorker() { return m_serial.StartWorker(); }

LRESULT CCorvaneDlg::OnSerialFailed(WPARAM code, LPARAM) {
    if (code == SERIAL_FAILURE_CODE) CloseComPort();
    return SERIAL_FAILURE_HANDLED;
}

// The worker closes the port when it sees the stop event.
void CCorvaneDlg::CloseComPort() {
    ::SetEvent(m_serial.m_hStopEvent);
    g_app.m_bComPortOpen = FALSE;
    SetDlgItemText(IDC_CONNECT_COM, TEXT_CONNECT);
    ArmTimer(TIMER_PORT_POLL);
    EnableComLists(TRUE);
}

void CCorvaneDlg::EnableComLists(BOOL enable) {
    ::EnableWindow(GetDlgItem(IDC_COM_PORT_LIST), enable);
    ::EnableWindow(GetDlgItem(IDC_BAUD_RATE_LIST), enable);
}
