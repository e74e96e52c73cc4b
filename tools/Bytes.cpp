#include "tools/Bytes.h"

#include <cctype>

namespace {

constexpr char HEX_DIGITS[] = "0123456789ABCDEF";
constexpr int NIBBLE_BITS = 4;
constexpr std::uint8_t LOW_NIBBLE = 0x0F;
constexpr int DECIMAL_DIGITS = 10;

int HexValue(char digit) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(digit)));
    if (upper >= '0' && upper <= '9') {
        return upper - '0';
    }
    if (upper >= 'A' && upper <= 'F') {
        return upper - 'A' + DECIMAL_DIGITS;
    }
    return -1;
}

}  // namespace

std::string FormatHex(const Bytes& bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += HEX_DIGITS[bytes[i] >> NIBBLE_BITS];
        text += HEX_DIGITS[bytes[i] & LOW_NIBBLE];
    }
    return text;
}

std::optional<Bytes> ParseHex(const std::string& text) {
    Bytes bytes;
    int pending = -1;
    for (const char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            continue;
        }
        const int value = HexValue(c);
        if (value < 0) {
            return std::nullopt;
        }
        if (pending < 0) {
            pending = value;
        } else {
            bytes.push_back(static_cast<std::uint8_t>((pending << NIBBLE_BITS) | value));
            pending = -1;
        }
    }
    if (pending >= 0) {
        return std::nullopt;
    }
    return bytes;
}
