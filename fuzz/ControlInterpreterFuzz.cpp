// The simulator's control language on any text: every line gets one answer
// line starting "ok" or "error", and the state stays describable.
#include "fuzz/FuzzCheck.h"
#include "tools/ControlInterpreter.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

bool StartsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SwitcherModel model;
    FaultKnobs knobs;
    ControlInterpreter interpreter(model, knobs);
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    std::string line;
    while (std::getline(lines, line)) {
        const ControlOutcome outcome = interpreter.Execute(line);
        FuzzCheck(StartsWith(outcome.reply, "ok") || StartsWith(outcome.reply, "error"), "an ok or error answer");
        FuzzCheck(outcome.reply.find('\n') == std::string::npos, "a one-line answer");
        if (outcome.quit) break;
    }
    FuzzCheck(!model.Describe().empty() && !knobs.Describe().empty(), "the state can be described");
    return 0;
}
