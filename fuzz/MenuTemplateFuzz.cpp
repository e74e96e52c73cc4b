// The menu template parser on any resource bytes: it reads within the
// resource, and a template it accepts rebuilds a well-formed menu (every
// popup's level closes, the root level last).
#include "core/MenuTemplateParser.h"
#include "fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto steps = MenuTemplate::Parse(data, size);
    if (!steps) return 0;
    std::size_t openLevels = 1;
    for (const MenuTemplate::Step& step : *steps) {
        FuzzCheck(openLevels > 0, "no step after the root level closes");
        if (step.kind == MenuTemplate::StepKind::Popup) ++openLevels;
        if (step.kind == MenuTemplate::StepKind::CloseLevel) --openLevels;
        FuzzCheck((step.flags & MenuTemplate::MF_END_FLAG) == 0, "the end flag is not handed on");
    }
    FuzzCheck(openLevels == 0, "every level closes");
    return 0;
}
