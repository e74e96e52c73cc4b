// The main window's control mode and its TCP connection to a switcher on the
// LAN: the mode radios, the Connect button, the socket's notifications, and
// the queue that keeps frames whole when the socket takes only part of them.
//
// A closed socket is forgotten (INVALID_SOCKET) and its notifications still
// waiting in the queue are thrown away: Winsock hands out a closed socket's
// handle again, and an old FD_CONNECT or FD_CLOSE must not reach the new
// connection.
#include "app/CCorvaneDlg.h"

#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "core/CommandFrameBytes.h"
#include "core/RequestGate.h"
#include "res/resource.h"

#include <climits>
#include <string>

namespace {

constexpr u_short DEVICE_TCP_PORT = 8000;
constexpr long TCP_SOCKET_EVENTS = FD_READ | FD_WRITE | FD_OOB | FD_CONNECT | FD_CLOSE;
// A dotted IPv4 address.
constexpr std::size_t TARGET_TEXT_LIMIT = 15;
constexpr wchar_t LOW_BYTE = 0xFF;
constexpr LRESULT TCP_EVENT_HANDLED = 0;

long WriteToTcpSocket(const std::uint8_t* data, std::size_t length) {
    const int chunk = static_cast<int>(length < static_cast<std::size_t>(INT_MAX) ? length : INT_MAX);
    const int sent = ::send(g_tcpSocket, reinterpret_cast<const char*>(data), chunk, 0);
    if (sent != SOCKET_ERROR) return sent;
    return ::WSAGetLastError() == WSAEWOULDBLOCK ? StreamSendQueue::WRITE_WOULD_BLOCK : StreamSendQueue::WRITE_FAILED;
}

// The low byte of each character, as the address conversion wants it.
std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += static_cast<char>(c & LOW_BYTE);
    return narrow;
}

}  // namespace

// The radios are the only writers of the mode after start-up.
void CCorvaneDlg::OnClickedComMode() {
    g_controlMode = CONTROL_MODE_COM;
    ApplyControlMode();
}

void CCorvaneDlg::OnClickedTcpMode() {
    g_controlMode = CONTROL_MODE_TCP;
    ApplyControlMode();
}

void CCorvaneDlg::OnClickedConnectTcp() {
    if (g_tcpConnected) {
        DisconnectTcp();
        return;
    }
    CloseTcpSocket();
    const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, 0);
    if (socket == INVALID_SOCKET) return;
    if (::WSAAsyncSelect(socket, m_hWnd, WM_TCP_SOCKET, TCP_SOCKET_EVENTS) == SOCKET_ERROR) {
        ::closesocket(socket);
        return;
    }
    g_tcpSocket = socket;
    g_tcpTargetIp = GetDlgItemText(IDC_SWITCHER_IP_LIST).substr(0, TARGET_TEXT_LIMIT);
    sockaddr_in device{};
    device.sin_family = AF_INET;
    device.sin_addr.s_addr = ::inet_addr(Narrow(g_tcpTargetIp).c_str());
    device.sin_port = ::htons(DEVICE_TCP_PORT);
    // The outcome comes as FD_CONNECT; a connect that fails at once brings
    // none, and its socket goes.
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&device), sizeof device) == SOCKET_ERROR &&
        ::WSAGetLastError() != WSAEWOULDBLOCK) {
        CloseTcpSocket();
    }
}

LRESULT CCorvaneDlg::OnTcpSocketEvent(WPARAM socket, LPARAM event) {
    const SOCKET source = static_cast<SOCKET>(socket);
    if (source == INVALID_SOCKET || source != g_tcpSocket) return TCP_EVENT_HANDLED;
    switch (WSAGETSELECTEVENT(event)) {
    case FD_READ:
        ReceiveTcpBytes(source);
        break;
    case FD_WRITE:
        m_tcpSendQueue.Drain(WriteToTcpSocket);
        break;
    case FD_CONNECT:
        if (WSAGETSELECTERROR(event) == 0)
            OnTcpConnected();
        else
            CloseTcpSocket();
        break;
    case FD_CLOSE:
        // What the device sent before it closed is still read; a reply
        // handler's modal loop may meanwhile have made another connection.
        ReceiveTcpBytes(source);
        if (source == g_tcpSocket) DisconnectTcp();
        break;
    default:
        break;
    }
    return TCP_EVENT_HANDLED;
}

void CCorvaneDlg::OnTcpConnected() {
    g_tcpConnected = TRUE;
    SetDlgItemText(IDC_CONNECT_TCP, TEXT_DISCONNECT);
    ResetTcpReceive();
    // A request that waits for its answer owns g_commandFrame, which its
    // resend sends again: the query skips its turn, as the status poll does.
    if (!PollMayGoOn()) return;
    SendCommand(CommandFrameBytes::GROUP_SYSTEM, CommandFrameBytes::ITEM_POWER);
}

void CCorvaneDlg::DisconnectTcp() {
    g_tcpConnected = FALSE;
    CloseTcpSocket();
    SetDlgItemText(IDC_CONNECT_TCP, TEXT_CONNECT);
}

void CCorvaneDlg::CloseTcpSocket() {
    if (g_tcpSocket == INVALID_SOCKET) return;
    ::WSAAsyncSelect(g_tcpSocket, m_hWnd, 0, 0);
    ::closesocket(g_tcpSocket);
    g_tcpSocket = INVALID_SOCKET;
    m_tcpSendQueue.Clear();
    DiscardQueuedMessages(WM_TCP_SOCKET);
}

// Without a connection the frame has already been logged and goes nowhere.
// A socket whose connect is still pending may take it (WSAEWOULDBLOCK) and
// send it once connected, ahead of the power query; a broken one drops it.
void CCorvaneDlg::SendTcpBytes(const BYTE* data, int length) {
    if (!g_tcpConnected || g_tcpSocket == INVALID_SOCKET || length <= 0) return;
    m_tcpSendQueue.Send(data, static_cast<std::size_t>(length), WriteToTcpSocket);
}

void CCorvaneDlg::DiscardQueuedMessages(UINT message) {
    MSG queued;
    while (::PeekMessageW(&queued, m_hWnd, message, message, PM_REMOVE | PM_QS_POSTMESSAGE)) {
    }
}
