// The EDID file an operator loads on the EDID page: read with a bound (a file
// may change between the dialog and the read), then checked against the EDID
// block structure before any of it may reach the device.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace EdidFile {

constexpr std::size_t BLOCK_LENGTH = 128;
constexpr std::size_t SHORT_FILE_LENGTH = BLOCK_LENGTH;
constexpr std::size_t LONG_FILE_LENGTH = 2 * BLOCK_LENGTH;
// One byte more than the longest file: reading that many tells a longer file.
constexpr std::size_t READ_LIMIT = LONG_FILE_LENGTH + 1;

// Reads up to `count` bytes into `buffer`; returns how many (0 at the end of
// the file), or a negative number when the read fails.
using ReadFunction = std::function<long(std::uint8_t* buffer, std::size_t count)>;

struct Content {
    std::array<std::uint8_t, READ_LIMIT> bytes{};
    std::size_t length = 0;
};

// Reads to the end of the file, at most READ_LIMIT bytes; nothing when a read
// fails or returns more than it was asked for.
std::optional<Content> Read(const ReadFunction& read);

// A file of exactly 128 or 256 bytes with the EDID header, an extension count
// of 0 or 1, and a base block (and with count 1 a second block, 00 past the
// end of a short file) whose bytes sum to 00.
bool IsValid(const std::uint8_t* file, std::size_t length);

// Read and IsValid together: the file's content when it may be uploaded.
std::optional<Content> Load(const ReadFunction& read);

}  // namespace EdidFile
