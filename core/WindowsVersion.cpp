#include "core/WindowsVersion.h"

namespace WindowsVersion {

namespace {

constexpr std::uint32_t NOT_NT_BIT = 0x80000000u;
constexpr std::uint32_t MAJOR_MASK = 0xFF;
constexpr std::uint32_t FIRST_32_BIT_MAJOR = 4;
constexpr std::uint32_t NT2000_MAJOR = 5;
constexpr std::uint32_t MINOR_98 = 10;
constexpr std::uint32_t MINOR_ME = 90;
constexpr std::uint32_t MINOR_XP = 1;

int ClassifyNt(const VersionNumbers& numbers) {
    if (numbers.major == FIRST_32_BIT_MAJOR) {
        return NT4;
    }
    if (numbers.major == NT2000_MAJOR && numbers.minor == 0) {
        return WIN2000;
    }
    if (numbers.major == NT2000_MAJOR && numbers.minor == MINOR_XP) {
        return WINXP;
    }
    return NT_OTHER;
}

int ClassifyWindows9x(const VersionNumbers& numbers) {
    if (numbers.major == FIRST_32_BIT_MAJOR && numbers.minor == MINOR_98) {
        return WIN98;
    }
    if (numbers.major == FIRST_32_BIT_MAJOR && numbers.minor == MINOR_ME) {
        return WINME;
    }
    return WIN95;
}

}  // namespace

int Classify(std::uint32_t packedVersion, const std::optional<VersionNumbers>& numbers) {
    const bool ntFamily = (packedVersion & NOT_NT_BIT) == 0;
    if (!ntFamily && (packedVersion & MAJOR_MASK) < FIRST_32_BIT_MAJOR) {
        return WIN32S;
    }
    if (!numbers) {
        return ntFamily ? NT_OTHER : WIN95;
    }
    return ntFamily ? ClassifyNt(*numbers) : ClassifyWindows9x(*numbers);
}

}  // namespace WindowsVersion
