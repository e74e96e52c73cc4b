#include "core/HexLogFormatter.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

// The log text split at each "\r\n"; the piece after the last one is dropped
// when it is empty (the text ended with a line end).
std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::vector<std::uint8_t> Counting(std::size_t length) {
    std::vector<std::uint8_t> bytes(length);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0});
    return bytes;
}

constexpr std::size_t FULL_LINE_CHARACTERS = 13 * 3;

struct LongFrameLayout {
    std::size_t length;
    std::size_t fullLines;
    std::size_t lastLineBytes;
};

class SentLongFrame : public ::testing::TestWithParam<LongFrameLayout> {};

}  // namespace

TEST_P(SentLongFrame, FullLinesThenTheRestThenABlankLine) {
    const LongFrameLayout layout = GetParam();
    const auto bytes = Counting(layout.length);
    int lineByteCount = 0;
    const auto lines = Lines(HexLogFormatter::FormatSent(bytes.data(), bytes.size(), lineByteCount));

    ASSERT_EQ(lines.size(), layout.fullLines + 2);
    for (std::size_t i = 0; i < layout.fullLines; ++i) EXPECT_EQ(lines[i].size(), FULL_LINE_CHARACTERS) << i;
    EXPECT_EQ(lines[layout.fullLines].size(), layout.lastLineBytes * 3);
    EXPECT_EQ(lines[layout.fullLines + 1], L"");
    EXPECT_EQ(lineByteCount, 0);
}

INSTANTIATE_TEST_SUITE_P(DataFramesAndEdidBlock, SentLongFrame,
                         ::testing::Values(LongFrameLayout{1029, 79, 2}, LongFrameLayout{262, 20, 2},
                                           LongFrameLayout{256, 19, 9}),
                         [](const ::testing::TestParamInfo<LongFrameLayout>& info) {
                             return "Bytes" + std::to_string(info.param.length);
                         });

TEST(SentLog, CommandFrameIsOneLineOfUpperCaseHex) {
    const std::uint8_t frame[] = {0xA5, 0x5B, 0x02, 0x03, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8};
    int lineByteCount = 0;
    EXPECT_EQ(HexLogFormatter::FormatSent(frame, sizeof frame, lineByteCount),
              L"A5 5B 02 03 02 00 01 00 00 00 00 00 F8 \r\n");
    EXPECT_EQ(lineByteCount, 0);
}

TEST(SentLog, LongFrameBytesFollowOnInTheirOrder) {
    const auto bytes = Counting(262);
    int lineByteCount = 0;
    const auto lines = Lines(HexLogFormatter::FormatSent(bytes.data(), bytes.size(), lineByteCount));
    EXPECT_EQ(lines[0], L"00 01 02 03 04 05 06 07 08 09 0A 0B 0C ");
    EXPECT_EQ(lines[20], L"04 05 ");
}

TEST(SentLog, ShortSendContinuesTheCurrentLine) {
    const std::uint8_t bytes[] = {0xAB, 0xCD};
    int lineByteCount = 12;
    EXPECT_EQ(HexLogFormatter::FormatSent(bytes, sizeof bytes, lineByteCount), L"AB \r\nCD ");
    EXPECT_EQ(lineByteCount, 1);
}

TEST(ReceivedLog, FrameIsOneLine) {
    const std::uint8_t frame[] = {0xFE, 0xEF, 0x80, 0x07, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x8B};
    EXPECT_EQ(HexLogFormatter::FormatReceived(frame), L"FE EF 80 07 01 00 00 00 00 00 00 00 8B \r\n");
}

TEST(LogClearing, SixtiethFrameEmptiesTheLogAndTheSixtyFirstStartsAgain) {
    int frameCount = 0;
    for (int frame = 1; frame < 60; ++frame) ASSERT_FALSE(HexLogFormatter::CountFrame(frameCount)) << frame;
    EXPECT_EQ(frameCount, 59);
    EXPECT_TRUE(HexLogFormatter::CountFrame(frameCount));
    EXPECT_EQ(frameCount, 0);
    EXPECT_FALSE(HexLogFormatter::CountFrame(frameCount));
    EXPECT_EQ(frameCount, 1);
}
