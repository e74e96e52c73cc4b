// The COM port list's pure logic: port numbers out of friendly names, and the
// combo steps checked by applying them to a model of the combo box.
#include "core/ComPortList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace ComPortList;

namespace {

using Numbers = std::vector<std::uint8_t>;

// The combo box as the steps leave it: its items and selection.
struct ComboModel {
    std::vector<std::wstring> items;
    int selected = -1;

    void Apply(const std::vector<ComboStep>& steps) {
        for (const ComboStep& step : steps) {
            switch (step.action) {
            case ComboStep::Action::Reset:
                items.clear();
                selected = -1;
                break;
            case ComboStep::Action::Delete:
                items.erase(items.begin() + step.position);
                if (selected > step.position) --selected;
                break;
            case ComboStep::Action::Insert:
                items.insert(items.begin() + step.position, PortItemText(step.number));
                if (selected >= step.position) ++selected;
                break;
            case ComboStep::Action::Select:
                selected = step.position;
                break;
            }
        }
    }
    std::wstring SelectedText() const { return selected < 0 ? std::wstring() : items[selected]; }
};

// One refresh pass: the numbers found, sorted, planned against the combo.
void Refresh(ComboModel& combo, Numbers& last, Numbers found) {
    SortPortNumbers(found.data(), static_cast<int>(found.size()));
    combo.Apply(PlanComboUpdate(found.data(), static_cast<int>(found.size()),
                                {last.data(), static_cast<int>(last.size()), combo.SelectedText(), combo.selected}));
    last = found;
}

}  // namespace

TEST(ComPortList, PortNumbersFromTextAndFriendlyNames) {
    EXPECT_EQ(ParsePortNumber(L"7"), 7);
    EXPECT_EQ(ParsePortNumber(L"12"), 12);
    EXPECT_EQ(ParsePortNumber(L"255"), 255);
    EXPECT_EQ(ParsePortNumber(L"300"), 44);
    EXPECT_EQ(ParsePortNumber(L"1x"), 10);
    EXPECT_EQ(ParsePortNumber(L""), 0);
    EXPECT_EQ(ParsePortNumber(L"1234"), 0);

    EXPECT_EQ(ListedPortNumber(L"USB Serial Port (COM12)"), 12);
    EXPECT_EQ(ListedPortNumber(L"Communications Port (COM5)"), 5);
    EXPECT_EQ(ListedPortNumber(L"no number here"), 0);
    EXPECT_EQ(PortNumberText(L"COM7)"), L"7");
    EXPECT_EQ(ListedPortNumber(L"Port (COM255)"), 255);
    // Above 255 the 8-bit tables would list COM300 as COM44: left out.
    EXPECT_EQ(ListedPortNumber(L"Port (COM256)"), std::nullopt);
    EXPECT_EQ(ListedPortNumber(L"Port (COM300)"), std::nullopt);
}

TEST(ComPortList, ListFollowsThePortsAndKeepsTheSelection) {
    ComboModel combo;
    Numbers last;

    Refresh(combo, last, {5, 1, 12});
    EXPECT_EQ(combo.items, (std::vector<std::wstring>{L"COM1", L"COM5", L"COM12"}));
    EXPECT_EQ(combo.SelectedText(), L"COM1");

    combo.selected = 1;  // the operator picks COM5
    const std::vector<std::wstring> before = combo.items;
    EXPECT_TRUE(PlanComboUpdate(Numbers{1, 5, 12}.data(), 3, {last.data(), 3, L"COM5", 1}).empty())
        << "the same ports in another order leave the list untouched";
    Refresh(combo, last, {12, 5, 1});
    EXPECT_EQ(combo.items, before);

    Refresh(combo, last, {12, 3, 5, 1});
    EXPECT_EQ(combo.items, (std::vector<std::wstring>{L"COM1", L"COM3", L"COM5", L"COM12"}));
    EXPECT_EQ(combo.SelectedText(), L"COM5");

    Refresh(combo, last, {1, 3, 12});
    EXPECT_EQ(combo.items, (std::vector<std::wstring>{L"COM1", L"COM3", L"COM12"}));
    EXPECT_EQ(combo.SelectedText(), L"COM1") << "the selected port is gone: first item";

    Refresh(combo, last, {});
    EXPECT_TRUE(combo.items.empty());
}

TEST(ComPortList, SelectedItemIsKeptByDeletingAroundIt) {
    const Numbers last{1, 5, 12};
    const Numbers found{3, 5, 9};
    const std::vector<ComboStep> steps = PlanComboUpdate(found.data(), 3, {last.data(), 3, L"COM5", 1});
    using A = ComboStep::Action;
    EXPECT_EQ(steps, (std::vector<ComboStep>{{A::Delete, 0, 0}, {A::Delete, 1, 0}, {A::Insert, 0, 3}, {A::Insert, 2, 9}}));
}

TEST(ComPortList, FullTableOfPortsSorts) {
    Numbers numbers;
    for (int n = MAX_PORT_NUMBER; n >= 0; --n) numbers.push_back(static_cast<std::uint8_t>(n));
    ASSERT_EQ(numbers.size(), static_cast<std::size_t>(MAX_PORTS));
    SortPortNumbers(numbers.data(), MAX_PORTS);
    for (int n = 0; n < MAX_PORTS; ++n) EXPECT_EQ(numbers[n], n);
}
