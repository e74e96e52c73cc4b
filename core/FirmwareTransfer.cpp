#include "core/FirmwareTransfer.h"

#include "core/CommandFrameBytes.h"
#include "core/DeviceFrame.h"

namespace {

using namespace CommandFrameBytes;

using DeviceFrame::ACK_BLOCK_NUMBER;
using DeviceFrame::ACK_DONE_FLAG;
using DeviceFrame::ACK_FLASH_STATUS;
using DeviceFrame::ACK_MCU_STATUS;

constexpr std::uint8_t INFO_MARK = 0xCC;
constexpr std::uint8_t ACK_OK = 0x00;
constexpr std::uint8_t ACK_BLOCK_DONE = DeviceFrame::LAST_BLOCK_FLAG;

constexpr std::uint8_t STATUS_NEXT = 0x00;
constexpr std::uint8_t STATUS_AGAIN = 0x01;
constexpr std::uint8_t STATUS_FAILED = 0x02;

struct CommandAck {
    std::uint8_t group;
    std::uint8_t item;
};
constexpr CommandAck MCU_ENTER_ACK = {GROUP_SYSTEM, ITEM_MCU_ENTER};
constexpr CommandAck MCU_START_ACK = {GROUP_SYSTEM, ITEM_MCU_START};
constexpr CommandAck FLASH_ENTER_ACK = {GROUP_FLASH, ITEM_FLASH_ENTER};

bool IsAck(const std::uint8_t* frame, CommandAck ack) {
    return frame[B2] == ack.group && frame[B3] == ack.item && frame[B4] == ACK_OK;
}

bool IsDeviceInfoReply(const std::uint8_t* frame) {
    return frame[B2] == GROUP_QUERY && frame[B3] >= ITEM_DEVICE_TYPE && frame[B3] <= ITEM_VERSION &&
           frame[B10] == INFO_MARK;
}

bool IsBlockAck(const std::uint8_t* frame) { return DeviceFrame::StartsWithSync(frame, DeviceFrame::DataSync); }

}  // namespace

void FirmwareTransfer::Begin(FirmwareImageRules::ImageKind kind) {
    m_kind = kind;
    m_phase = kind == FirmwareImageRules::ImageKind::Mcu ? Phase::McuEntering : Phase::FlashStarting;
    m_lastBlockNumber = 0;
    m_lastBlockSent = false;
}

void FirmwareTransfer::McuStartSent() { m_phase = Phase::McuStarting; }

void FirmwareTransfer::BlockSent(std::uint8_t blockNumber, bool lastBlock) {
    m_phase = Phase::Sending;
    m_lastBlockNumber = blockNumber;
    m_lastBlockSent = lastBlock;
}

void FirmwareTransfer::End() { m_phase = Phase::Idle; }

// The page's tests, in their order; the first that matches decides.
FirmwareTransfer::Step FirmwareTransfer::Decide(const std::uint8_t* frame) const {
    using FirmwareImageRules::ImageKind;
    if (frame[B2] == GROUP_LABELS) return Step::Labels;
    if (IsDeviceInfoReply(frame)) return Step::DeviceInfo;
    if (IsAck(frame, MCU_ENTER_ACK)) return InPhase(Phase::McuEntering, Step::StartMcuTransfer);
    if (IsAck(frame, MCU_START_ACK)) return InPhase(Phase::McuStarting, Step::SendFirstMcuBlock);
    if (IsBlockAck(frame) && m_kind == ImageKind::Mcu) return DecideMcuAck(frame);
    if (IsAck(frame, FLASH_ENTER_ACK)) return InPhase(Phase::FlashStarting, Step::SendFirstFlashBlock);
    if (IsBlockAck(frame) && m_kind == ImageKind::Flash) return DecideFlashAck(frame);
    return Step::Ignore;
}

FirmwareTransfer::Step FirmwareTransfer::InPhase(Phase phase, Step step) const {
    return m_phase == phase ? step : Step::Ignore;
}

// An MCU acknowledgement names the block it answers.
FirmwareTransfer::Step FirmwareTransfer::DecideMcuAck(const std::uint8_t* frame) const {
    if (m_phase != Phase::Sending || frame[ACK_BLOCK_NUMBER] != m_lastBlockNumber) return Step::Ignore;
    if (frame[ACK_DONE_FLAG] == ACK_OK) return DecideStatus(frame[ACK_MCU_STATUS]);
    if (frame[ACK_DONE_FLAG] == ACK_BLOCK_DONE && frame[ACK_MCU_STATUS] == STATUS_NEXT) return Step::TransferDone;
    return Step::Ignore;
}

// A flash acknowledgement's block bytes are not compared.
FirmwareTransfer::Step FirmwareTransfer::DecideFlashAck(const std::uint8_t* frame) const {
    if (m_phase != Phase::Sending) return Step::Ignore;
    if (frame[ACK_DONE_FLAG] == ACK_OK) return DecideStatus(frame[ACK_FLASH_STATUS]);
    if (frame[ACK_DONE_FLAG] == ACK_BLOCK_DONE && frame[ACK_FLASH_STATUS] == STATUS_NEXT) return Step::TransferDone;
    return Step::Ignore;
}

// Past the block that ends the image there is nothing to send: a "next" for
// it waits for the device's done, or for the block's time-out.
FirmwareTransfer::Step FirmwareTransfer::DecideStatus(std::uint8_t status) const {
    switch (status) {
    case STATUS_NEXT:
        return m_lastBlockSent ? Step::Ignore : Step::SendNextBlock;
    case STATUS_AGAIN:
        return Step::ResendBlock;
    case STATUS_FAILED:
        return Step::BlockFailed;
    default:
        return Step::Ignore;
    }
}
