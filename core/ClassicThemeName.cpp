#include "core/ClassicThemeName.h"

#include "core/MenuItemText.h"

namespace ClassicThemeName {

namespace {

constexpr char16_t CLASSIC_SUFFIX_TEXT[] = u"Windows Classic.theme";
constexpr std::size_t UNIT_SIZE = 2;

}  // namespace

std::u16string TextFromValueBytes(const std::uint8_t* bytes, std::size_t byteCount) {
    std::u16string text;
    for (std::size_t offset = 0; bytes != nullptr && byteCount - offset >= UNIT_SIZE; offset += UNIT_SIZE) {
        const auto unit = static_cast<char16_t>(bytes[offset] | (bytes[offset + 1] << 8));
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

bool IsClassic(const std::u16string& fileName) {
    const std::u16string suffix = CLASSIC_SUFFIX_TEXT;
    if (fileName.size() < suffix.size()) {
        return false;
    }
    const auto tail = fileName.substr(fileName.size() - suffix.size());
    return MenuItemText::ToLowerAscii(tail) == MenuItemText::ToLowerAscii(suffix);
}

}  // namespace ClassicThemeName
