// What the simulated switcher keeps of a firmware transfer: the image as its
// blocks arrive, the flash number, and every way the blocks broke the rules a
// device relies on (a wrong check byte, a block out of order or repeated
// unasked, a first block with the last-block flag, anything after the last
// block). After the last block the device restarts and hears nothing for a
// while. Knobs make it answer badly on purpose. Pure code apart from the
// clock of the restart.
#pragma once

#include "tools/Bytes.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class FirmwareReceiver {
public:
    enum class Kind { None, Mcu, Flash };

    static constexpr int NO_BLOCK = -1;

    struct Knobs {
        int silentFromBlock = NO_BLOCK;    // no acknowledgement for this block or any later one
        int statusBlock = NO_BLOCK;        // this block is answered once with `status`
        std::uint8_t status = 0;
        int droppedAckBlock = NO_BLOCK;    // this block's acknowledgement is withheld once
        bool flashJunk = false;            // flash acknowledgements carry junk in b3 b4
        // How long the device is deaf after the last block; nullopt: for ever.
        std::optional<std::chrono::milliseconds> restart{std::chrono::milliseconds(0)};
    };

    // BeginMcuUpgrade (08 07) or BeginFlashUpgrade (F8 09): a new transfer.
    void Enter(Kind kind, int flashNumber);
    // StartMcuTransfer (08 08): a new MCU transfer unless blocks are arriving
    // (a panel resending 08 08 restarts nothing).
    void StartMcu();
    // One data block of the kind under way; the acknowledgement, if any.
    std::optional<Bytes> Block(const Bytes& frame);

    // The kind whose blocks FE EF opens now: the last transfer's, also after
    // its end, so that blocks sent too late are seen.
    Kind FramedKind() const { return m_kind; }
    // Entered and neither done nor failed.
    bool AcceptingBlocks() const { return m_kind != Kind::None && !m_ended; }
    bool Restarting() const;

    // One line: kind, flash number, blocks, image length, done, violations.
    std::string Report() const;
    const Bytes& Image() const { return m_image; }
    const std::vector<std::string>& Violations() const { return m_violations; }
    bool SaveImage(const std::string& path) const;

    Knobs& MutableKnobs() { return m_knobs; }
    // No transfer, no image, knobs back to their start.
    void Reset();

private:
    int BlockIndex(const Bytes& frame) const;
    std::size_t BlockSize() const;
    void CheckOrder(int index, const Bytes& frame);
    std::optional<Bytes> Acknowledge(int index, const Bytes& frame);
    Bytes AckFrame(std::uint8_t doneFlag, int index, std::uint8_t status) const;
    void Violation(const std::string& what, int index);

    Kind m_kind = Kind::None;
    int m_flashNumber = 0;
    Bytes m_image;
    int m_blockCount = 0;
    int m_nextBlock = 0;       // the block that may come now
    int m_lastBlock = NO_BLOCK;
    bool m_askedAgain = false; // the last block was asked for again
    bool m_done = false;       // the last-block flag arrived and was accepted
    bool m_ended = false;      // done or failed
    std::chrono::steady_clock::time_point m_restartedAt{};
    std::vector<std::string> m_violations;
    Knobs m_knobs;
};
