#include "core/MenuItemText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace MenuItemText;

namespace {

// Eight pixels a letter, four a space: easy widths to reason about.
int FakeWidth(const std::u16string& text) {
    int width = 0;
    for (char16_t unit : text) {
        width += unit == u' ' ? 4 : 8;
    }
    return width;
}

}  // namespace

TEST(SplitMenuText, LabelBeforeFirstTabAcceleratorAfterLast) {
    const auto plain = Split(u"Open");
    EXPECT_EQ(plain.label, u"Open");
    EXPECT_FALSE(plain.hasAccelerator);
    const auto withKey = Split(u"Open\tCtrl+O");
    EXPECT_EQ(withKey.label, u"Open");
    EXPECT_EQ(withKey.accelerator, u"Ctrl+O");
    EXPECT_TRUE(withKey.hasAccelerator);
    const auto twoTabs = Split(u"Open\tdropped\tF3");
    EXPECT_EQ(twoTabs.label, u"Open");
    EXPECT_EQ(twoTabs.accelerator, u"F3");
}

TEST(AcceleratorColumn, WidestLabelGetsExactlyOneSpace) {
    std::vector<std::u16string> texts{u"Open\tCtrl+O", u"Save As\tF12"};
    AlignAcceleratorColumn(texts, FakeWidth);
    // Column: "Save As " = 6 * 8 + 2 * 4 = 56; "Open" (32) needs 6 spaces.
    EXPECT_EQ(texts[1], u"Save As \tF12");
    EXPECT_EQ(texts[0], u"Open      \tCtrl+O");
}

TEST(AcceleratorColumn, ItemWithoutTabCountsButIsUnchanged) {
    std::vector<std::u16string> texts{u"Properties", u"Cut\tCtrl+X", u""};
    AlignAcceleratorColumn(texts, FakeWidth);
    EXPECT_EQ(texts[0], u"Properties");
    EXPECT_EQ(texts[2], u"");
    // Column: "Properties " = 84; "Cut" (24) needs 15 spaces.
    EXPECT_EQ(texts[1], u"Cut" + std::u16string(15, u' ') + u"\tCtrl+X");
}

TEST(AcceleratorColumn, TextStartingWithTabGetsOnlySpaces) {
    std::vector<std::u16string> texts{u"\tF1", u"Ab\tF2"};
    AlignAcceleratorColumn(texts, FakeWidth);
    EXPECT_EQ(texts[0], u"     \tF1");
    EXPECT_EQ(texts[1], u"Ab \tF2");
}

TEST(AcceleratorColumn, ZeroWidthSpaceDoesNotLoopForever) {
    std::vector<std::u16string> texts{u"A\tF1", u"Longer\tF2"};
    AlignAcceleratorColumn(texts, [](const std::u16string& text) {
        int width = 0;
        for (char16_t unit : text) {
            width += unit == u' ' ? 0 : 8;
        }
        return width;
    });
    EXPECT_EQ(texts[0], u"A \tF1");
}

TEST(FindMnemonic, FirstLabelHoldingTheKeyWinsInEitherCase) {
    const std::vector<std::u16string> labels{u"Open", u"&Save", u"Save &As"};
    EXPECT_EQ(FindMnemonic(labels, u'S'), 1);
    EXPECT_EQ(FindMnemonic(labels, u's'), 1);
    EXPECT_EQ(FindMnemonic(labels, u'a'), 2);
    EXPECT_EQ(FindMnemonic(labels, u'X'), -1);
}

TEST(FindMnemonic, PlainSubstringSearchMatchesAfterADoubledAmpersand) {
    const std::vector<std::u16string> labels{u"Rock &&Dance"};
    EXPECT_EQ(FindMnemonic(labels, u'D'), 0);
    EXPECT_EQ(FindMnemonic(labels, u'r'), -1);
}

TEST(FindMnemonic, LowerCasesOnlyAsciiLetters) {
    EXPECT_EQ(ToLowerAscii(u"ABZ az\u00C4"), u"abz az\u00C4");
}
