#include "core/ComPortList.h"

#include <algorithm>
#include <cwchar>

namespace ComPortList {

namespace {

constexpr std::size_t MAX_NUMBER_LENGTH = 3;
constexpr int PORT_NUMBER_MODULUS = 256;
constexpr int DECIMAL_BASE = 10;
constexpr const wchar_t* PORT_MARK = L"(COM";
constexpr const wchar_t* PORT_END = L")";
constexpr std::size_t PREFIX_WITHOUT_MARK = 3;
constexpr const wchar_t* ITEM_PREFIX = L"COM";

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The value of a text of up to three characters, non-digits counting 0.
int PlaceValue(const std::wstring& text) {
    int value = 0;
    for (wchar_t c : text) value = value * DECIMAL_BASE + (IsDigit(c) ? c - L'0' : 0);
    return value;
}

bool HasNumberLength(const std::wstring& text) { return !text.empty() && text.size() <= MAX_NUMBER_LENGTH; }

std::vector<ComboStep> Rebuild(const std::uint8_t* numbers, int count) {
    std::vector<ComboStep> steps{{ComboStep::Action::Reset, 0, 0}};
    for (int i = 0; i < count; ++i) steps.push_back({ComboStep::Action::Insert, i, numbers[i]});
    steps.push_back({ComboStep::Action::Select, 0, 0});
    return steps;
}

}  // namespace

std::uint8_t ParsePortNumber(const std::wstring& text) {
    if (!HasNumberLength(text)) return 0;
    return static_cast<std::uint8_t>(PlaceValue(text) % PORT_NUMBER_MODULUS);
}

std::wstring PortNumberText(const std::wstring& friendlyName) {
    std::wstring rest;
    const std::size_t mark = friendlyName.find(PORT_MARK);
    if (mark != std::wstring::npos)
        rest = friendlyName.substr(mark + std::wcslen(PORT_MARK));
    else if (friendlyName.size() > PREFIX_WITHOUT_MARK)
        rest = friendlyName.substr(PREFIX_WITHOUT_MARK);
    const std::size_t end = rest.find(PORT_END);
    return end == std::wstring::npos ? std::wstring() : rest.substr(0, end);
}

std::optional<std::uint8_t> ListedPortNumber(const std::wstring& friendlyName) {
    const std::wstring text = PortNumberText(friendlyName);
    if (HasNumberLength(text) && PlaceValue(text) > MAX_PORT_NUMBER) return std::nullopt;
    return ParsePortNumber(text);
}

void SortPortNumbers(std::uint8_t* numbers, int count) {
    for (int i = 1; i < count; ++i) {
        const std::uint8_t value = numbers[i];
        int j = i - 1;
        for (; j >= 0 && numbers[j] > value; --j) numbers[j + 1] = numbers[j];
        numbers[j + 1] = value;
    }
}

std::wstring PortItemText(std::uint8_t number) { return ITEM_PREFIX + std::to_wstring(number); }

std::vector<ComboStep> PlanComboUpdate(const std::uint8_t* numbers, int count, const ComboState& combo) {
    if (count == 0) return {{ComboStep::Action::Reset, 0, 0}};
    if (count == combo.lastCount && std::equal(numbers, numbers + count, combo.lastNumbers)) return {};
    if (combo.selectedText.empty()) return Rebuild(numbers, count);

    const std::wstring numberText = combo.selectedText.size() > PREFIX_WITHOUT_MARK
                                        ? combo.selectedText.substr(PREFIX_WITHOUT_MARK)
                                        : std::wstring();
    const std::uint8_t selected = ParsePortNumber(numberText);
    const std::uint8_t* found = std::find(numbers, numbers + count, selected);
    if (found == numbers + count) return Rebuild(numbers, count);

    const int kept = static_cast<int>(found - numbers);
    std::vector<ComboStep> steps;
    for (int i = 0; i < combo.selectedPosition; ++i) steps.push_back({ComboStep::Action::Delete, 0, 0});
    for (int i = combo.selectedPosition + 1; i < combo.lastCount; ++i) steps.push_back({ComboStep::Action::Delete, 1, 0});
    for (int i = 0; i < kept; ++i) steps.push_back({ComboStep::Action::Insert, i, numbers[i]});
    for (int i = kept + 1; i < count; ++i) steps.push_back({ComboStep::Action::Insert, i, numbers[i]});
    return steps;
}

}  // namespace ComPortList
