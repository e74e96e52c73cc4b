#include "core/PortListStrategy.h"

namespace PortListStrategyChoice {

PortListStrategy Choose(std::uint32_t majorVersion, std::uint32_t platformId) {
    if (majorVersion >= FIRST_SETUP_API_MAJOR_VERSION) return PortListStrategy::SetupApi;
    if (platformId == PLATFORM_WIN32_NT) return PortListStrategy::ByName;
    return PortListStrategy::Registry9x;
}

}  // namespace PortListStrategyChoice
