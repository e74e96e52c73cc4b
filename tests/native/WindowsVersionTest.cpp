#include "core/WindowsVersion.h"

#include <gtest/gtest.h>

using namespace WindowsVersion;

namespace {

constexpr std::uint32_t NOT_NT = 0x80000000u;

std::uint32_t Packed(bool nt, std::uint32_t major) { return (nt ? 0u : NOT_NT) | major; }

}  // namespace

TEST(WindowsVersion, Win32sIsDecidedByThePackedVersionAlone) {
    EXPECT_EQ(Classify(Packed(false, 3), std::nullopt), WIN32S);
    EXPECT_EQ(Classify(Packed(false, 3), VersionNumbers{4, 10}), WIN32S);
    EXPECT_NE(Classify(Packed(true, 3), VersionNumbers{3, 51}), WIN32S);
}

TEST(WindowsVersion, Windows9xFamily) {
    EXPECT_EQ(Classify(Packed(false, 4), VersionNumbers{4, 10}), WIN98);
    EXPECT_EQ(Classify(Packed(false, 4), VersionNumbers{4, 90}), WINME);
    EXPECT_EQ(Classify(Packed(false, 4), VersionNumbers{4, 0}), WIN95);
    EXPECT_EQ(Classify(Packed(false, 5), VersionNumbers{5, 10}), WIN95);
    EXPECT_EQ(Classify(Packed(false, 4), std::nullopt), WIN95);
}

TEST(WindowsVersion, NtFamily) {
    EXPECT_EQ(Classify(Packed(true, 4), VersionNumbers{4, 0}), NT4);
    EXPECT_EQ(Classify(Packed(true, 5), VersionNumbers{5, 0}), WIN2000);
    EXPECT_EQ(Classify(Packed(true, 5), VersionNumbers{5, 1}), WINXP);
    EXPECT_EQ(Classify(Packed(true, 5), VersionNumbers{5, 2}), NT_OTHER);
    EXPECT_EQ(Classify(Packed(true, 6), VersionNumbers{6, 1}), NT_OTHER);
    EXPECT_EQ(Classify(Packed(true, 6), std::nullopt), NT_OTHER);
}
