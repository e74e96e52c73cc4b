// The owner-drawn menu's code for the Windows version it runs on; its look
// and measures depend on it.
#pragma once

#include <cstdint>
#include <optional>

namespace WindowsVersion {

constexpr int WIN32S = 0;
constexpr int NT_OTHER = 1;
constexpr int WIN95 = 2;
constexpr int WIN98 = 3;
constexpr int WINME = 4;
constexpr int NT4 = 5;
constexpr int WIN2000 = 6;
constexpr int WINXP = 7;

struct VersionNumbers {
    std::uint32_t major;
    std::uint32_t minor;
};

// `packedVersion` is what GetVersion returns (high bit set outside the NT
// family, major version in the low byte); `numbers` are those of the full
// version record, absent when the record could not be had.
int Classify(std::uint32_t packedVersion, const std::optional<VersionNumbers>& numbers);

}  // namespace WindowsVersion
