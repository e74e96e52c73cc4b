// The hexadecimal frame logs on any frame: three characters a byte, a line
// end after every 13th byte of a line, a blank line after a long frame, and
// a line count that stays on its line.
#include "core/HexLogFormatter.h"
#include "fuzz/FuzzCheck.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

constexpr std::size_t CHARACTERS_PER_BYTE = 3;
constexpr std::size_t LINE_END_LENGTH = 2;
constexpr int LINE_BYTES = static_cast<int>(HexLogFormatter::BYTES_PER_LINE);

void CheckSent(const std::vector<std::uint8_t>& frame, int lineByteCount) {
    const int before = lineByteCount;
    const std::wstring text = HexLogFormatter::FormatSent(frame.data(), frame.size(), lineByteCount);
    const std::size_t lineEnds = (static_cast<std::size_t>(before) + frame.size()) / HexLogFormatter::BYTES_PER_LINE +
                                 (frame.size() > HexLogFormatter::BYTES_PER_LINE ? 2 : 0);
    FuzzCheck(text.size() == frame.size() * CHARACTERS_PER_BYTE + lineEnds * LINE_END_LENGTH, "the log's layout");
    FuzzCheck(lineByteCount >= 0 && lineByteCount < LINE_BYTES, "the line count stays on a line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const int lineByteCount = input.ConsumeIntegralInRange<int>(0, LINE_BYTES - 1);
    int frameCount = input.ConsumeIntegralInRange<int>(0, HexLogFormatter::FRAMES_BEFORE_CLEARING - 1);
    const std::vector<std::uint8_t> frame = input.ConsumeRemainingBytes<std::uint8_t>();
    CheckSent(frame, lineByteCount);

    if (frame.size() >= HexLogFormatter::BYTES_PER_LINE) {
        const std::vector<std::uint8_t> received(frame.begin(), frame.begin() + LINE_BYTES);
        const std::wstring text = HexLogFormatter::FormatReceived(received.data());
        FuzzCheck(text.size() == received.size() * CHARACTERS_PER_BYTE + LINE_END_LENGTH, "one line a frame");
    }
    const bool clears = HexLogFormatter::CountFrame(frameCount);
    FuzzCheck(clears == (frameCount == 0), "the count starts over when the log is emptied");
    return 0;
}
