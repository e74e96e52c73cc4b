// The COM port list as pure logic: the port number in a port's friendly
// name, the sort of the numbers found, and the steps that bring the port
// combo box from the list built last to the one found now while keeping the
// operator's selection.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ComPortList {

// The tables hold 8-bit port numbers, at most this many of them.
constexpr int MAX_PORTS = 256;
constexpr int MAX_PORT_NUMBER = 255;

// A text of 1 to 3 characters: each decimal digit counts by its place (any
// other character counts 0), modulo 256. Any other length gives 0.
std::uint8_t ParsePortNumber(const std::wstring& text);

// The text between "(COM" and ")" of a friendly name. Without "(COM" the
// first 3 characters are dropped instead; without ")" the text is empty.
std::wstring PortNumberText(const std::wstring& friendlyName);

// The number a port is listed with; none for a number above 255, which the
// 8-bit tables cannot hold (it would wrap to another port's number).
std::optional<std::uint8_t> ListedPortNumber(const std::wstring& friendlyName);

// Sorts numbers[0..count-1] ascending in place.
void SortPortNumbers(std::uint8_t* numbers, int count);

// "COM%d".
std::wstring PortItemText(std::uint8_t number);

struct ComboStep {
    enum class Action { Reset, Delete, Insert, Select };
    Action action;
    int position;
    std::uint8_t number;  // Insert only

    bool operator==(const ComboStep& other) const {
        return action == other.action && position == other.position && number == other.number;
    }
};

// What the combo was built from and what it shows now.
struct ComboState {
    const std::uint8_t* lastNumbers;
    int lastCount;
    std::wstring selectedText;  // empty when nothing is selected
    int selectedPosition;
};

// The steps from the combo as it stands to the sorted `numbers`: none when the
// set is unchanged; otherwise the selected port stays selected where it is
// still found (the items around it are deleted and the others inserted), and
// the list is rebuilt with its first item selected where it is not.
std::vector<ComboStep> PlanComboUpdate(const std::uint8_t* numbers, int count, const ComboState& combo);

}  // namespace ComPortList
