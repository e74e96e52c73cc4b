#include "core/LabelBytes.h"

#include <algorithm>
#include <cstring>

namespace LabelBytes {

namespace {

void PackOne(const std::wstring& label, std::uint8_t* target) {
    const std::size_t count = std::min(label.size(), LABEL_LENGTH);
    for (std::size_t i = 0; i < count; ++i) target[i] = static_cast<std::uint8_t>(label[i] & 0xFF);
}

}  // namespace

void Pack(const std::wstring& label1, const std::wstring& label2, std::uint8_t* bytes) {
    std::memset(bytes, BLANK, LABELS_LENGTH);
    PackOne(label1, bytes);
    PackOne(label2, bytes + LABEL_LENGTH);
}

std::wstring ChunkText(const std::uint8_t* chunk) { return std::wstring(chunk, chunk + CHUNK_LENGTH); }

}  // namespace LabelBytes
