// The Upgrade page's device line (type, size and version, asked in a chain
// that also tells the page the device is back after a transfer) and the two
// labels, written in four chunks and read back in four.
#include "pages/CFWDlg.h"

#include "app/PanelMessages.h"
#include "app/PanelTexts.h"
#include "app/ProcessState.h"
#include "core/CommandFrameBytes.h"
#include "core/DeviceFrame.h"
#include "core/DeviceInfoText.h"
#include "core/LabelBytes.h"
#include "pages/Popups.h"
#include "res/resource.h"

namespace {

using namespace CommandFrameBytes;

constexpr const wchar_t* LOG_REBOOT_OK = L"->System reboot ok \r\n";
constexpr const wchar_t* LOG_MCU_COMPLETE = L"->MCU upgrading complete \r\n";
constexpr const wchar_t* LOG_FLASH_COMPLETE = L"->Flash upgrading complete \r\n";
constexpr const wchar_t* LOG_UPGRADE_SUCCESSFUL = L"->Firmware upgrade successfully \r\n";

// QueryDeviceSize and QueryVersion: CC in b10.
constexpr std::uint8_t DEVICE_QUERY_PARAMETERS[] = {0, 0, 0, 0, 0, 0, 0xCC};

constexpr std::uint8_t LABEL_STORED = 0x00;

std::wstring ReadChunk(const BYTE* frame) { return LabelBytes::ChunkText(frame + B4); }

}  // namespace

void CFWDlg::HandleDeviceInfoReply(const BYTE* frame) {
    switch (frame[B3]) {
    case ITEM_DEVICE_TYPE:
        OnDeviceTypeReport(frame[B4]);
        break;
    case ITEM_DEVICE_SIZE:
        DeviceInfoText::AddSize(g_deviceInfoText, frame[B4], frame[B6]);
        SendDeviceQuery(ITEM_VERSION);
        break;
    case ITEM_VERSION:
        // The chain never took the link, so the version leaves it alone: it
        // may belong to a transfer started since.
        DeviceInfoText::AppendVersion(g_deviceInfoText, frame[B4], frame[B6]);
        SetDlgItemText(IDC_UPGRADE_DEVICE_INFO, g_deviceInfoText);
        g_deviceInfoText.clear();
        break;
    default:
        break;
    }
}

void CFWDlg::OnDeviceTypeReport(int deviceType) {
    DeviceInfoText::AppendType(g_deviceInfoText, deviceType);
    if (g_rebootWait) {
        EndRebootWait();
        AppendLog(LOG_REBOOT_OK);
        AppendLog(g_isFlashImage ? LOG_FLASH_COMPLETE : LOG_MCU_COMPLETE);
        AppendLog(LOG_UPGRADE_SUCCESSFUL);
    }
    SendDeviceQuery(ITEM_DEVICE_SIZE);
}

void CFWDlg::SendDeviceQuery(std::uint8_t item) const {
    DeviceFrame::BuildCommandFrame(g_commandFrame, GROUP_QUERY, item, DEVICE_QUERY_PARAMETERS,
                                   sizeof DEVICE_QUERY_PARAMETERS);
    SendToDevice(SEND_UPGRADE_COMMAND);
}

// "Set" takes no link, but like "Open" it waits until no request holds it.
void CFWDlg::OnClickedSetLabels() {
    if (!g_linkIdle) return;
    LabelBytes::Pack(m_editLabel1.GetWindowText(), m_editLabel2.GetWindowText(), g_labelBytes);
    SendLabelCommand(ITEM_LABEL_WRITE_FIRST);
}

void CFWDlg::SendLabelCommand(std::uint8_t item) const {
    if (item <= ITEM_LABEL_WRITE_LAST) {
        const BYTE* chunk = g_labelBytes + (item - ITEM_LABEL_WRITE_FIRST) * LabelBytes::CHUNK_LENGTH;
        DeviceFrame::BuildCommandFrame(g_commandFrame, GROUP_LABELS, item, chunk, LabelBytes::CHUNK_LENGTH);
    } else {
        DeviceFrame::BuildCommandFrame(g_commandFrame, GROUP_LABELS, item);
    }
    SendToDevice(SEND_UPGRADE_COMMAND);
}

// The label replies, by item; a write acknowledgement acts only when the
// chunk was stored. Anything else ends the exchange where it is: the
// exchange never took the link, so it does not give it back either.
void CFWDlg::HandleLabelReply(const BYTE* frame) {
    struct Row {
        std::uint8_t item;
        bool needsStored;
        void (CFWDlg::*action)(const BYTE*);
    };
    static constexpr Row ROWS[] = {
        {ITEM_LABEL_WRITE_FIRST, true, &CFWDlg::OnLabelChunkStored},
        {ITEM_LABEL_WRITE_SECOND, true, &CFWDlg::OnLabelChunkStored},
        {ITEM_LABEL_WRITE_THIRD, true, &CFWDlg::OnLabelChunkStored},
        {ITEM_LABEL_WRITE_LAST, true, &CFWDlg::OnLastLabelChunkStored},
        {ITEM_LABEL_READ_FIRST, false, &CFWDlg::OnFirstLabelChunkRead},
        {ITEM_LABEL_READ_SECOND, false, &CFWDlg::OnSecondLabelChunkRead},
        {ITEM_LABEL_READ_THIRD, false, &CFWDlg::OnThirdLabelChunkRead},
        {ITEM_LABEL_READ_LAST, false, &CFWDlg::OnLastLabelChunkRead},
    };
    for (const Row& row : ROWS) {
        if (row.item != frame[B3]) continue;
        if (!row.needsStored || frame[B4] == LABEL_STORED) (this->*row.action)(frame);
        return;
    }
}

void CFWDlg::OnLabelChunkStored(const BYTE* frame) { SendLabelCommand(static_cast<std::uint8_t>(frame[B3] + 1)); }

// The read-back starts only once the operator has closed the box.
void CFWDlg::OnLastLabelChunkStored(const BYTE*) {
    g_messageText = TEXT_SET_SUCCESSFULLY;
    ShowMessageDialog();
    SendLabelCommand(ITEM_LABEL_READ_FIRST);
}

void CFWDlg::OnFirstLabelChunkRead(const BYTE* frame) {
    g_labelsReadText = ReadChunk(frame);
    g_label1ReadText = g_labelsReadText;
    SendLabelCommand(ITEM_LABEL_READ_SECOND);
}

void CFWDlg::OnSecondLabelChunkRead(const BYTE* frame) {
    const std::wstring chunk = ReadChunk(frame);
    g_labelsReadText += chunk;
    g_label1ReadText += chunk;
    m_editLabel1.SetWindowText(g_label1ReadText);
    g_label1ReadText.clear();
    SendLabelCommand(ITEM_LABEL_READ_THIRD);
}

void CFWDlg::OnThirdLabelChunkRead(const BYTE* frame) {
    g_label2ReadText = ReadChunk(frame);
    g_labelsReadText += g_label2ReadText;
    SendLabelCommand(ITEM_LABEL_READ_LAST);
}

void CFWDlg::OnLastLabelChunkRead(const BYTE* frame) {
    const std::wstring chunk = ReadChunk(frame);
    g_labelsReadText += chunk;
    g_label2ReadText += chunk;
    m_editLabel2.SetWindowText(g_label2ReadText);
    SetDlgItemText(IDC_UPGRADE_LABELS_READ, g_labelsReadText);
    g_labelsReadText.clear();
    g_label2ReadText.clear();
}
