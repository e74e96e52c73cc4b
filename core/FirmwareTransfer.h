// The firmware transfer as the Upgrade page runs it: the phase it is in and
// what a frame from the device means in that phase. A reply acts only in its
// own phase: a late start acknowledgement (a slow device answering each
// resend) must not restart block 0 mid-transfer, and an acknowledgement after
// a time-out must not send blocks with the link given back. Pure code; the
// page carries out the steps.
#pragma once

#include "core/FirmwareImageRules.h"

#include <cstdint>

class FirmwareTransfer {
public:
    enum class Phase {
        Idle,
        McuEntering,    // 08 07 sent
        McuStarting,    // 08 08 sent, resent until acknowledged
        FlashStarting,  // F8 09 sent, resent until acknowledged
        Sending,        // one block outstanding
    };

    // What the page does with a received frame, in the order the page tests
    // the frame.
    enum class Step {
        Ignore,
        Labels,               // FA: the label exchange
        DeviceInfo,           // 01 01..03 with CC in b10: the device line
        StartMcuTransfer,     // 08 07 00 while entering
        SendFirstMcuBlock,    // 08 08 00 while starting
        SendFirstFlashBlock,  // F8 09 00 while starting
        SendNextBlock,
        ResendBlock,
        BlockFailed,
        TransferDone,
    };

    // "Upgrade": an MCU transfer starts by entering, a flash transfer by
    // starting at once.
    void Begin(FirmwareImageRules::ImageKind kind);
    // StartMcuTransfer (08 08) went out.
    void McuStartSent();
    // A block went out; `lastBlock` when it carries the last-block flag.
    void BlockSent(std::uint8_t blockNumber, bool lastBlock);
    // The transfer is over: done, failed or timed out.
    void End();

    Phase CurrentPhase() const { return m_phase; }
    FirmwareImageRules::ImageKind Kind() const { return m_kind; }

    // `frame` is a received 13-byte frame whose check byte is right.
    Step Decide(const std::uint8_t* frame) const;

private:
    Step InPhase(Phase phase, Step step) const;
    Step DecideMcuAck(const std::uint8_t* frame) const;
    Step DecideFlashAck(const std::uint8_t* frame) const;
    Step DecideStatus(std::uint8_t status) const;

    Phase m_phase = Phase::Idle;
    FirmwareImageRules::ImageKind m_kind = FirmwareImageRules::ImageKind::Mcu;
    std::uint8_t m_lastBlockNumber = 0;
    bool m_lastBlockSent = false;
};
