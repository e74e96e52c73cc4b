// The panel's main window.
#pragma once

#include "app/PanelMessages.h"
#include "core/FrameAssembler.h"
#include "core/SearchAnswer.h"
#include "core/StreamSendQueue.h"
#include "framework/CDialog.h"
#include "serial/CSerialPort.h"

#include <winsock2.h>

#include <string>

class CCorvaneDlg : public CDialog {
public:
    CCorvaneDlg();

    // Frame traffic: the one road of device frames into and out of the panel.
    // Completes the check byte in `data`, hands the bytes to the serial
    // worker or the TCP socket by the control mode, and logs them.
    void SendFrame(BYTE* data, int length);
    // The TCP read path: every whole frame in the bytes the socket brings.
    void ReceiveTcpBytes(SOCKET socket);
    // A new connection starts with no partly assembled frame. The serial
    // path notices a newly opened port by itself; the TCP connect calls
    // ResetTcpReceive (a new socket may get the handle of the old one).
    void ResetSerialReceive();
    void ResetTcpReceive();
    // Writes the frames logged so far into the two log edits. Code that
    // writes into a log edit itself calls this first, to keep the order.
    void UpdateLogs();

    // Control mode and the TCP connection (CCorvaneDlgTcp.cpp).
    void ApplyControlMode();
    // Ends the TCP connection: the socket is closed and forgotten.
    void DisconnectTcp();

    // Device search and IP configuration (CCorvaneDlgUdp.cpp); the timer
    // steps run from OnTimer.
    void OnSearchDone();
    void OnSearchDoneClose();
    void OnConfigTimeout();

    BYTE m_nPage = PAGE_GENERAL;
    CSerialPort m_serial;

protected:
    BOOL OnInitDialog() override;

    LRESULT OnSendRequest(WPARAM kind, LPARAM);
    LRESULT OnSerialByte(WPARAM byte, LPARAM port);
    void DispatchFrame(const BYTE* frame);
    void LogSent(const BYTE* data, int length);
    void LogReceived(const BYTE* frame);
    LRESULT OnUpdateLogs(WPARAM, LPARAM);
    // Reply handlers of the pages; each takes a 13-byte frame whose check
    // byte is right.
    virtual void HandleGeneralReply(const BYTE* frame);
    virtual void HandleEdidReply(const BYTE* frame);
    virtual void HandleMatrixReply(const BYTE* frame);
    virtual void HandleUpgradeReply(const BYTE* frame);

    void OnClickedComMode();
    void OnClickedTcpMode();
    void OnClickedConnectTcp();
    LRESULT OnTcpSocketEvent(WPARAM socket, LPARAM event);
    void OnClickedSearch();
    LRESULT OnSearchReply(WPARAM socket, LPARAM event);
    void OnSelEndOkSwitcherIp();
    void OnClickedConfig();
    void BroadcastConfig(const BYTE* packet, int length);
    LRESULT OnConfigReply(WPARAM socket, LPARAM event);
    void OnTimer(UINT_PTR id);

    // Frames handed over while the TCP socket could not take them; protected
    // so tests can watch a stalled device.
    StreamSendQueue m_tcpSendQueue;

    DECLARE_MESSAGE_MAP()

private:
    // What a log edit still has to show: its emptying by a 60th frame, then
    // the text of the frames logged after it.
    struct PendingLogText {
        bool emptyFirst = false;
        std::wstring text;
    };

    static FrameAssembler::State SerialReceiveState();
    void PrepareLogs();
    void AppendToLog(PendingLogText& pending, const std::wstring& text, int& frameCount);
    void WriteLog(int logId, PendingLogText& pending);
    void ClearLog(int logId);
    int ReadTcpBytes(SOCKET socket);
    void FeedTcpBytes();
    void SendTcpBytes(const BYTE* data, int length);
    void OnTcpConnected();
    void CloseTcpSocket();
    void ListDevice(const SearchAnswer& answer);
    void Broadcast(UINT port, UINT replyMessage, const BYTE* data, int length);
    void CloseUdpSocket();
    int ReceiveDatagram(WPARAM socket, LPARAM event, BYTE* buffer);
    // Removes this window's posted `message`s that have not been handled.
    void DiscardQueuedMessages(UINT message);

    // A configuration waits for its switcher to be listed again, then shows
    // its result until the search's done step closes the pop-up.
    enum class ConfigPhase { None, AwaitingDevice, Finishing };
    ConfigPhase m_configPhase = ConfigPhase::None;

    // The serial state is process-wide (g_rx...); the TCP state is the window's.
    FrameAssembler m_serialAssembler{SerialReceiveState()};
    FrameAssemblyStorage m_tcpAssembly;
    FrameAssembler m_tcpAssembler{m_tcpAssembly.Bind()};
    // Bytes of g_tcpRxBuffer already handed to the assembler.
    int m_nTcpBytesFed = 0;
    bool m_bFeedingTcpBytes = false;
    // The opening of the port the serial receive state belongs to.
    UINT m_nSerialOpenCount = 0;
    PendingLogText m_pendingReceiveLog;
    PendingLogText m_pendingSendLog;
    bool m_bLogUpdatePosted = false;
};
