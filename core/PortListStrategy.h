// Which way the machine's serial ports are found, decided by the version of
// Windows: the setup API's COM-port interfaces from Windows 2000 on, a probe of
// the names COM1 to COM16 on older NT, and the enumerator's registry tree on
// the 9x family, where neither of the others is available.
#pragma once

#include <cstdint>

enum class PortListStrategy {
    SetupApi,
    ByName,
    Registry9x,
};

namespace PortListStrategyChoice {

constexpr std::uint32_t FIRST_SETUP_API_MAJOR_VERSION = 5;
constexpr std::uint32_t PLATFORM_WIN32_NT = 2;

PortListStrategy Choose(std::uint32_t majorVersion, std::uint32_t platformId);

}  // namespace PortListStrategyChoice
