#include "tools/FirmwareReceiver.h"

#include "tools/ProtocolLayout.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

namespace Block = ProtocolLayout::Block;
namespace BlockAck = ProtocolLayout::BlockAck;
// Flash acknowledgements may carry anything in b3 b4; the junk knob puts this.
constexpr std::uint8_t FLASH_JUNK[] = {0x5A, 0xA5};
constexpr int BYTE_BITS = 8;

const char* KindName(FirmwareReceiver::Kind kind) {
    switch (kind) {
    case FirmwareReceiver::Kind::Mcu: return "mcu";
    case FirmwareReceiver::Kind::Flash: return "flash";
    case FirmwareReceiver::Kind::None: break;
    }
    return "none";
}

}  // namespace

void FirmwareReceiver::Enter(Kind kind, int flashNumber) {
    const Knobs knobs = m_knobs;
    Reset();
    m_knobs = knobs;
    m_kind = kind;
    m_flashNumber = flashNumber;
}

void FirmwareReceiver::StartMcu() {
    if (m_kind == Kind::Mcu && m_blockCount > 0 && AcceptingBlocks()) return;
    Enter(Kind::Mcu, 0);
}

bool FirmwareReceiver::Restarting() const {
    if (!m_done) return false;
    if (!m_knobs.restart) return true;
    return std::chrono::steady_clock::now() - m_restartedAt < *m_knobs.restart;
}

std::optional<Bytes> FirmwareReceiver::Block(const Bytes& frame) {
    const int index = BlockIndex(frame);
    if (m_ended) {
        Violation("after-end", index);
        return std::nullopt;
    }
    if (!ProtocolLayout::HasValidCheckByte(frame)) {
        Violation("check-byte", index);
        m_askedAgain = true;
        return AckFrame(0, index, BlockAck::AGAIN);
    }
    CheckOrder(index, frame);
    const std::size_t offset = static_cast<std::size_t>(index) * BlockSize();
    const std::size_t data = m_kind == Kind::Mcu ? Block::MCU_DATA : Block::FLASH_DATA;
    if (m_image.size() < offset + BlockSize()) m_image.resize(offset + BlockSize(), Block::PADDING);
    std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(data), BlockSize(),
                m_image.begin() + static_cast<std::ptrdiff_t>(offset));
    ++m_blockCount;
    m_lastBlock = index;
    return Acknowledge(index, frame);
}

int FirmwareReceiver::BlockIndex(const Bytes& frame) const {
    if (m_kind == Kind::Mcu) return frame[Block::MCU_NUMBER];
    return (frame[Block::FLASH_OFFSET_HIGH] << BYTE_BITS) | frame[Block::FLASH_OFFSET_MIDDLE];
}

std::size_t FirmwareReceiver::BlockSize() const {
    return m_kind == Kind::Mcu ? Block::MCU_DATA_LENGTH : Block::FLASH_DATA_LENGTH;
}

// Block k follows block k-1; the same block again only when it was asked for.
void FirmwareReceiver::CheckOrder(int index, const Bytes& frame) {
    if (m_blockCount == 0 && frame[Block::FLAG] != 0) Violation("first-flag", index);
    const bool repeatAsked = m_askedAgain && index == m_lastBlock;
    if (index != m_nextBlock && !repeatAsked) Violation("order", index);
    m_askedAgain = false;
}

std::optional<Bytes> FirmwareReceiver::Acknowledge(int index, const Bytes& frame) {
    m_nextBlock = index + 1;
    if (m_knobs.silentFromBlock != NO_BLOCK && index >= m_knobs.silentFromBlock) return std::nullopt;
    if (index == m_knobs.statusBlock) {
        m_knobs.statusBlock = NO_BLOCK;
        if (m_knobs.status == BlockAck::AGAIN) {
            m_askedAgain = true;
            m_nextBlock = index;
        }
        if (m_knobs.status == BlockAck::FAILED) m_ended = true;
        return AckFrame(0, index, m_knobs.status);
    }
    if (frame[Block::FLAG] == Block::LAST) {
        m_done = true;
        m_ended = true;
        m_restartedAt = std::chrono::steady_clock::now();
    }
    if (index == m_knobs.droppedAckBlock) {
        m_knobs.droppedAckBlock = NO_BLOCK;
        return std::nullopt;
    }
    return AckFrame(m_done ? Block::LAST : 0, index, BlockAck::NEXT);
}

Bytes FirmwareReceiver::AckFrame(std::uint8_t doneFlag, int index, std::uint8_t status) const {
    Bytes frame(ProtocolLayout::Command::LENGTH, 0);
    std::copy(std::begin(ProtocolLayout::DATA_SYNC), std::end(ProtocolLayout::DATA_SYNC), frame.begin());
    frame[Block::FLAG] = doneFlag;
    if (m_kind == Kind::Mcu) {
        frame[Block::MCU_NUMBER] = static_cast<std::uint8_t>(index);
        frame[BlockAck::MCU_STATUS] = status;
    } else {
        if (m_knobs.flashJunk) std::copy(std::begin(FLASH_JUNK), std::end(FLASH_JUNK), frame.begin() + Block::FLASH_OFFSET_HIGH);
        frame[BlockAck::FLASH_STATUS] = status;
    }
    ProtocolLayout::SetCheckByte(frame);
    return frame;
}

void FirmwareReceiver::Violation(const std::string& what, int index) {
    m_violations.push_back(what + ":" + std::to_string(index));
}

std::string FirmwareReceiver::Report() const {
    std::ostringstream text;
    text << "kind=" << KindName(m_kind) << " flash=" << m_flashNumber << " blocks=" << m_blockCount
         << " length=" << m_image.size() << " done=" << (m_done ? "yes" : "no") << " violations=";
    if (m_violations.empty()) text << "none";
    for (std::size_t i = 0; i < m_violations.size(); ++i) text << (i == 0 ? "" : ",") << m_violations[i];
    return text.str();
}

bool FirmwareReceiver::SaveImage(const std::string& path) const {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(m_image.data()), static_cast<std::streamsize>(m_image.size()));
    return static_cast<bool>(file);
}

void FirmwareReceiver::Reset() { *this = FirmwareReceiver{}; }
