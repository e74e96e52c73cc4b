// Text rules of the owner-drawn menu: the label/accelerator split, the
// accelerator column and the mnemonic search. Widths come from a measuring
// function, so the rules stay free of any device context.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace MenuItemText {

struct SplitText {
    std::u16string label;        // before the first tab (the whole text without a tab)
    std::u16string accelerator;  // after the last tab
    bool hasAccelerator;
};

SplitText Split(const std::u16string& text);

using MeasureWidth = std::function<int(const std::u16string&)>;

// Pads the label of every text that holds a tab with spaces until it is at
// least as wide as the widest "label plus one space" of all texts, so that
// every accelerator starts in one column. Texts without a tab are unchanged.
void AlignAcceleratorColumn(std::vector<std::u16string>& texts, const MeasureWidth& measure);

// Lower-cases as the C runtime does in its default locale (A to Z only).
std::u16string ToLowerAscii(std::u16string text);

// Index of the first text holding "&" followed by `character` (either case),
// or -1 when none does.
int FindMnemonic(const std::vector<std::u16string>& texts, char16_t character);

}  // namespace MenuItemText
