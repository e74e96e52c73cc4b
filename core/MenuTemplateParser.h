// Reads a standard menu template resource (16-bit little-endian words, UTF-16
// texts) into a flat list of steps that rebuilds the menu level by level.
// Every read is bounded by the resource's size: a template that ends before
// its root level closes is refused as a whole, so the caller never starts
// building from a truncated resource.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace MenuTemplate {

constexpr std::uint16_t MF_POPUP_FLAG = 0x0010;
constexpr std::uint16_t MF_END_FLAG = 0x0080;

enum class StepKind {
    Item,        // a command or separator appended to the open level
    Popup,       // a popup appended to the open level; its sub-menu opens
    CloseLevel,  // the open level is complete and closes
};

struct Step {
    StepKind kind;
    std::uint16_t flags;  // the template flags without MF_END
    std::uint16_t id;     // 0 for popups
    std::u16string text;
};

std::optional<std::vector<Step>> Parse(const std::uint8_t* data, std::size_t size);

}  // namespace MenuTemplate
