#include "core/DeviceFrame.h"
#include "core/EdidFile.h"
#include "core/EdidModeNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t HDMI_FILE_LENGTH = 256;
constexpr std::size_t DVI_FILE_LENGTH = 128;

// Reads one of the real EDID files; a file that is missing or not as long as
// the test expects fails the test by its name before anything reads it.
::testing::AssertionResult ReadDataFile(const std::string& name, std::size_t length, Bytes& bytes) {
    const std::string path = std::string(CORVANE_EDID_DATA_DIR) + "/" + name;
    std::ifstream file(path, std::ios::binary);
    if (!file) return ::testing::AssertionFailure() << "test data file " << path << " is missing";
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (bytes.size() != length) {
        return ::testing::AssertionFailure() << "test data file " << path << " has " << bytes.size()
                                             << " bytes, not " << length;
    }
    return ::testing::AssertionSuccess();
}

// Sets the last byte of the block at `offset` so that the block sums to 00.
void SealBlock(Bytes& file, std::size_t offset) {
    const std::size_t last = offset + EdidFile::BLOCK_LENGTH - 1;
    file[last] = 0;
    const auto sum = std::accumulate(file.begin() + offset, file.begin() + last + 1, 0u);
    file[last] = static_cast<std::uint8_t>(0x100 - (sum & 0xFF));
}

// A made-up EDID with the header, extension count `extensions` and sealed blocks.
Bytes MadeUpEdid(std::size_t length, std::uint8_t extensions) {
    Bytes file(length);
    for (std::size_t i = 0; i < length; ++i) file[i] = static_cast<std::uint8_t>(i * 7 + 3);
    const std::uint8_t header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(std::begin(header), std::end(header), file.begin());
    file[126] = extensions;
    SealBlock(file, 0);
    if (length >= EdidFile::LONG_FILE_LENGTH) SealBlock(file, EdidFile::BLOCK_LENGTH);
    return file;
}

// A read function over `bytes` that hands out at most `chunk` bytes a call.
EdidFile::ReadFunction ReaderOf(const Bytes& bytes, std::size_t chunk = 64) {
    auto position = std::make_shared<std::size_t>(0);
    return [bytes, chunk, position](std::uint8_t* buffer, std::size_t count) -> long {
        const std::size_t take = std::min({count, chunk, bytes.size() - *position});
        if (take > 0) std::memcpy(buffer, bytes.data() + *position, take);
        *position += take;
        return static_cast<long>(take);
    };
}

}  // namespace

TEST(EdidFileCheck, AcceptsAndRejectsByLengthHeaderExtensionCountAndBlockSums) {
    Bytes hdmi;
    Bytes dvi;
    ASSERT_TRUE(ReadDataFile("hdmi-monitor-1920x1200.bin", HDMI_FILE_LENGTH, hdmi));
    ASSERT_TRUE(ReadDataFile("dvi-monitor-1280x1024.bin", DVI_FILE_LENGTH, dvi));

    Bytes shortWithCount1 = MadeUpEdid(128, 1);
    Bytes longWithCount0BadSecondHalf = MadeUpEdid(256, 0);
    longWithCount0BadSecondHalf[200] ^= 0x55;
    Bytes badSecondBlock = hdmi;
    badSecondBlock[200] ^= 0x01;
    Bytes badBaseBlock = dvi;
    badBaseBlock[60] ^= 0x01;
    Bytes byte0Set = dvi;
    byte0Set[0] = 0x01;
    SealBlock(byte0Set, 0);
    Bytes count2 = MadeUpEdid(256, 2);
    Bytes longer = hdmi;
    longer.push_back(0);
    Bytes shorter(hdmi.begin(), hdmi.end() - 1);
    Bytes dvi129 = dvi;
    dvi129.push_back(0);

    const struct {
        const char* name;
        const Bytes& file;
        bool valid;
    } cases[] = {
        {"real 256-byte file with an extension", hdmi, true},
        {"real 128-byte file", dvi, true},
        {"128 bytes with count 1: missing block counts as zeros", shortWithCount1, true},
        {"256 bytes with count 0: second half unchecked", longWithCount0BadSecondHalf, true},
        {"129 bytes", dvi129, false},
        {"257 bytes", longer, false},
        {"255 bytes", shorter, false},
        {"empty", Bytes{}, false},
        {"byte 0 not 00", byte0Set, false},
        {"extension count 2", count2, false},
        {"base block sum", badBaseBlock, false},
        {"second block sum", badSecondBlock, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EdidFile::IsValid(c.file.data(), c.file.size()), c.valid) << c.name;
        EXPECT_EQ(EdidFile::Load(ReaderOf(c.file)).has_value(), c.valid) << c.name;
    }
}

TEST(EdidFileRead, StopsOneByteAfterTheLongestFileAndFailsOnAFailedOrOverlongRead) {
    Bytes huge(4096, 0xAB);
    std::size_t asked = 0;
    auto counting = ReaderOf(huge, 100);
    const auto content = EdidFile::Read([&](std::uint8_t* buffer, std::size_t count) {
        asked += count;
        return counting(buffer, count);
    });
    ASSERT_TRUE(content.has_value());
    EXPECT_EQ(content->length, EdidFile::READ_LIMIT) << "a growing file never overruns the buffer";
    EXPECT_LE(asked, 3 * EdidFile::READ_LIMIT);

    Bytes dvi;
    ASSERT_TRUE(ReadDataFile("dvi-monitor-1280x1024.bin", DVI_FILE_LENGTH, dvi));
    auto first = ReaderOf(dvi);
    int calls = 0;
    const auto failing = [&](std::uint8_t* buffer, std::size_t count) -> long {
        return ++calls == 1 ? first(buffer, count) : -1;
    };
    EXPECT_FALSE(EdidFile::Read(failing).has_value());
    EXPECT_FALSE(EdidFile::Read([](std::uint8_t*, std::size_t count) { return static_cast<long>(count) + 1; }));

    // A file that shrank after it was chosen: only what is there counts.
    const auto shrunk = EdidFile::Load(ReaderOf(Bytes(dvi.begin(), dvi.begin() + 100)));
    EXPECT_FALSE(shrunk.has_value());
}

TEST(EdidFileRead, LoadedRealFileBecomesTheBlockZeroThenItsFirst255Bytes) {
    Bytes hdmi;
    ASSERT_TRUE(ReadDataFile("hdmi-monitor-1920x1200.bin", HDMI_FILE_LENGTH, hdmi));
    const auto content = EdidFile::Load(ReaderOf(hdmi, 7));
    ASSERT_TRUE(content.has_value());
    std::uint8_t block[DeviceFrame::EDID_BUFFER_LENGTH];
    std::memset(block, 0xEE, sizeof block);
    DeviceFrame::BuildEdidBlock(block, content->bytes.data(), content->length);
    Bytes expected{0x00};
    expected.insert(expected.end(), hdmi.begin(), hdmi.end() - 1);
    EXPECT_EQ(Bytes(block, block + DeviceFrame::EDID_BLOCK_LENGTH), expected);
}

TEST(EdidModeNames, ListAndReportTextsDifferOnlyForThe4K2K30ModesAndCopiesNameTheirOutput) {
    using namespace EdidModeNames;
    EXPECT_STREQ(EDID_MODE_NAMES[0], L"1080p,Stereo Audio 2.0");
    EXPECT_STREQ(EDID_MODE_NAMES[9], L"4K2K30_444,Stereo Audio 2.0");
    EXPECT_STREQ(EDID_MODE_NAMES[17], L"4K2K60_444,HD Audio 7.1");
    for (int mode = 0; mode < static_cast<int>(MODE_COUNT); ++mode) {
        const bool shortened = mode >= 9 && mode <= 11;
        EXPECT_EQ(std::wstring(EdidModeName(mode)) == EDID_MODE_NAMES[mode], !shortened) << mode;
    }
    EXPECT_STREQ(EdidModeName(9), L"4K2K30,Stereo Audio 2.0");
    EXPECT_STREQ(EdidModeName(11), L"4K2K30,HD Audio 7.1");
    EXPECT_STREQ(EdidModeName(-1), L"");
    EXPECT_STREQ(EdidModeName(18), L"");

    EXPECT_STREQ(*ReportText(9), L"4K2K30,Stereo Audio 2.0");
    EXPECT_STREQ(*ReportText(18), L"COPY TX A");
    EXPECT_STREQ(*ReportText(20), L"COPY TX C");
    EXPECT_STREQ(*ReportText(21), L"COPY TX D");
    EXPECT_FALSE(ReportText(22).has_value());
    EXPECT_FALSE(ReportText(30).has_value());
    EXPECT_FALSE(ReportText(-1).has_value());
}
