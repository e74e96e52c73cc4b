#include "core/PortListStrategy.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t PLATFORM_WIN32_WINDOWS = 1;
constexpr std::uint32_t PLATFORM_WIN32S = 0;

TEST(PortListStrategyChoice, SetupApiFromWindows2000OnWhateverThePlatform) {
    EXPECT_EQ(PortListStrategy::SetupApi, PortListStrategyChoice::Choose(5, PortListStrategyChoice::PLATFORM_WIN32_NT));
    EXPECT_EQ(PortListStrategy::SetupApi, PortListStrategyChoice::Choose(6, PortListStrategyChoice::PLATFORM_WIN32_NT));
    EXPECT_EQ(PortListStrategy::SetupApi, PortListStrategyChoice::Choose(10, PortListStrategyChoice::PLATFORM_WIN32_NT));
    EXPECT_EQ(PortListStrategy::SetupApi, PortListStrategyChoice::Choose(5, PLATFORM_WIN32_WINDOWS));
}

TEST(PortListStrategyChoice, NamesProbedOnOlderNt) {
    EXPECT_EQ(PortListStrategy::ByName, PortListStrategyChoice::Choose(4, PortListStrategyChoice::PLATFORM_WIN32_NT));
    EXPECT_EQ(PortListStrategy::ByName, PortListStrategyChoice::Choose(3, PortListStrategyChoice::PLATFORM_WIN32_NT));
}

TEST(PortListStrategyChoice, RegistryWalkedOnThe9xFamilyAndWin32s) {
    EXPECT_EQ(PortListStrategy::Registry9x, PortListStrategyChoice::Choose(4, PLATFORM_WIN32_WINDOWS));
    EXPECT_EQ(PortListStrategy::Registry9x, PortListStrategyChoice::Choose(3, PLATFORM_WIN32S));
}

}  // namespace
