// The Upgrade page: sends a firmware image to the switcher block by block,
// with a progress bar and a message log, waits for the restarted device, and
// shows the device line and the two labels.
#pragma once

#include "core/FirmwareTransfer.h"
#include "framework/CDialog.h"
#include "framework/CEdit.h"
#include "framework/CProgressCtrl.h"

#include <cstdint>

// Timers of the page window. Block acknowledgements and the reboot wait:
constexpr UINT_PTR TIMER_MCU_BLOCK_ACK = 3002;
constexpr UINT_PTR TIMER_REBOOT_WAIT_FIRST = 3003;
constexpr UINT_PTR TIMER_REBOOT_WAIT_LAST = 3008;
constexpr UINT_PTR TIMER_FLASH_BLOCK_ACK = 3010;
// The progress bar catching up during a transfer.
constexpr UINT_PTR TIMER_PROGRESS_REPAINT = 3011;
// The start commands: a resend timer and the give-up timer after it.
constexpr UINT_PTR TIMER_MCU_START = 7016;
constexpr UINT_PTR TIMER_MCU_START_GIVE_UP = 7017;
constexpr UINT_PTR TIMER_MCU_ENTER = 7018;
constexpr UINT_PTR TIMER_FLASH_START = 7032;
constexpr UINT_PTR TIMER_FLASH_START_GIVE_UP = 7033;

class CFWDlg : public CDialog {
public:
    CFWDlg();

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnInitDialog() override;

    // A received frame whose check byte is right, while the page is shown.
    void HandleUpgradeReply(const BYTE* frame);

    CEdit m_editLabel1;
    CEdit m_editLabel2;

protected:
    void DoDataExchange();
    void OnClickedOpenOffPage();
    void OnClickedUpgrade();
    void OnTimer(UINT_PTR id);
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT colourMessage);
    void OnClickedOpenBin();
    void OnClickedSetLabels();

    DECLARE_MESSAGE_MAP()

private:
    // Where the blocks of the transfer under way come from and go.
    struct BlockRoute;
    BlockRoute CurrentRoute() const;

    // Shared by the concerns below.
    void SendToDevice(WPARAM sendKind) const;
    void ArmTimer(UINT_PTR id, UINT periodMs);
    void AppendLog(const wchar_t* text) const;
    void MarkFailed();
    void ShowProgress(int position);
    void ShowProgressNow(int position);
    void RepaintProgress();
    bool LoadImageFile(const std::wstring& path, const std::wstring& fileName);

    // The transfer.
    void BeginTransfer();
    void WriteMcuStart() const;
    void WriteFlashStart() const;
    void StartMcuTransfer();
    void ResendStartCommand(UINT_PTR id, void (CFWDlg::*writeCommand)() const);
    void GiveUpStart(UINT_PTR resendId, UINT_PTR giveUpId);
    void SendFirstBlock(UINT_PTR resendId, UINT_PTR giveUpId);
    void SendBlock(bool firstBlock);
    void SendNextBlock();
    void ResendBlock();
    void EndTransferFailed(bool markFailed);
    void CompleteTransfer();

    // The reboot wait.
    void StartRebootWait();
    void WriteRebootQuery() const;
    void ContinueRebootWait(UINT_PTR id);
    void TimeOutRebootWait();
    void EndRebootWait();

    // The device line and the labels.
    void HandleDeviceInfoReply(const BYTE* frame);
    void OnDeviceTypeReport(int deviceType);
    void SendDeviceQuery(std::uint8_t item) const;
    void HandleLabelReply(const BYTE* frame);
    void SendLabelCommand(std::uint8_t item) const;
    void OnLabelChunkStored(const BYTE* frame);
    void OnLastLabelChunkStored(const BYTE* frame);
    void OnFirstLabelChunkRead(const BYTE* frame);
    void OnSecondLabelChunkRead(const BYTE* frame);
    void OnThirdLabelChunkRead(const BYTE* frame);
    void OnLastLabelChunkRead(const BYTE* frame);

    CEdit m_log;
    CProgressCtrl m_progress;
    int m_nProgressToShow = 0;
    bool m_bProgressRepaintDue = false;
    FirmwareTransfer m_transfer;
};
