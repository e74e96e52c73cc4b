#include "core/SystemText.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace SystemText {

namespace {

// Room for the longest error text and a 64-bit code.
constexpr std::size_t ERROR_TEXT_CAPACITY = 256;

}  // namespace

std::wstring FromBuffer(const wchar_t* buffer, std::size_t capacity, std::size_t reportedBytes) {
    const std::size_t reported = std::min(capacity, reportedBytes / sizeof(wchar_t));
    const wchar_t* end = std::find(buffer, buffer + reported, L'\0');
    return std::wstring(buffer, end);
}

std::wstring WithErrorCode(const wchar_t* format, unsigned long code) {
    std::vector<wchar_t> text(ERROR_TEXT_CAPACITY);
    const int length = std::swprintf(text.data(), text.size(), format, code);
    if (length < 0) return format;
    return std::wstring(text.data(), static_cast<std::size_t>(length));
}

}  // namespace SystemText
