#include "core/SystemText.h"

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr std::size_t CAPACITY = 8;

TEST(SystemTextFromBuffer, StopsAtTheTerminator) {
    const std::array<wchar_t, CAPACITY> buffer{L'C', L'O', L'M', L'1', L'\0', L'x', L'y', L'z'};
    EXPECT_EQ(L"COM1", SystemText::FromBuffer(buffer.data(), buffer.size(), sizeof(buffer)));
}

TEST(SystemTextFromBuffer, UnterminatedTextEndsAtTheBuffer) {
    const std::array<wchar_t, CAPACITY> buffer{L'A', L'B', L'C', L'D', L'E', L'F', L'G', L'H'};
    EXPECT_EQ(L"ABCDEFGH", SystemText::FromBuffer(buffer.data(), buffer.size(), sizeof(buffer)));
}

TEST(SystemTextFromBuffer, ReportedLengthBeyondTheBufferIgnored) {
    const std::array<wchar_t, CAPACITY> buffer{L'A', L'B', L'C', L'D', L'E', L'F', L'G', L'H'};
    EXPECT_EQ(L"ABCDEFGH", SystemText::FromBuffer(buffer.data(), buffer.size(), 1000 * sizeof(wchar_t)));
}

TEST(SystemTextFromBuffer, ShorterReportedLengthCutsTheText) {
    const std::array<wchar_t, CAPACITY> buffer{L'A', L'B', L'C', L'D', L'E', L'F', L'G', L'H'};
    EXPECT_EQ(L"ABC", SystemText::FromBuffer(buffer.data(), buffer.size(), 3 * sizeof(wchar_t)));
    EXPECT_EQ(L"ABC", SystemText::FromBuffer(buffer.data(), buffer.size(), 3 * sizeof(wchar_t) + 1));
    EXPECT_EQ(L"", SystemText::FromBuffer(buffer.data(), buffer.size(), 0));
}

TEST(SystemTextWithErrorCode, LowerCaseHexWithoutPrefix) {
    EXPECT_EQ(L"SetupDiGetDeviceInterfaceDetail failed. (err=7a)",
              SystemText::WithErrorCode(L"SetupDiGetDeviceInterfaceDetail failed. (err=%lx)", 0x7AUL));
    EXPECT_EQ(L"SetupDiGetClassDevs failed. (err=e000020b)",
              SystemText::WithErrorCode(L"SetupDiGetClassDevs failed. (err=%lx)", 0xE000020BUL));
    EXPECT_EQ(L"Could not get OS version. (err=0)", SystemText::WithErrorCode(L"Could not get OS version. (err=%lx)", 0));
}

}  // namespace
