// The names of the EDIDs an input can present: the built-in modes as the EDID
// page lists them, and the texts it shows for the device's reports (three
// modes are reported under shorter names, and copies by the output copied).
#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace EdidModeNames {

constexpr std::size_t MODE_COUNT = 18;
constexpr std::size_t COPY_COUNT = 4;

// The mode list, in command order: index i is sent as mode i + 1.
extern const std::array<const wchar_t*, MODE_COUNT> EDID_MODE_NAMES;
// Reported values MODE_COUNT.. MODE_COUNT + 3: copies from outputs A..D.
extern const std::array<const wchar_t*, COPY_COUNT> EDID_COPY_NAMES;

// The report text of mode index 0..17; empty for any other value.
const wchar_t* EdidModeName(int mode);

// What a report of `value` shows: a mode's report text or a copy's name;
// nothing for a value that names neither.
std::optional<const wchar_t*> ReportText(int value);

}  // namespace EdidModeNames
