// The panel's main window. Its member functions are spread over files by
// concern: window and tabs (CCorvaneDlg.cpp, CCorvaneDlgTabs.cpp), timers,
// frame traffic, COM connection, control mode, TCP and UDP, General page.
#pragma once

#include "app/PanelMessages.h"
#include "controls/CIconButton.h"
#include "core/FrameAssembler.h"
#include "core/IpConfigPacket.h"
#include "core/SearchAnswer.h"
#include "core/StreamSendQueue.h"
#include "framework/CBrush.h"
#include "framework/CDialog.h"
#include "framework/CFont.h"
#include "serial/CSerialPort.h"
#include "serial/SSerInfo.h"

#include <winsock2.h>

#include <string>
#include <vector>

class CCorvaneDlg : public CDialog {
public:
    CCorvaneDlg();
    ~CCorvaneDlg() override;

    BOOL PreTranslateMessage(MSG* msg) override;

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

    // Pages: make `page` the shown page and send its first query.
    void ShowPage(BYTE page);
    // Shows the General controls or the child page of m_nPage.
    void ShowGeneralPage();
    // Enables the controls of the control mode in g_controlMode.
    void ApplyControlMode();
    // Ends the TCP connection: the socket is closed and forgotten.
    void DisconnectTcp();
    // One pass of the COM port list.
    void RefreshComPorts();

    HICON m_hWindowIcon = nullptr;
    CIconButton m_btnClose;
    CIconButton m_btnMinimize;
    CFont m_titleFont;
    std::wstring m_strTitle;
    CBrush m_brushBlue;
    CBrush m_brushFace;
    BYTE m_nPage = PAGE_GENERAL;
    CSerialPort m_serial;
    UINT m_nBaudRate = 115200;
    UINT m_nComPort = 0;
    wchar_t m_chParity = L'N';
    UINT m_nDataBits = 8;
    UINT m_nStopBits = 2;
    DWORD m_dwCommEvents = 3;

protected:
    BOOL OnInitDialog() override;

    // Window and tabs
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    BOOL OnEraseBkgnd(HDC dc);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT colourMessage);
    void OnLButtonDown(UINT flags, POINT point);
    void OnClickedClose();
    void OnClickedMinimize();
    void OnClickedTabGeneral();
    void OnClickedTabEdid();
    void OnClickedTabMatrix();
    void OnClickedTabUpgrade();

    // Timers
    void OnTimer(UINT_PTR id);
    // Arms a main-window timer with its period (through the timer seam).
    void ArmTimer(UINT_PTR id);

    // Frame traffic
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

    // COM connection
    void OnClickedConnectCom();
    LRESULT OnSerialFailed(WPARAM code, LPARAM);
    void UpdateComPortCombo(int count);
    // The machine's serial ports; tests put their own lists here.
    virtual void ListComPorts(std::vector<SSerInfo>& ports);
    // Starts the serial worker on the port just opened; tests make it fail.
    virtual bool StartSerialWorker();

    // Control mode, TCP and UDP
    void OnClickedComMode();
    void OnClickedTcpMode();
    void OnClickedConnectTcp();
    LRESULT OnTcpSocketEvent(WPARAM socket, LPARAM event);
    void OnClickedSearch();
    void OnClickedConfig();
    void OnSelEndOkSwitcherIp();
    LRESULT OnSearchReply(WPARAM socket, LPARAM event);
    void BroadcastConfig(const BYTE* packet, int length);
    LRESULT OnConfigReply(WPARAM socket, LPARAM event);
    // Frames handed over while the TCP socket could not take them; protected
    // so tests can watch a stalled device.
    StreamSendQueue m_tcpSendQueue;

    // General page
    void OnClickedPort1();
    void OnClickedPort2();
    void OnClickedPort3();
    void OnClickedPort4();
    void OnClickedSetEdid();
    void OnClickedAutoSwitch();
    void OnClickedArc();
    void OnSelChangeBaudRate();
    void OnClickedStatus();
    void OnClickedClearInfo();
    void OnClickedBeep();
    void OnClickedPower();
    void OnClickedReboot();
    void OnClickedFactoryReset();
    void OnClickedFactoryResetOffPage();
    void OnClickedClearLog();

    DECLARE_MESSAGE_MAP()

private:
    // What a log edit still has to show: its emptying by a 60th frame, then
    // the text of the frames logged after it.
    struct PendingLogText {
        bool emptyFirst = false;
        std::wstring text;
    };
    // The values the General settings sent last, which their acknowledgements
    // show: g_commandFrame may hold a poll query by the time they arrive.
    struct SentSettings {
        BYTE route = 0;
        BYTE edidMode = 0;
        BYTE autoSwitch = 0;
        BYTE arc = 0;
    };
    struct GeneralReplyRow;
    struct TimerRow;

    // Window and tabs
    void SetUpCaptionButtons();
    void PlaceCaptionButtonsAndTabs(int clientWidth, SIZE tab);
    void PaintWindow(HDC target, const RECT& client, SIZE tab);
    void SelectTab(BYTE page);
    SIZE TabSize() const;
    // The page of a tab static; 0 for any other control.
    BYTE TabPageOf(HWND control) const;
    CDialog* ChildPage(BYTE page) const;
    void CreateChildPage(CDialog& page, UINT templateId);
    void PlaceChildPage(CDialog& page, int top);
    // Takes the keyboard focus out of a control that the page change hid.
    void KeepFocusOnShownPage();
    // Builds a command in g_commandFrame and sends it.
    void SendCommand(BYTE group, BYTE item, BYTE b4 = 0, BYTE b6 = 0, BYTE b10 = 0);

    // Timers
    void ResendAndWait(UINT_PTR id);
    void EndWithTimeOut(UINT_PTR id);
    void EndReplyTimeOut(UINT_PTR id);
    void OnPortPollTimer(UINT_PTR id);
    void OnStatusPollTimer(UINT_PTR id);
    void FinishReset(UINT_PTR id);
    void FinishReboot(UINT_PTR id);
    void FinishPowerOn(UINT_PTR id);
    void ClosePowerOn(UINT_PTR id);
    void FinishSearch(UINT_PTR id);
    void CloseSearch(UINT_PTR id);
    void EndConfiguration(UINT_PTR id);
    void FinishAndArm(UINT_PTR id, const wchar_t* text);
    void CloseAndFreeLink(UINT_PTR id);

    // TCP and UDP
    void SendTcpBytes(const BYTE* data, int length);
    void OnTcpConnected();
    void CloseTcpSocket();
    void ListDevice(const SearchAnswer& answer);
    void Broadcast(UINT port, UINT replyMessage, const BYTE* data, int length);
    void CloseUdpSocket();
    void CloseConfigSocket();
    int ReceiveDatagram(WPARAM socket, LPARAM event, BYTE* buffer);
    // Removes this window's posted `message`s that have not been handled.
    void DiscardQueuedMessages(UINT message);

    // COM connection
    void CloseComPort();
    void EnableComLists(BOOL enable);

    // General page
    void FillGeneralLists();
    static BYTE SwitchValue(bool on);
    // Puts an auto check box back as it was before the click; returns
    // whether the click checked it.
    bool UndoClick(int id);
    void ClickSourcePort(BYTE input);
    void SendStatusQuery(int step);
    void SendFactoryReset();
    bool AskConfirmation(const wchar_t* question, bool confirmMode);
    bool PollMayGoOn() const;
    void QueryNextOfPoll(BYTE group, BYTE item, BYTE b4 = 0, BYTE b6 = 0);
    void CheckSourcePort(BYTE input);
    void SetChecked(int id, bool checked);
    void SetCheckedFromSwitch(int id, BYTE value);
    void ShowAudioMode(BYTE mode);
    void StepStatusChain(int step, const BYTE* frame);

    // HandleGeneralReply's rows, in their order
    void OnRouteReport(const BYTE* frame);
    void OnEdidModeReport(const BYTE* frame);
    void OnAutoSwitchReport(const BYTE* frame);
    void OnArcReport(const BYTE* frame);
    void OnSetArcAcknowledged(const BYTE* frame);
    void OnSetAutoSwitchAcknowledged(const BYTE* frame);
    void OnSetRouteAcknowledged(const BYTE* frame);
    void OnSetEdidModeAcknowledged(const BYTE* frame);
    void OnPowerReport(const BYTE* frame);
    void OnSetPowerAcknowledged(const BYTE* frame);
    void OnRebootAcknowledged(const BYTE* frame);
    void OnFactoryResetAcknowledged(const BYTE* frame);
    void OnInputLinkReport1(const BYTE* frame);
    void OnOutputLinkReport(const BYTE* frame);
    void OnInputLinkReport2(const BYTE* frame);
    void OnInputLinkReport3(const BYTE* frame);
    void OnInputLinkReport4(const BYTE* frame);
    void OnBeepReport(const BYTE* frame);
    void OnSetBeepAcknowledged(const BYTE* frame);

    // Frame traffic
    static FrameAssembler::State SerialReceiveState();
    void PrepareLogs();
    void AppendToLog(PendingLogText& pending, const std::wstring& text, int& frameCount);
    void SendWaitingFrames();
    void WriteLog(int logId, PendingLogText& pending);
    void ClearLog(int logId);
    int ReadTcpBytes(SOCKET socket);
    void FeedTcpBytes();

    SentSettings m_sentSettings;
    // A configuration waits for its switcher to accept, then for it to be
    // listed again, then shows its result until the search's done steps
    // close the pop-up.
    enum class ConfigPhase { None, AwaitingAnswer, AwaitingDevice, Finishing };
    ConfigPhase m_configPhase = ConfigPhase::None;
    IpConfigPacket::Bytes m_configPacket{};
    // The port the UDP socket is bound to; NO_UDP_PORT while it is closed.
    static constexpr UINT NO_UDP_PORT = 0;
    UINT m_udpPort = NO_UDP_PORT;

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
