#include "core/EdidFile.h"

#include <algorithm>
#include <iterator>

namespace EdidFile {

namespace {

constexpr std::uint8_t HEADER[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t EXTENSION_COUNT = 126;
constexpr std::uint8_t NO_EXTENSION = 0;
constexpr std::uint8_t ONE_EXTENSION = 1;

// The 8-bit sum of the block that starts at `offset`; bytes past the end of
// the file count as 00.
std::uint8_t BlockSum(const std::uint8_t* file, std::size_t length, std::size_t offset) {
    std::uint8_t sum = 0;
    for (std::size_t i = offset; i < std::min(length, offset + BLOCK_LENGTH); ++i)
        sum = static_cast<std::uint8_t>(sum + file[i]);
    return sum;
}

}  // namespace

std::optional<Content> Read(const ReadFunction& read) {
    Content content;
    while (content.length < READ_LIMIT) {
        const std::size_t room = READ_LIMIT - content.length;
        const long count = read(content.bytes.data() + content.length, room);
        if (count < 0 || static_cast<unsigned long>(count) > room) return std::nullopt;
        if (count == 0) break;
        content.length += static_cast<std::size_t>(count);
    }
    return content;
}

bool IsValid(const std::uint8_t* file, std::size_t length) {
    if (length != SHORT_FILE_LENGTH && length != LONG_FILE_LENGTH) return false;
    if (!std::equal(std::begin(HEADER), std::end(HEADER), file)) return false;
    if (BlockSum(file, length, 0) != 0) return false;
    switch (file[EXTENSION_COUNT]) {
    case NO_EXTENSION:
        return true;
    case ONE_EXTENSION:
        return BlockSum(file, length, BLOCK_LENGTH) == 0;
    default:
        return false;
    }
}

std::optional<Content> Load(const ReadFunction& read) {
    std::optional<Content> content = Read(read);
    if (!content || !IsValid(content->bytes.data(), content->length)) return std::nullopt;
    return content;
}

}  // namespace EdidFile
