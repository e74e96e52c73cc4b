// The Upgrade page's file rules and transfer decisions over any input. The
// first byte chooses: even, the rest is a file name (UTF-16LE) for the name
// rules; odd, it picks the image kind, the next three bytes the image length,
// and every 13 bytes after them are a frame from the device, acted on the way
// the page acts on them. Blocks are built from an exactly sized image, so a
// block read past the image is caught, and no block may start past the
// image's end (but the one after a first block that ends it) or be numbered
// beyond one byte.
#include "core/DeviceFrame.h"
#include "core/FirmwareImageRules.h"
#include "core/FirmwareTransfer.h"
#include "fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using FirmwareImageRules::ImageKind;
using Phase = FirmwareTransfer::Phase;
using Step = FirmwareTransfer::Step;

constexpr std::size_t HEADER_LENGTH = 4;
constexpr std::size_t FRAME_LENGTH = DeviceFrame::COMMAND_FRAME_LENGTH;
constexpr std::size_t MAX_MCU_BLOCK_NUMBER = 255;

void CheckName(const std::uint8_t* data, std::size_t size) {
    std::wstring name;
    for (std::size_t i = 0; i + 1 < size; i += 2) name += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
    const auto verdict = FirmwareImageRules::ClassifyName(name);
    const bool flashName = name.compare(0, 7, L"Pelmora") == 0;
    FuzzCheck(flashName || (verdict.accepted && verdict.kind == ImageKind::Mcu), "other names are MCU images");
    if (!flashName || !verdict.accepted) return;
    FuzzCheck(verdict.kind == ImageKind::Flash, "a Pelmora name is a flash image");
    FuzzCheck((verdict.flashNumber >= 1 && verdict.flashNumber <= 8) ||
                  verdict.flashNumber == FirmwareImageRules::FLASH_NUMBER_ALL,
              "flash numbers are 1..8 or FF");
}

class PageModel {
public:
    PageModel(ImageKind kind, std::size_t length)
        : m_kind(kind), m_length(length), m_image(std::make_unique<std::uint8_t[]>(length)) {
        m_transfer.Begin(kind);
    }

    void Receive(const std::uint8_t* frame) {
        const Phase phase = m_transfer.CurrentPhase();
        switch (m_transfer.Decide(frame)) {
        case Step::StartMcuTransfer:
            FuzzCheck(phase == Phase::McuEntering, "08 08 follows 08 07 only");
            m_transfer.McuStartSent();
            break;
        case Step::SendFirstMcuBlock:
        case Step::SendFirstFlashBlock:
            FuzzCheck(phase == Phase::McuStarting || phase == Phase::FlashStarting, "block 0 follows the start");
            m_offset = 0;
            SendBlock(true);
            break;
        case Step::SendNextBlock:
            FuzzCheck(phase == Phase::Sending, "blocks follow blocks");
            m_offset += BlockSize();
            SendBlock(false);
            break;
        case Step::ResendBlock:
            FuzzCheck(phase == Phase::Sending, "only a sent block is sent again");
            SendBlock(false);
            break;
        case Step::BlockFailed:
        case Step::TransferDone:
            FuzzCheck(phase == Phase::Sending, "only a transfer under way ends");
            m_transfer.End();
            m_offset = 0;
            break;
        case Step::Labels:
        case Step::DeviceInfo:
        case Step::Ignore:
            break;
        }
    }

private:
    std::size_t BlockSize() const {
        return m_kind == ImageKind::Mcu ? DeviceFrame::MCU_BLOCK_SIZE : DeviceFrame::FLASH_BLOCK_SIZE;
    }

    void SendBlock(bool first) {
        // The first block never carries the last-block flag, so an image of
        // one block is followed by an all-FF block that does.
        FuzzCheck(m_offset < m_length || m_offset == BlockSize(), "no other block starts past the image");
        if (m_kind == ImageKind::Mcu) {
            FuzzCheck(m_offset / DeviceFrame::MCU_BLOCK_SIZE <= MAX_MCU_BLOCK_NUMBER, "MCU blocks fit one byte");
            DeviceFrame::BuildMcuDataFrame(m_mcuFrame.data(), m_image.get(), m_length, m_offset, first);
            m_transfer.BlockSent(m_mcuFrame[3], m_mcuFrame[2] == DeviceFrame::LAST_BLOCK_FLAG);
        } else {
            DeviceFrame::BuildFlashDataFrame(m_flashFrame.data(), m_image.get(), m_length, m_offset, first);
            m_transfer.BlockSent(m_flashFrame[3], m_flashFrame[2] == DeviceFrame::LAST_BLOCK_FLAG);
        }
    }

    ImageKind m_kind;
    std::size_t m_length;
    std::unique_ptr<std::uint8_t[]> m_image;
    std::vector<std::uint8_t> m_mcuFrame = std::vector<std::uint8_t>(DeviceFrame::MCU_DATA_FRAME_LENGTH);
    std::vector<std::uint8_t> m_flashFrame = std::vector<std::uint8_t>(DeviceFrame::FLASH_DATA_FRAME_LENGTH);
    FirmwareTransfer m_transfer;
    std::size_t m_offset = 0;
};

void CheckTransfer(const std::uint8_t* data, std::size_t size) {
    if (size < HEADER_LENGTH) return;
    const ImageKind kind = (data[0] & 2) != 0 ? ImageKind::Flash : ImageKind::Mcu;
    const std::size_t length = (static_cast<std::size_t>(data[1]) << 16) | (data[2] << 8) | data[3];
    if (!FirmwareImageRules::IsLengthAccepted(kind, length)) return;
    PageModel page(kind, length);
    for (std::size_t at = HEADER_LENGTH; at + FRAME_LENGTH <= size; at += FRAME_LENGTH) page.Receive(data + at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if ((data[0] & 1) == 0)
        CheckName(data + 1, size - 1);
    else
        CheckTransfer(data, size);
    return 0;
}
