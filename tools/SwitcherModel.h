// The switcher as the panel sees it: its state and the frames it answers to
// each frame it receives. Pure code (no I/O), so the answers are unit-tested
// natively; the simulator program feeds it the bytes from its pty.
#pragma once

#include "tools/Bytes.h"
#include "tools/EdidStore.h"
#include "tools/FirmwareReceiver.h"
#include "tools/ProtocolLayout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct SwitcherState {
    static constexpr int INPUT_COUNT = 4;
    static constexpr int OUTPUT_COUNT = 4;
    static constexpr std::size_t LABEL_BYTES = 32;

    std::array<int, OUTPUT_COUNT> route{};             // input feeding output A..D, as reported
    std::array<int, INPUT_COUNT> edid{};               // value reported per input (mode index, copy 18..21)
    std::array<bool, OUTPUT_COUNT> arc{};
    std::array<bool, INPUT_COUNT> inputConnected{};
    std::array<bool, OUTPUT_COUNT> outputConnected{};
    bool autoSwitch = false;
    bool beep = true;
    bool power = true;
    int deviceType = 1;
    int inputs = INPUT_COUNT;
    int outputs = OUTPUT_COUNT;                        // routing answers only outputs up to this
    int versionMajor = 1;
    int versionMinor = 0;
    std::array<std::uint8_t, LABEL_BYTES> labels{};
};

class SwitcherModel {
public:
    // What the device waits for between frames: a firmware transfer turns
    // FE EF into the opening of a data block, an EDID upload makes the next
    // 256 bytes raw data without sync or check byte.
    enum class Upgrade { None, Mcu, Flash };

    SwitcherModel();

    // Back to the state of a device fresh from the factory.
    void Reset();

    // Length of the frame that opens with these two bytes in the current
    // state; 0 when they open no frame the device reads now.
    std::size_t FrameLength(std::uint8_t first, std::uint8_t second) const;

    // Length of the raw block the device waits for (an uploaded EDID), or 0.
    std::size_t RawBlockLength() const;

    // Answers to one received frame (13, 262 or 1029 bytes, or the raw EDID
    // block). A frame whose check byte is wrong gets no answer, as does a
    // command the device does not know.
    std::vector<Bytes> HandleFrame(const Bytes& frame);

    // A report frame the device could send of its own accord (the route of
    // output A), for bursts of unsolicited frames.
    Bytes RouteReport(int output) const;

    const SwitcherState& State() const { return m_state; }
    SwitcherState& MutableState() { return m_state; }
    const EdidStore& Edids() const { return m_edids; }
    EdidStore& MutableEdids() { return m_edids; }
    Upgrade PendingUpgrade() const;
    FirmwareReceiver& Firmware() { return m_firmware; }

    // One line: every field of the state, for the control channel.
    std::string Describe() const;

    // A command frame (sync, b2..b11 as given, check byte).
    static Bytes MakeCommandFrame(const std::array<std::uint8_t, ProtocolLayout::Command::BODY_LENGTH>& body);

private:
    std::vector<Bytes> HandleCommand(const Bytes& frame);
    std::vector<Bytes> HandleQuery(const Bytes& frame);
    std::vector<Bytes> HandleRouting(const Bytes& frame);
    std::vector<Bytes> HandleEdid(const Bytes& frame);
    std::vector<Bytes> HandleEdidWrite(const Bytes& frame);
    std::vector<Bytes> HandleBeep(const Bytes& frame);
    std::vector<Bytes> HandleSystem(const Bytes& frame);
    std::vector<Bytes> HandleArc(const Bytes& frame);
    std::vector<Bytes> HandleFlashEnter(const Bytes& frame);
    std::vector<Bytes> HandleLabels(const Bytes& frame);
    std::vector<Bytes> HandleDataBlock(const Bytes& frame);
    std::vector<Bytes> HandleEdidBlock(const Bytes& block);
    std::vector<Bytes> HandleEdidSetting(const Bytes& frame);

    SwitcherState m_state;
    EdidStore m_edids;
    FirmwareReceiver m_firmware;
    std::size_t m_rawBlockLength = 0;
    std::uint8_t m_edidWriteItem = 0;     // 07 one input, 06 all inputs
    int m_edidWriteInput = 0;
};
