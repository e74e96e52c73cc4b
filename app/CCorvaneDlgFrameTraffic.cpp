// The main window's frame traffic: frames out to the serial worker or the TCP
// socket, frames in from either, the two hexadecimal logs, and the hand-over
// of each received frame to the page that is shown.
#include "app/CCorvaneDlg.h"

#include "app/ProcessState.h"
#include "core/DeviceFrame.h"
#include "core/HexLogFormatter.h"
#include "res/resource.h"

#include <cstring>

namespace {

constexpr int COMMAND_LENGTH = static_cast<int>(DeviceFrame::COMMAND_FRAME_LENGTH);
constexpr int MCU_BLOCK_LENGTH = static_cast<int>(DeviceFrame::MCU_DATA_FRAME_LENGTH);
constexpr int FLASH_BLOCK_LENGTH = static_cast<int>(DeviceFrame::FLASH_DATA_FRAME_LENGTH);
constexpr int EDID_BLOCK_LENGTH = static_cast<int>(DeviceFrame::EDID_BLOCK_LENGTH);
constexpr LRESULT SEND_REQUEST_HANDLED = 1;
constexpr LRESULT SERIAL_BYTE_HANDLED = 1;
// EM_SETLIMITTEXT with 0 gives a multi-line edit the largest limit there is.
constexpr WPARAM LARGEST_TEXT_LIMIT = 0;

}  // namespace

FrameAssembler::State CCorvaneDlg::SerialReceiveState() {
    return {g_rxCollect, g_rxCollectLength, g_rxInFrame, g_rxFrame, g_rxFramePosition};
}

void CCorvaneDlg::PrepareLogs() {
    SendDlgItemMessage(IDC_RECEIVE_LOG, EM_SETLIMITTEXT, LARGEST_TEXT_LIMIT);
    SendDlgItemMessage(IDC_SEND_LOG, EM_SETLIMITTEXT, LARGEST_TEXT_LIMIT);
}

LRESULT CCorvaneDlg::OnSendRequest(WPARAM kind, LPARAM) {
    switch (kind) {
    case SEND_EDID_COMMAND:
    case SEND_MATRIX_COMMAND:
    case SEND_UPGRADE_COMMAND:
        SendFrame(g_commandFrame, COMMAND_LENGTH);
        break;
    case SEND_EDID_BLOCK:
        SendFrame(g_edidBlock, EDID_BLOCK_LENGTH);
        break;
    case SEND_MCU_BLOCK:
        SendFrame(g_mcuDataFrame, MCU_BLOCK_LENGTH);
        break;
    case SEND_FLASH_BLOCK:
        SendFrame(g_flashDataFrame, FLASH_BLOCK_LENGTH);
        break;
    case SEND_STOP_REPLY_TIMER:
        KillTimer(TIMER_REPLY_TIMEOUT);
        break;
    default:
        break;
    }
    return SEND_REQUEST_HANDLED;
}

// With no open port the worker that would write the frame is not running:
// the frame is logged and goes nowhere.
void CCorvaneDlg::SendFrame(BYTE* data, int length) {
    DeviceFrame::SetCheckByte(data, static_cast<std::size_t>(length));
    if (SendDlgItemMessage(IDC_COM_MODE, BM_GETCHECK) == BST_CHECKED)
        m_serial.QueueFrame(data, static_cast<DWORD>(length));
    else
        SendTcpBytes(data, length);
    LogSent(data, length);
}

LRESULT CCorvaneDlg::OnSerialByte(WPARAM byte, LPARAM) {
    if (m_serial.OpenCount() != m_nSerialOpenCount) {
        m_nSerialOpenCount = m_serial.OpenCount();
        ResetSerialReceive();
    }
    FrameAssembler::Frame frame{};
    if (m_serialAssembler.Push(static_cast<BYTE>(byte & 0xFF), frame)) DispatchFrame(frame.data());
    return SERIAL_BYTE_HANDLED;
}

void CCorvaneDlg::ResetSerialReceive() { m_serialAssembler.Reset(); }

void CCorvaneDlg::ResetTcpReceive() {
    m_tcpAssembler.Reset();
    g_tcpRxLength = 0;
    m_nTcpBytesFed = 0;
}

// Bytes wait in g_tcpRxBuffer until the assembler has taken them. A reply
// handler may run a modal box whose loop brings the next read; that read only
// adds its bytes behind the ones still waiting, so frames keep their order.
void CCorvaneDlg::ReceiveTcpBytes(SOCKET socket) {
    if (ReadTcpBytes(socket) <= 0 || m_bFeedingTcpBytes) return;
    m_bFeedingTcpBytes = true;
    u_long waiting = 0;
    do {
        FeedTcpBytes();
    } while (::ioctlsocket(socket, FIONREAD, &waiting) == 0 && waiting > 0 && ReadTcpBytes(socket) > 0);
    m_bFeedingTcpBytes = false;
}

// Takes at most the room left in the accumulator; whatever stays in the socket
// comes with the next read.
int CCorvaneDlg::ReadTcpBytes(SOCKET socket) {
    const int room = static_cast<int>(TCP_RX_BUFFER_LENGTH) - g_tcpRxLength;
    if (room <= 0) return 0;
    const int received = ::recv(socket, reinterpret_cast<char*>(g_tcpRxBuffer) + g_tcpRxLength, room, 0);
    if (received > 0) g_tcpRxLength += received;
    return received;
}

void CCorvaneDlg::FeedTcpBytes() {
    FrameAssembler::Frame frame{};
    while (m_nTcpBytesFed < g_tcpRxLength) {
        if (m_tcpAssembler.Push(g_tcpRxBuffer[m_nTcpBytesFed++], frame)) DispatchFrame(frame.data());
    }
    g_tcpRxLength = 0;
    m_nTcpBytesFed = 0;
    std::memset(g_tcpRxBuffer, 0, TCP_RX_BUFFER_LENGTH);
}

void CCorvaneDlg::DispatchFrame(const BYTE* frame) {
    LogReceived(frame);
    if (!DeviceFrame::IsCheckByteValid(frame)) return;
    switch (m_nPage) {
    case PAGE_MATRIX:
        HandleMatrixReply(frame);
        break;
    case PAGE_EDID:
        HandleEdidReply(frame);
        break;
    case PAGE_UPGRADE:
        HandleUpgradeReply(frame);
        break;
    case PAGE_GENERAL:
        HandleGeneralReply(frame);
        break;
    default:
        break;
    }
}

void CCorvaneDlg::LogSent(const BYTE* data, int length) {
    AppendToLog(m_pendingSendLog,
                HexLogFormatter::FormatSent(data, static_cast<std::size_t>(length), g_sentLogByteCount),
                g_sentLogFrameCount);
}

void CCorvaneDlg::LogReceived(const BYTE* frame) {
    AppendToLog(m_pendingReceiveLog, HexLogFormatter::FormatReceived(frame), g_receivedLogFrameCount);
}

// An edit update costs far more than assembling a frame, so the logs are not
// written frame by frame: the frames of one burst reach the edits together,
// once the burst has been handled and the window's queue comes round to the
// posted update. The text is the same as if each frame had been written alone.
void CCorvaneDlg::AppendToLog(PendingLogText& pending, const std::wstring& text, int& frameCount) {
    if (HexLogFormatter::CountFrame(frameCount)) {
        pending.emptyFirst = true;
        pending.text.clear();
    } else {
        pending.text += text;
    }
    if (!m_bLogUpdatePosted) m_bLogUpdatePosted = PostMessage(WM_UPDATE_LOGS) != FALSE;
}

LRESULT CCorvaneDlg::OnUpdateLogs(WPARAM, LPARAM) {
    SendWaitingFrames();
    m_bLogUpdatePosted = false;
    UpdateLogs();
    return 0;
}

// A page that answers a reply posts its next frame behind the update the
// reply asked for; an edit update takes milliseconds, so the frames waiting
// go out first, in their order, and are logged with this update, not with
// one more posted for them.
void CCorvaneDlg::SendWaitingFrames() {
    MSG waiting;
    while (::PeekMessageW(&waiting, m_hWnd, WM_SEND_REQUEST, WM_SEND_REQUEST, PM_REMOVE | PM_QS_POSTMESSAGE))
        ::DispatchMessageW(&waiting);
}

void CCorvaneDlg::UpdateLogs() {
    WriteLog(IDC_RECEIVE_LOG, m_pendingReceiveLog);
    WriteLog(IDC_SEND_LOG, m_pendingSendLog);
}

void CCorvaneDlg::WriteLog(int logId, PendingLogText& pending) {
    if (pending.emptyFirst) ClearLog(logId);
    if (!pending.text.empty())
        SendDlgItemMessage(logId, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(pending.text.c_str()));
    pending = PendingLogText{};
}

void CCorvaneDlg::ClearLog(int logId) {
    SendDlgItemMessage(logId, EM_SETSEL, 0, -1);
    SendDlgItemMessage(logId, EM_SCROLLCARET);
    SendDlgItemMessage(logId, WM_CLEAR);
}

void CCorvaneDlg::HandleEdidReply(const BYTE* frame) { g_edidDlg.HandleEdidReply(frame); }

void CCorvaneDlg::HandleMatrixReply(const BYTE* frame) { g_matrixDlg.HandleMatrixReply(frame); }

void CCorvaneDlg::HandleUpgradeReply(const BYTE* frame) { g_fwDlg.HandleUpgradeReply(frame); }
