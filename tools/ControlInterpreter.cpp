#include "tools/ControlInterpreter.h"

#include "tools/FirmwareControl.h"
#include "tools/ProtocolLayout.h"

#include <array>
#include <chrono>
#include <limits>
#include <optional>
#include <sstream>
#include <utility>

namespace {

constexpr int MAX_BYTE = 0xFF;
constexpr std::size_t FRAME_BODY_LENGTH = ProtocolLayout::Command::BODY_LENGTH;
constexpr int MAX_BURST = 10000;
// Noise bytes before one reply: a few frames' worth is all a test needs, and
// a bigger count would hold the simulator up for minutes.
constexpr int MAX_GARBAGE = 10000;

std::vector<std::string> SplitWords(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    std::string word;
    while (stream >> word) {
        words.push_back(word);
    }
    return words;
}

std::optional<int> ParseNumber(const std::string& text, int minimum, int maximum) {
    try {
        std::size_t used = 0;
        const long value = std::stol(text, &used, 10);
        if (used != text.size() || value < minimum || value > maximum) {
            return std::nullopt;
        }
        return static_cast<int>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<bool> ParseOnOff(const std::string& text) {
    if (text == "on") return true;
    if (text == "off") return false;
    return std::nullopt;
}

std::string JoinFrom(const std::vector<std::string>& words, std::size_t first) {
    std::string text;
    for (std::size_t i = first; i < words.size(); ++i) {
        text += words[i];
    }
    return text;
}

ControlOutcome Reply(std::string text) {
    ControlOutcome outcome;
    outcome.reply = std::move(text);
    return outcome;
}

ControlOutcome Ok(const std::string& detail = {}) { return Reply(detail.empty() ? "ok" : "ok " + detail); }

ControlOutcome Error(const std::string& detail) { return Reply("error " + detail); }

// One count argument: words[1] in [minimum, maximum].
std::optional<int> CountArgument(const std::vector<std::string>& words, int minimum, int maximum) {
    return words.size() == 2 ? ParseNumber(words[1], minimum, maximum) : std::nullopt;
}

}  // namespace

ControlOutcome ControlInterpreter::Execute(const std::string& line) {
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty()) {
        return Error("empty command");
    }
    const std::string& command = words[0];
    constexpr int MAX_COUNT = std::numeric_limits<int>::max();
    if (command == "ping") {
        return Ok("pong");
    }
    if (command == "drop" && words.size() == 4) {
        const auto count = ParseNumber(words[1], 0, MAX_COUNT);
        const auto code = ParseHex(words[2] + words[3]);
        if (!count || !code || code->size() != 2) return Error("drop needs N [B2 B3]");
        m_knobs.DropNext(*count, CommandCode{(*code)[0], (*code)[1]});
        return Ok();
    }
    if (command == "delay" || command == "drop" || command == "corrupt" || command == "garbage") {
        const auto count = CountArgument(words, 0, command == "garbage" ? MAX_GARBAGE : MAX_COUNT);
        if (!count) return Error(command + " needs one count");
        if (command == "delay") m_knobs.SetDelay(std::chrono::milliseconds(*count));
        if (command == "drop") m_knobs.DropNext(*count);
        if (command == "corrupt") m_knobs.CorruptNext(*count);
        if (command == "garbage") m_knobs.GarbageBeforeNext(*count);
        return Ok();
    }
    if (command == "split") {
        const auto parts = words.size() >= 2 ? ParseNumber(words[1], 1, MAX_COUNT) : std::nullopt;
        const auto gap = words.size() == 3 ? ParseNumber(words[2], 0, MAX_COUNT)
                                           : std::optional<int>(FaultKnobs::DEFAULT_SPLIT_GAP_MS);
        if (!parts || !gap || words.size() > 3) return Error("split needs PARTS [GAP_MS]");
        m_knobs.SetSplit(*parts, std::chrono::milliseconds(*gap));
        return Ok();
    }
    if (command == "read") {
        const auto on = words.size() == 2 ? ParseOnOff(words[1]) : std::nullopt;
        if (!on) return Error("read needs on or off");
        m_knobs.SetReading(*on);
        return Ok();
    }
    if (command == "send" || command == "frame") {
        const auto bytes = ParseHex(JoinFrom(words, 1));
        if (!bytes || bytes->empty()) return Error(command + " needs hexadecimal bytes");
        ControlOutcome outcome = Ok();
        if (command == "send") {
            outcome.sends.push_back(*bytes);
            return outcome;
        }
        if (bytes->size() != FRAME_BODY_LENGTH) return Error("frame needs the 10 bytes b2..b11");
        std::array<std::uint8_t, FRAME_BODY_LENGTH> body{};
        std::copy(bytes->begin(), bytes->end(), body.begin());
        outcome.sends.push_back(SwitcherModel::MakeCommandFrame(body));
        return outcome;
    }
    if (command == "burst") {
        const auto count = words.size() >= 2 ? ParseNumber(words[1], 1, MAX_BURST) : std::nullopt;
        const auto bytes = words.size() > 2 ? ParseHex(JoinFrom(words, 2)) : std::optional<Bytes>(m_model.RouteReport(1));
        if (!count || !bytes || bytes->empty()) return Error("burst needs COUNT [HEX...]");
        Bytes all;
        for (int i = 0; i < *count; ++i) {
            all.insert(all.end(), bytes->begin(), bytes->end());
        }
        ControlOutcome outcome = Ok();
        outcome.sends.push_back(all);
        return outcome;
    }
    if (command == "set") {
        return ExecuteSet(words);
    }
    if (command == "edid" || command == "edid-fail" || command == "edid-early-result") {
        return ExecuteEdid(words);
    }
    if (command == "upgrade") {
        return Reply(ExecuteFirmwareCommand(m_model.Firmware(), words));
    }
    if (command == "state") {
        return Ok(m_model.Describe());
    }
    if (command == "knobs") {
        return Ok(m_knobs.Describe());
    }
    if (command == "reset") {
        m_knobs.Reset();
        m_model.Reset();
        return Ok();
    }
    if (command == "target") {
        if (words.size() != 2 || (words[1] != "pty" && words[1] != "tcp")) return Error("target needs pty or tcp");
        ControlOutcome outcome = Ok();
        outcome.target = words[1] == "tcp" ? SendTarget::Tcp : SendTarget::Pty;
        return outcome;
    }
    if (command == "busy") {
        const auto on = words.size() == 2 ? ParseOnOff(words[1]) : std::nullopt;
        if (!on) return Error("busy needs on or off");
        ControlOutcome outcome = Ok();
        outcome.busy = *on;
        return outcome;
    }
    if (command == "pace") {
        const auto baud = words.size() != 2 ? std::nullopt
                          : words[1] == "off" ? std::optional<int>(0)
                                              : ParseNumber(words[1], 1, MAX_COUNT);
        if (!baud) return Error("pace needs a baud rate or off");
        ControlOutcome outcome = Ok();
        outcome.pace = *baud;
        return outcome;
    }
    if (command == "close") {
        ControlOutcome outcome = Ok();
        outcome.closePort = true;
        return outcome;
    }
    if (command == "quit") {
        ControlOutcome outcome = Ok();
        outcome.quit = true;
        return outcome;
    }
    return Error("unknown command " + command);
}

ControlOutcome ControlInterpreter::ExecuteSet(const std::vector<std::string>& words) {
    SwitcherState& state = m_model.MutableState();
    const std::string key = words.size() >= 2 ? words[1] : "";
    const auto arg = [&words](std::size_t i) { return i < words.size() ? words[i] : std::string(); };
    const auto index = [&](std::size_t i, int count) { return ParseNumber(arg(i), 1, count); };
    const auto byte = [&](std::size_t i) { return ParseNumber(arg(i), 0, MAX_BYTE); };

    // Any byte as the input: a device may report one the panel does not know.
    if (key == "route" && words.size() == 4 && index(2, SwitcherState::OUTPUT_COUNT) && byte(3)) {
        state.route[*index(2, SwitcherState::OUTPUT_COUNT) - 1] = *byte(3);
        return Ok();
    }
    if (key == "edid" && words.size() == 4 && index(2, SwitcherState::INPUT_COUNT) && byte(3)) {
        state.edid[*index(2, SwitcherState::INPUT_COUNT) - 1] = *byte(3);
        return Ok();
    }
    if (key == "sink-edid" && words.size() >= 4 && index(2, SwitcherState::OUTPUT_COUNT)) {
        const auto bytes = ParseHex(JoinFrom(words, 3));
        if (!bytes) return Error("sink-edid needs hexadecimal bytes");
        m_model.MutableEdids().SetSink(*index(2, SwitcherState::OUTPUT_COUNT), *bytes);
        return Ok();
    }
    const auto indexedSwitch = [&](auto& flags, int count) {
        const auto which = index(2, count);
        const auto on = ParseOnOff(arg(3));
        if (words.size() != 4 || !which || !on) return false;
        flags[*which - 1] = *on;
        return true;
    };
    if ((key == "arc" && indexedSwitch(state.arc, SwitcherState::OUTPUT_COUNT)) ||
        (key == "input-link" && indexedSwitch(state.inputConnected, SwitcherState::INPUT_COUNT)) ||
        (key == "output-link" && indexedSwitch(state.outputConnected, SwitcherState::OUTPUT_COUNT))) {
        return Ok();
    }
    const auto on = words.size() == 3 ? ParseOnOff(words[2]) : std::nullopt;
    if (on && (key == "autoswitch" || key == "beep" || key == "power")) {
        (key == "autoswitch" ? state.autoSwitch : key == "beep" ? state.beep : state.power) = *on;
        return Ok();
    }
    if (key == "type" && words.size() == 3 && byte(2)) {
        state.deviceType = *byte(2);
        return Ok();
    }
    if ((key == "size" || key == "version") && words.size() == 4 && byte(2) && byte(3)) {
        (key == "size" ? state.inputs : state.versionMajor) = *byte(2);
        (key == "size" ? state.outputs : state.versionMinor) = *byte(3);
        return Ok();
    }
    return Error("bad set command");
}

ControlOutcome ControlInterpreter::ExecuteEdid(const std::vector<std::string>& words) {
    EdidStore& edids = m_model.MutableEdids();
    if (words[0] == "edid-fail" && words.size() == 1) {
        edids.FailNextOperation();
        return Ok();
    }
    const auto on = words.size() == 2 ? ParseOnOff(words[1]) : std::nullopt;
    if (words[0] == "edid-early-result" && on) {
        edids.SetEarlyResult(*on);
        return Ok();
    }
    const auto input = words.size() == 2 ? ParseNumber(words[1], 1, SwitcherState::INPUT_COUNT) : std::nullopt;
    if (words[0] == "edid" && input) return Ok(FormatHex(edids.Held(*input)));
    return Error("bad " + words[0] + " command");
}
