// The EDID file an operator loads: read in pieces of any size (the first
// input byte picks the size), checked, and turned into the block sent to
// the device. The read never takes more than one byte past the longest file;
// a file passes only as a whole valid EDID; the block is 00 and the file's
// first 255 bytes. Buffers are sized exactly, so any overrun is reported.
#include "core/DeviceFrame.h"
#include "core/EdidFile.h"
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t MAX_PIECE = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = data[0] % MAX_PIECE + 1;
    const Bytes file(data + 1, data + size);
    std::size_t position = 0;
    const auto read = [&](std::uint8_t* buffer, std::size_t count) -> long {
        const std::size_t take = std::min({count, piece, file.size() - position});
        if (take > 0) std::memcpy(buffer, file.data() + position, take);
        position += take;
        return static_cast<long>(take);
    };

    const auto content = EdidFile::Read(read);
    FuzzCheck(content.has_value(), "reading a whole file succeeds");
    const std::size_t expected = std::min(file.size(), EdidFile::READ_LIMIT);
    FuzzCheck(content->length == expected, "the read stops at the end or one byte past the longest file");
    FuzzCheck(std::equal(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(expected), content->bytes.begin()),
              "the bytes read are the file's");

    const bool valid = EdidFile::IsValid(file.data(), file.size());
    FuzzCheck(!valid || file.size() == EdidFile::SHORT_FILE_LENGTH || file.size() == EdidFile::LONG_FILE_LENGTH,
              "only a 128- or 256-byte file passes");
    FuzzCheck(EdidFile::IsValid(content->bytes.data(), content->length) == valid, "the check sees the whole file");
    if (!valid) return 0;

    Bytes buffer(DeviceFrame::EDID_BUFFER_LENGTH, 0xAA);
    DeviceFrame::BuildEdidBlock(buffer.data(), content->bytes.data(), content->length);
    FuzzCheck(buffer[0] == 0, "the block opens with 00");
    for (std::size_t i = 1; i < buffer.size(); ++i)
        FuzzCheck(buffer[i] == (i - 1 < file.size() ? file[i - 1] : 0), "the file from position 1, then 00");
    return 0;
}
