#include "core/MenuItemText.h"

#include <algorithm>

namespace MenuItemText {

namespace {

constexpr char16_t TAB = u'\t';
constexpr char16_t SPACE = u' ';
constexpr char16_t MNEMONIC_PREFIX = u'&';
constexpr int NO_WIDTH = -1;

std::u16string LabelOf(const std::u16string& text) { return text.substr(0, text.find(TAB)); }

int ColumnWidth(const std::vector<std::u16string>& texts, const MeasureWidth& measure) {
    int width = NO_WIDTH;
    for (const auto& text : texts) {
        width = std::max(width, measure(LabelOf(text) + SPACE));
    }
    return width;
}

std::u16string PadLabel(std::u16string label, int width, const MeasureWidth& measure) {
    int measured = measure(label);
    while (measured < width) {
        label.push_back(SPACE);
        const int grown = measure(label);
        // A font whose space has no width could never reach the column.
        if (grown <= measured) {
            break;
        }
        measured = grown;
    }
    return label;
}

}  // namespace

SplitText Split(const std::u16string& text) {
    const auto first = text.find(TAB);
    if (first == std::u16string::npos) {
        return {text, {}, false};
    }
    return {text.substr(0, first), text.substr(text.rfind(TAB) + 1), true};
}

void AlignAcceleratorColumn(std::vector<std::u16string>& texts, const MeasureWidth& measure) {
    const int width = ColumnWidth(texts, measure);
    for (auto& text : texts) {
        const auto tab = text.find(TAB);
        if (tab != std::u16string::npos) {
            text = PadLabel(text.substr(0, tab), width, measure) + text.substr(tab);
        }
    }
}

std::u16string ToLowerAscii(std::u16string text) {
    for (auto& unit : text) {
        if (unit >= u'A' && unit <= u'Z') {
            unit = static_cast<char16_t>(unit - u'A' + u'a');
        }
    }
    return text;
}

int FindMnemonic(const std::vector<std::u16string>& texts, char16_t character) {
    const std::u16string key = ToLowerAscii(std::u16string{MNEMONIC_PREFIX, character});
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (ToLowerAscii(texts[i]).find(key) != std::u16string::npos) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace MenuItemText
