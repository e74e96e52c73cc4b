// The main window's device search and IP configuration over UDP: one socket,
// made again for each operation, broadcasts the request and reads the
// answers; the search lists the switchers it finds, and a configuration
// accepted by its switcher is confirmed by the search that follows.
//
// Anyone on the network may send to these ports: only the bytes a receive
// returns are read, and an error or an empty datagram does nothing. The
// switcher a configuration goes to is the item the list shows when the
// dialog opens.
#include "app/CCorvaneDlg.h"

#include "app/MainWindowTimers.h"
#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "core/HexLogFormatter.h"
#include "core/IpConfigPacket.h"
#include "core/SearchAnswer.h"
#include "pages/Popups.h"
#include "res/resource.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr const wchar_t* BIND_ADDRESS = L"0.0.0.0";
constexpr const wchar_t* BROADCAST_ADDRESS = L"255.255.255.255";
constexpr LRESULT DATAGRAM_HANDLED = 0;
constexpr int NO_DATAGRAM = 0;
constexpr const wchar_t* TEXT_CONFIGURING = L"Configuring";

}  // namespace

void CCorvaneDlg::OnClickedSearch() {
    SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_RESETCONTENT);
    g_foundDeviceCount = 0;
    DisconnectTcp();
    const BYTE request = SearchAnswer::SEARCH_REQUEST;
    Broadcast(SearchAnswer::SEARCH_PORT, WM_SEARCH_REPLY, &request, sizeof request);
}

LRESULT CCorvaneDlg::OnSearchReply(WPARAM socket, LPARAM event) {
    const int count = ReceiveDatagram(socket, event, g_searchReplyBuffer);
    if (count == NO_DATAGRAM) return DATAGRAM_HANDLED;
    UpdateLogs();
    const std::wstring text = HexLogFormatter::FormatDatagram(g_searchReplyBuffer, static_cast<std::size_t>(count));
    SendDlgItemMessage(IDC_RECEIVE_LOG, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    const std::optional<SearchAnswer> answer = SearchAnswer::Parse(g_searchReplyBuffer, static_cast<std::size_t>(count));
    if (!answer) return DATAGRAM_HANDLED;
    g_lastFoundMac = answer->MacText();
    if (answer->hasMarker) ListDevice(*answer);
    return DATAGRAM_HANDLED;
}

// One search lists as many switchers as the device table holds; later
// answers are only logged. Only the switcher a configuration went to ends
// its wait.
void CCorvaneDlg::ListDevice(const SearchAnswer& answer) {
    const LRESULT listed = SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_GETCOUNT);
    if (listed < 0 || listed >= static_cast<LRESULT>(FOUND_DEVICE_CAPACITY)) return;
    const std::wstring address = answer.AddressText();
    SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(address.c_str()));
    g_foundDeviceMacs[static_cast<std::size_t>(listed)] = g_lastFoundMac;
    g_foundDeviceCount = static_cast<BYTE>(listed + 1);
    // Later switchers leave the operator's choice as it is.
    if (listed == 0) {
        SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_SETCURSEL, 0);
        OnSelEndOkSwitcherIp();
    }
    ArmTimer(TIMER_SEARCH_DONE);
    if (m_configPhase == ConfigPhase::AwaitingDevice && IpConfigPacket::ConfiguresDevice(m_configPacket, answer.mac)) {
        KillTimer(TIMER_CONFIG_TIMEOUT);
        // A close step of an earlier round may still be pending: the pop-up
        // closes only after it has shown the result.
        KillTimer(TIMER_SEARCH_CLOSE);
        m_configPhase = ConfigPhase::Finishing;
    }
}

// Also what the first listed switcher selects: the item shown.
void CCorvaneDlg::OnSelEndOkSwitcherIp() {
    const LRESULT shown = SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_GETCURSEL);
    const LRESULT listed = SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_GETCOUNT);
    if (shown < 0 || shown >= listed || shown >= static_cast<LRESULT>(FOUND_DEVICE_CAPACITY)) return;
    const LRESULT length = SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_GETLBTEXTLEN, static_cast<WPARAM>(shown));
    std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
    SendDlgItemMessage(IDC_SWITCHER_IP_LIST, CB_GETLBTEXT, static_cast<WPARAM>(shown),
                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::wcslen(text.c_str()));
    g_selectedIpOctets = SearchAnswer::SplitAddressText(text);
    const std::wstring& mac = g_foundDeviceMacs[static_cast<std::size_t>(shown)];
    for (std::size_t k = 0; k < MAC_PAIR_COUNT; ++k) g_selectedMacPairs[k] = SearchAnswer::MacPairOf(mac, k);
}

// The packet goes to the switcher the dialog was opened on, whatever the
// list selects meanwhile. The busy pop-up stays up until that switcher
// accepts and is listed again with its new settings, or until the time-out.
void CCorvaneDlg::OnClickedConfig() {
    const IpConfigPacket::MacPairs target = g_selectedMacPairs;
    if (g_configIpDlg.DoModal() != IDOK) return;
    m_configPacket = IpConfigPacket::Build(target, g_enteredMacPairs, g_enteredIpOctets, g_staticIpMode != FALSE);
    BroadcastConfig(m_configPacket.data(), static_cast<int>(m_configPacket.size()));
    ArmTimer(TIMER_CONFIG_TIMEOUT);
    m_configPhase = ConfigPhase::AwaitingAnswer;
    g_statusText = TEXT_CONFIGURING;
    ShowStatusPopup();
}

void CCorvaneDlg::BroadcastConfig(const BYTE* packet, int length) {
    Broadcast(IpConfigPacket::CONFIG_PORT, WM_CONFIG_REPLY, packet, length);
}

// Anyone may send an accepted answer at any time: only a configuration that
// waits for one takes it. The switcher restarts its network before it
// answers the search that follows, so the time-out starts afresh.
LRESULT CCorvaneDlg::OnConfigReply(WPARAM socket, LPARAM event) {
    const int count = ReceiveDatagram(socket, event, g_configReplyBuffer);
    if (m_configPhase != ConfigPhase::AwaitingAnswer ||
        !IpConfigPacket::IsAcceptedAnswer(g_configReplyBuffer, static_cast<std::size_t>(count))) {
        return DATAGRAM_HANDLED;
    }
    m_configPhase = ConfigPhase::AwaitingDevice;
    ArmTimer(TIMER_CONFIG_TIMEOUT);
    OnClickedSearch();
    return DATAGRAM_HANDLED;
}

// Stops silently when the socket cannot be made or set up.
void CCorvaneDlg::Broadcast(UINT port, UINT replyMessage, const BYTE* data, int length) {
    CloseUdpSocket();
    if (!g_udpSocket.Create(port, SOCK_DGRAM, BIND_ADDRESS)) return;
    m_udpPort = port;
    const BOOL broadcast = TRUE;
    if (::setsockopt(g_udpSocket.m_hSocket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&broadcast),
                     sizeof broadcast) == SOCKET_ERROR ||
        ::WSAAsyncSelect(g_udpSocket.m_hSocket, m_hWnd, replyMessage, FD_READ) == SOCKET_ERROR) {
        CloseUdpSocket();
        return;
    }
    g_udpSocket.SendTo(data, length, port, BROADCAST_ADDRESS);
}

void CCorvaneDlg::CloseUdpSocket() {
    if (g_udpSocket.m_hSocket == INVALID_SOCKET) return;
    ::WSAAsyncSelect(g_udpSocket.m_hSocket, m_hWnd, 0, 0);
    g_udpSocket.Close();
    m_udpPort = NO_UDP_PORT;
    DiscardQueuedMessages(WM_SEARCH_REPLY);
    DiscardQueuedMessages(WM_CONFIG_REPLY);
}

// A search the operator started meanwhile keeps its socket.
void CCorvaneDlg::CloseConfigSocket() {
    if (m_udpPort == IpConfigPacket::CONFIG_PORT) CloseUdpSocket();
}

// One datagram of the current socket into `buffer` (cleared first); its
// length, or NO_DATAGRAM.
int CCorvaneDlg::ReceiveDatagram(WPARAM socket, LPARAM event, BYTE* buffer) {
    const SOCKET source = static_cast<SOCKET>(socket);
    if (source == INVALID_SOCKET || source != g_udpSocket.m_hSocket || WSAGETSELECTEVENT(event) != FD_READ) {
        return NO_DATAGRAM;
    }
    BYTE datagram[UDP_REPLY_BUFFER_LENGTH];
    const int count = g_udpSocket.Receive(datagram, sizeof datagram);
    if (count <= 0) return NO_DATAGRAM;
    std::memset(buffer, 0, UDP_REPLY_BUFFER_LENGTH);
    std::memcpy(buffer, datagram, static_cast<std::size_t>(count));
    return count;
}
