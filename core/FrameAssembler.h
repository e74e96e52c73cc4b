// Cuts 13-byte frames out of a byte stream: a sync pair (A5 5B or FE EF) and
// the 11 bytes after it, whatever they hold. Bytes outside a frame are
// collected from position 2 on, so that the last two of them can be compared
// with the sync pairs; the collect area starts over at its end.
//
// The state lives outside the object, so the serial stream can keep it in
// process-wide variables while the TCP stream (and a test) keeps its own.
#pragma once

#include "core/DeviceFrame.h"

#include <array>
#include <cstddef>
#include <cstdint>

class FrameAssembler {
public:
    static constexpr std::size_t COLLECT_CAPACITY = 256;
    static constexpr int COLLECT_START = 2;
    static constexpr std::size_t FRAME_LENGTH = DeviceFrame::COMMAND_FRAME_LENGTH;
    using Frame = std::array<std::uint8_t, FRAME_LENGTH>;

    struct State {
        std::uint8_t (&collect)[COLLECT_CAPACITY];  // positions 0 and 1 stay 00
        int& collectLength;                         // next write position in `collect`
        int& inFrame;                               // a sync pair has been seen
        std::uint8_t (&frame)[FRAME_LENGTH];        // the frame being assembled
        int& framePosition;                         // next write position in `frame`
    };

    explicit FrameAssembler(const State& state);

    // Takes one received byte. When the byte completes a frame, copies the
    // frame into `completed` and returns true; the state has been reset by
    // then, so whatever the caller does with the frame (a reply handler may
    // pump messages that bring the next bytes) starts from a clean state.
    bool Push(std::uint8_t byte, Frame& completed);

    // Forgets any partly assembled frame and the collected bytes.
    void Reset();

private:
    bool CollectedPairIs(const std::uint8_t (&sync)[2]) const;
    void StartFrame(const std::uint8_t (&sync)[2]);

    State m_state;
};

// Storage for an assembler whose state is its own.
struct FrameAssemblyStorage {
    std::uint8_t collect[FrameAssembler::COLLECT_CAPACITY] = {};
    int collectLength = FrameAssembler::COLLECT_START;
    int inFrame = 0;
    std::uint8_t frame[FrameAssembler::FRAME_LENGTH] = {};
    int framePosition = 0;

    FrameAssembler::State Bind() { return {collect, collectLength, inFrame, frame, framePosition}; }
};
