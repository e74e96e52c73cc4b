#include "core/MenuItemLayout.h"

#include <gtest/gtest.h>

using namespace MenuItemLayout;

namespace {

constexpr int ICON_W = 16;
constexpr int ICON_H = 15;

ItemState State(bool selected, bool grayed, bool checked, int marker, int checkedImage = -1,
                int uncheckedImage = -1) {
    return {selected, grayed, checked, marker, checkedImage, uncheckedImage};
}

}  // namespace

TEST(MenuItemLayout, SeparatorHeightIsTheLargerOfHalfMenuBarAndHalfIconRoom) {
    EXPECT_EQ(SeparatorSize(19, ICON_H, false).height, 9);
    EXPECT_EQ(SeparatorSize(19, ICON_H, true).height, 11);
    EXPECT_EQ(SeparatorSize(40, ICON_H, true).height, 20);
    EXPECT_EQ(SeparatorSize(19, ICON_H, true).width, 0);
}

TEST(MenuItemLayout, ItemSizeWithDefaultIcon) {
    EXPECT_EQ(ItemSizeFor(50, ICON_W, ICON_H, 18, false).width, 50 + 33);
    EXPECT_EQ(ItemSizeFor(50, ICON_W, ICON_H, 18, true).width, 50 + 31);
    EXPECT_EQ(ItemSizeFor(50, ICON_W, ICON_H, 18, false).height, 19);
    EXPECT_EQ(ItemSizeFor(50, ICON_W, ICON_H, 18, true).height, 22);
    EXPECT_EQ(ItemSizeFor(50, ICON_W, ICON_H, 25, true).height, 25);
}

TEST(MenuItemLayout, OffsetsAreNeverNegative) {
    EXPECT_EQ(ClassicImageOffset(19, ICON_H), 0);
    EXPECT_EQ(ClassicImageOffset(24, ICON_H), 2);
    EXPECT_EQ(ClassicImageOffset(10, ICON_H), 0);
    EXPECT_EQ(FlatCentredOffset(ICON_W + 7, ICON_W), 4);
    EXPECT_EQ(FlatCentredOffset(22, ICON_H), 4);
    EXPECT_EQ(FlatCentredOffset(10, 16), 0);
}

TEST(ClassifyImage, CheckedItemWithoutImageUsesCheckImagesOnlyWhenAsked) {
    EXPECT_EQ(ClassifyImage(State(false, false, true, -1)), ImageCase::None);
    EXPECT_EQ(ClassifyImage(State(false, false, true, -1, 1)), ImageCase::None);
    EXPECT_EQ(ClassifyImage(State(true, false, true, -1, 1)), ImageCase::CheckImage);
    EXPECT_EQ(ClassifyImage(State(false, false, true, -1, -1, 1)), ImageCase::CheckImage);
    EXPECT_EQ(ClassifyImage(State(true, false, true, -1, 0, 0)), ImageCase::None) << "index 0 does not count";
}

TEST(ClassifyImage, ItemsWithAnImageChooseByState) {
    EXPECT_EQ(ClassifyImage(State(true, false, false, 0)), ImageCase::SelectedImage);
    EXPECT_EQ(ClassifyImage(State(true, true, false, 0)), ImageCase::DisabledImage);
    EXPECT_EQ(ClassifyImage(State(false, true, true, 0)), ImageCase::DisabledImage);
    EXPECT_EQ(ClassifyImage(State(false, false, true, 0)), ImageCase::PlainImage);
    EXPECT_EQ(ClassifyImage(State(true, false, false, -1)), ImageCase::None);
}
