// The two 16-character labels as the device stores them: 32 bytes, label 1
// in bytes 0..15 and label 2 in 16..31, blank-padded, one byte a character
// (its low byte). Written and read back in four chunks of eight. Pure code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace LabelBytes {

constexpr std::size_t LABEL_LENGTH = 16;
constexpr std::size_t LABELS_LENGTH = 2 * LABEL_LENGTH;
constexpr std::size_t CHUNK_LENGTH = 8;
constexpr std::uint8_t BLANK = 0x20;

// Fills `bytes` (LABELS_LENGTH) from the two texts; characters past the
// 16th of a text are not taken.
void Pack(const std::wstring& label1, const std::wstring& label2, std::uint8_t* bytes);

// The eight characters of a chunk read back, each byte the character of
// that code.
std::wstring ChunkText(const std::uint8_t* chunk);

}  // namespace LabelBytes
