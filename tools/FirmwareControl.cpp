#include "tools/FirmwareControl.h"

#include <limits>
#include <optional>

namespace {

constexpr int MAX_BLOCK = 0xFFFF;
constexpr int STATUS_AGAIN = 1;
constexpr int STATUS_FAILED = 2;

std::optional<int> Number(const std::string& text, int minimum, int maximum) {
    try {
        std::size_t used = 0;
        const long value = std::stol(text, &used, 10);
        if (used != text.size() || value < minimum || value > maximum) return std::nullopt;
        return static_cast<int>(value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<int> BlockArgument(const std::vector<std::string>& words, std::size_t count) {
    return words.size() == count ? Number(words[2], 0, MAX_BLOCK) : std::nullopt;
}

std::string SetRestart(FirmwareReceiver::Knobs& knobs, const std::string& text) {
    if (text == "forever") {
        knobs.restart.reset();
        return "ok";
    }
    const auto ms = Number(text, 0, std::numeric_limits<int>::max());
    if (!ms) return "error restart needs MS or forever";
    knobs.restart = std::chrono::milliseconds(*ms);
    return "ok";
}

}  // namespace

std::string ExecuteFirmwareCommand(FirmwareReceiver& receiver, const std::vector<std::string>& words) {
    const std::string what = words.size() >= 2 ? words[1] : "";
    FirmwareReceiver::Knobs& knobs = receiver.MutableKnobs();
    if (what == "report" && words.size() == 2) return "ok " + receiver.Report();
    if (what == "save" && words.size() == 3) return receiver.SaveImage(words[2]) ? "ok" : "error cannot write " + words[2];
    if (what == "restart" && words.size() == 3) return SetRestart(knobs, words[2]);
    if (what == "flash-junk" && words.size() == 3 && (words[2] == "on" || words[2] == "off")) {
        knobs.flashJunk = words[2] == "on";
        return "ok";
    }
    if (what == "silent-from" || what == "drop-ack") {
        const auto block = BlockArgument(words, 3);
        if (!block) return "error " + what + " needs a block number";
        (what == "silent-from" ? knobs.silentFromBlock : knobs.droppedAckBlock) = *block;
        return "ok";
    }
    if (what == "status") {
        const auto block = BlockArgument(words, 4);
        const auto status = words.size() == 4 ? Number(words[3], STATUS_AGAIN, STATUS_FAILED) : std::nullopt;
        if (!block || !status) return "error status needs a block number and 1 or 2";
        knobs.statusBlock = *block;
        knobs.status = static_cast<std::uint8_t>(*status);
        return "ok";
    }
    return "error bad upgrade command";
}
