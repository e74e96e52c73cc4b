// Whether the current theme file named in the registry is the classic one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ClassicThemeName {

// The text of a registry string value read into `bytes` (UTF-16, `byteCount`
// bytes returned): up to its first terminator, or all whole characters
// returned when the value carries none.
std::u16string TextFromValueBytes(const std::uint8_t* bytes, std::size_t byteCount);

// True when `fileName` ends in "Windows Classic.theme", in any letter case.
bool IsClassic(const std::u16string& fileName);

}  // namespace ClassicThemeName
