#include "core/ClassicThemeName.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ClassicThemeName;

namespace {

std::vector<std::uint8_t> Utf16Bytes(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

}  // namespace

TEST(ClassicThemeName, SuffixMatchesInAnyCase) {
    EXPECT_TRUE(IsClassic(u"C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme"));
    EXPECT_TRUE(IsClassic(u"WINDOWS CLASSIC.THEME"));
    EXPECT_FALSE(IsClassic(u"C:\\Themes\\Classic.theme"));
    EXPECT_FALSE(IsClassic(u"Windows Classic.theme.bak"));
    EXPECT_FALSE(IsClassic(u""));
}

TEST(ClassicThemeName, ValueTextStopsAtItsTerminator) {
    auto bytes = Utf16Bytes(u"Luna");
    bytes.insert(bytes.end(), {0, 0, 'x', 0});
    EXPECT_EQ(TextFromValueBytes(bytes.data(), bytes.size()), u"Luna");
}

TEST(ClassicThemeName, UnterminatedValueIsBoundedByTheBytesReturned) {
    const auto bytes = Utf16Bytes(u"Windows Classic.theme");
    const std::vector<std::uint8_t> exact(bytes.begin(), bytes.end());
    EXPECT_EQ(TextFromValueBytes(exact.data(), exact.size()), u"Windows Classic.theme");
    // An odd trailing byte is not half a character.
    std::vector<std::uint8_t> odd(bytes.begin(), bytes.begin() + 5);
    EXPECT_EQ(TextFromValueBytes(odd.data(), odd.size()), u"Wi");
    EXPECT_EQ(TextFromValueBytes(nullptr, 0), u"");
}
