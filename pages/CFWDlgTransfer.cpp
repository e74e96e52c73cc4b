// The Upgrade page's firmware transfer: the start commands with their resends,
// the blocks and their acknowledgements, the time-outs, and the reboot wait
// after a completed transfer.
#include "pages/CFWDlg.h"

#include "app/BeginRequest.h"
#include "app/PanelMessages.h"
#include "app/ProcessState.h"
#include "core/CommandFrameBytes.h"
#include "core/DeviceFrame.h"
#include "pages/Popups.h"
#include "res/resource.h"

namespace {

using namespace CommandFrameBytes;

using FirmwareImageRules::ImageKind;
using Step = FirmwareTransfer::Step;

constexpr const wchar_t* TEXT_NO_FILE = L"No file(.bin)!";
constexpr const wchar_t* LOG_UPGRADING_MCU = L"->Upgrading MCU...\r\n";
constexpr const wchar_t* LOG_UPGRADING_FLASH = L"->Upgrading Flash...\r\n";
constexpr const wchar_t* LOG_REBOOTING = L"->System rebooting, please wait...\r\n";
constexpr const wchar_t* LOG_MCU_FAILED = L"->MCU upgrade failed\r\n";
constexpr const wchar_t* LOG_FLASH_FAILED = L"->Flash upgrade failed\r\n";

constexpr UINT START_FIRST_WAIT_MS = 3000;
constexpr UINT START_RESEND_PERIOD_MS = 300;
constexpr UINT START_GIVE_UP_MS = 16000;
constexpr UINT BLOCK_ACK_WAIT_MS = 3000;
constexpr UINT REBOOT_QUERY_PERIOD_MS = 6000;

// QueryDeviceType of the reboot wait: CC in b10 and b11.
constexpr std::uint8_t REBOOT_QUERY_PARAMETERS[DeviceFrame::COMMAND_PARAMETER_COUNT] = {0, 0, 0, 0, 0, 0, 0xCC, 0xCC};

}  // namespace

struct CFWDlg::BlockRoute {
    int& offset;
    int imageLength;
    std::size_t blockSize;
    UINT_PTR ackTimer;
    const wchar_t* failedText;
};

CFWDlg::BlockRoute CFWDlg::CurrentRoute() const {
    if (m_transfer.Kind() == ImageKind::Flash)
        return {g_flashOffset, g_flashImageLength, DeviceFrame::FLASH_BLOCK_SIZE, TIMER_FLASH_BLOCK_ACK,
                LOG_FLASH_FAILED};
    return {g_mcuOffset, g_mcuImageLength, DeviceFrame::MCU_BLOCK_SIZE, TIMER_MCU_BLOCK_ACK, LOG_MCU_FAILED};
}

void CFWDlg::OnClickedUpgrade() {
    if (!BeginRequest()) return;
    if (GetDlgItemText(IDC_UPGRADE_PATH).empty()) {
        g_messageText = TEXT_NO_FILE;
        ShowMessageDialog();
        g_linkIdle = TRUE;
        return;
    }
    BeginTransfer();
}

// A new transfer ends a reboot wait still running: its last timer would
// otherwise give the link back and zero the new transfer's offset.
void CFWDlg::BeginTransfer() {
    EndRebootWait();
    g_upgradeFailed = FALSE;
    m_log.Invalidate();
    m_log.SetWindowText(L"");
    m_transfer.Begin(g_isFlashImage ? ImageKind::Flash : ImageKind::Mcu);
    if (g_isFlashImage) {
        WriteFlashStart();
        AppendLog(LOG_UPGRADING_FLASH);
        SendToDevice(SEND_UPGRADE_COMMAND);
        ArmTimer(TIMER_FLASH_START, START_FIRST_WAIT_MS);
        ArmTimer(TIMER_FLASH_START_GIVE_UP, START_GIVE_UP_MS);
        return;
    }
    DeviceFrame::BuildCommandFrame(g_commandFrame, GROUP_SYSTEM, ITEM_MCU_ENTER);
    AppendLog(LOG_UPGRADING_MCU);
    SendToDevice(SEND_UPGRADE_COMMAND);
    ArmTimer(TIMER_MCU_ENTER, START_FIRST_WAIT_MS);
}

void CFWDlg::WriteMcuStart() const { DeviceFrame::BuildCommandFrame(g_commandFrame, GROUP_SYSTEM, ITEM_MCU_START); }

void CFWDlg::WriteFlashStart() const {
    const std::uint8_t flashNumber = static_cast<std::uint8_t>(g_flashNumber & 0xFF);
    DeviceFrame::BuildCommandFrame(g_commandFrame, GROUP_FLASH, ITEM_FLASH_ENTER, &flashNumber, 1);
}

void CFWDlg::StartMcuTransfer() {
    WriteMcuStart();
    SendToDevice(SEND_UPGRADE_COMMAND);
    ArmTimer(TIMER_MCU_START, START_FIRST_WAIT_MS);
    ArmTimer(TIMER_MCU_START_GIVE_UP, START_GIVE_UP_MS);
    m_transfer.McuStartSent();
}

// The command is written again: since it first went out, g_commandFrame may
// have carried another page's command.
void CFWDlg::ResendStartCommand(UINT_PTR id, void (CFWDlg::*writeCommand)() const) {
    KillTimer(id);
    (this->*writeCommand)();
    SendToDevice(SEND_UPGRADE_COMMAND);
    ArmTimer(id, START_RESEND_PERIOD_MS);
}

void CFWDlg::GiveUpStart(UINT_PTR resendId, UINT_PTR giveUpId) {
    KillTimer(resendId);
    KillTimer(giveUpId);
    EndTransferFailed(true);
}

void CFWDlg::HandleUpgradeReply(const BYTE* frame) {
    switch (m_transfer.Decide(frame)) {
    case Step::Labels:
        HandleLabelReply(frame);
        break;
    case Step::DeviceInfo:
        HandleDeviceInfoReply(frame);
        break;
    case Step::StartMcuTransfer:
        KillTimer(TIMER_MCU_ENTER);
        StartMcuTransfer();
        break;
    case Step::SendFirstMcuBlock:
        SendFirstBlock(TIMER_MCU_START, TIMER_MCU_START_GIVE_UP);
        break;
    case Step::SendFirstFlashBlock:
        SendFirstBlock(TIMER_FLASH_START, TIMER_FLASH_START_GIVE_UP);
        break;
    case Step::SendNextBlock:
        SendNextBlock();
        break;
    case Step::ResendBlock:
        ResendBlock();
        break;
    case Step::BlockFailed:
        EndTransferFailed(false);
        break;
    case Step::TransferDone:
        CompleteTransfer();
        break;
    case Step::Ignore:
        break;
    }
}

// Each transfer starts at offset 0 with the last-block flag 00.
void CFWDlg::SendFirstBlock(UINT_PTR resendId, UINT_PTR giveUpId) {
    KillTimer(resendId);
    KillTimer(giveUpId);
    CurrentRoute().offset = 0;
    SendBlock(true);
}

// Flash blocks wait for their acknowledgement as MCU blocks do, on a timer
// of their own: without one a silent device would hold the link for ever.
// The timer is armed before the block is handed over: the serial worker
// writes the block only once this handler has returned.
void CFWDlg::SendBlock(bool firstBlock) {
    const BlockRoute route = CurrentRoute();
    BYTE* frame = g_mcuDataFrame;
    WPARAM sendKind = SEND_MCU_BLOCK;
    const auto offset = static_cast<std::size_t>(route.offset);
    const auto length = static_cast<std::size_t>(route.imageLength);
    if (m_transfer.Kind() == ImageKind::Flash) {
        frame = g_flashDataFrame;
        sendKind = SEND_FLASH_BLOCK;
        DeviceFrame::BuildFlashDataFrame(frame, g_flashImageBuffer, length, offset, firstBlock);
    } else {
        DeviceFrame::BuildMcuDataFrame(frame, g_mcuImageBuffer, length, offset, firstBlock);
    }
    // A flash block's number is not compared: b3 goes along unread.
    m_transfer.BlockSent(frame[DeviceFrame::MCU_BLOCK_NUMBER],
                         frame[DeviceFrame::BLOCK_FLAG] == DeviceFrame::LAST_BLOCK_FLAG);
    ArmTimer(route.ackTimer, BLOCK_ACK_WAIT_MS);
    SendToDevice(sendKind);
}

void CFWDlg::SendNextBlock() {
    const BlockRoute route = CurrentRoute();
    KillTimer(route.ackTimer);
    route.offset += static_cast<int>(route.blockSize);
    ShowProgress(route.offset);
    SendBlock(false);
}

void CFWDlg::ResendBlock() {
    const BlockRoute route = CurrentRoute();
    KillTimer(route.ackTimer);
    ShowProgress(route.offset);
    SendBlock(false);
}

// A failure status keeps the log's colour; a time-out turns it red.
void CFWDlg::EndTransferFailed(bool markFailed) {
    const BlockRoute route = CurrentRoute();
    KillTimer(route.ackTimer);
    if (markFailed) MarkFailed();
    AppendLog(route.failedText);
    g_linkIdle = TRUE;
    ShowProgressNow(0);
    route.offset = 0;
    m_transfer.End();
}

void CFWDlg::CompleteTransfer() {
    const BlockRoute route = CurrentRoute();
    KillTimer(route.ackTimer);
    ShowProgressNow(route.imageLength);
    AppendLog(LOG_REBOOTING);
    StartRebootWait();
    route.offset = 0;
    m_transfer.End();
}

// The link is free while the device restarts.
void CFWDlg::StartRebootWait() {
    WriteRebootQuery();
    g_rebootWait = TRUE;
    SendToDevice(SEND_UPGRADE_COMMAND);
    ArmTimer(TIMER_REBOOT_WAIT_FIRST, REBOOT_QUERY_PERIOD_MS);
    g_linkIdle = TRUE;
}

void CFWDlg::WriteRebootQuery() const {
    DeviceFrame::BuildCommandFrame(g_commandFrame, GROUP_QUERY, ITEM_DEVICE_TYPE, REBOOT_QUERY_PARAMETERS,
                                   DeviceFrame::COMMAND_PARAMETER_COUNT);
}

// The link is free during the wait, so the General page may have written its
// own command since; a query due while another request holds the link is
// skipped, so that the other request's answer goes to its own handler.
void CFWDlg::ContinueRebootWait(UINT_PTR id) {
    KillTimer(id);
    if (g_linkIdle) {
        WriteRebootQuery();
        SendToDevice(SEND_UPGRADE_COMMAND);
    }
    ArmTimer(id + 1, REBOOT_QUERY_PERIOD_MS);
}

void CFWDlg::TimeOutRebootWait() {
    KillTimer(TIMER_REBOOT_WAIT_LAST);
    ShowTimeOut();
    g_mcuOffset = 0;
    MarkFailed();
    AppendLog(LOG_MCU_FAILED);
}

void CFWDlg::EndRebootWait() {
    for (UINT_PTR id = TIMER_REBOOT_WAIT_FIRST; id <= TIMER_REBOOT_WAIT_LAST; ++id) KillTimer(id);
    g_rebootWait = FALSE;
}

void CFWDlg::OnTimer(UINT_PTR id) {
    switch (id) {
    case TIMER_MCU_ENTER:
        KillTimer(id);
        StartMcuTransfer();
        break;
    case TIMER_MCU_START:
        ResendStartCommand(id, &CFWDlg::WriteMcuStart);
        break;
    case TIMER_MCU_START_GIVE_UP:
        GiveUpStart(TIMER_MCU_START, id);
        break;
    case TIMER_FLASH_START:
        ResendStartCommand(id, &CFWDlg::WriteFlashStart);
        break;
    case TIMER_FLASH_START_GIVE_UP:
        GiveUpStart(TIMER_FLASH_START, id);
        break;
    case TIMER_MCU_BLOCK_ACK:
    case TIMER_FLASH_BLOCK_ACK:
        EndTransferFailed(true);
        break;
    case TIMER_REBOOT_WAIT_LAST:
        TimeOutRebootWait();
        break;
    case TIMER_PROGRESS_REPAINT:
        RepaintProgress();
        break;
    default:
        if (id >= TIMER_REBOOT_WAIT_FIRST && id < TIMER_REBOOT_WAIT_LAST)
            ContinueRebootWait(id);
        else
            Default();
        break;
    }
}
