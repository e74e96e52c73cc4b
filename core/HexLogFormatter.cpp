#include "core/HexLogFormatter.h"

namespace {
constexpr const wchar_t* LINE_END = L"\r\n";
constexpr const wchar_t* HEX_DIGITS = L"0123456789ABCDEF";
constexpr std::size_t CHARACTERS_PER_BYTE = 3;
}  // namespace

void HexLogFormatter::AppendByte(std::wstring& text, std::uint8_t byte) {
    text += HEX_DIGITS[byte >> 4];
    text += HEX_DIGITS[byte & 0x0F];
    text += L' ';
}

std::wstring HexLogFormatter::FormatSent(const std::uint8_t* data, std::size_t length, int& lineByteCount) {
    std::wstring text;
    text.reserve(length * CHARACTERS_PER_BYTE + (length / BYTES_PER_LINE + 2) * 2);
    for (std::size_t i = 0; i < length; ++i) {
        ++lineByteCount;
        AppendByte(text, data[i]);
        if (lineByteCount == static_cast<int>(BYTES_PER_LINE)) {
            text += LINE_END;
            lineByteCount = 0;
        }
    }
    if (length > BYTES_PER_LINE) {
        text += LINE_END;
        text += LINE_END;
        lineByteCount = 0;
    }
    return text;
}

std::wstring HexLogFormatter::FormatReceived(const std::uint8_t* frame) {
    std::wstring text;
    for (std::size_t i = 0; i < BYTES_PER_LINE; ++i) AppendByte(text, frame[i]);
    return text + LINE_END;
}

std::wstring HexLogFormatter::FormatDatagram(const std::uint8_t* data, std::size_t length) {
    std::wstring text;
    text.reserve(length * CHARACTERS_PER_BYTE + (length / BYTES_PER_LINE) * 2);
    for (std::size_t i = 0; i < length; ++i) {
        AppendByte(text, data[i]);
        if ((i + 1) % BYTES_PER_LINE == 0) text += LINE_END;
    }
    return text;
}

std::wstring HexLogFormatter::HexPair(std::uint8_t byte) {
    return {HEX_DIGITS[byte >> 4], HEX_DIGITS[byte & 0x0F]};
}

bool HexLogFormatter::CountFrame(int& frameCount) {
    if (++frameCount < FRAMES_BEFORE_CLEARING) return false;
    frameCount = 0;
    return true;
}
