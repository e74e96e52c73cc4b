#include "core/ImageRectLayout.h"

#include <gtest/gtest.h>

using ImageRectLayout::CenterIn;
using ImageRectLayout::ComputeImageRect;

namespace {

const LayoutRect ITEM{0, 0, 75, 25};
constexpr int ICON_W = 16;
constexpr int ICON_H = 16;

struct Placed {
    LayoutRect image;
    LayoutRect caption;
};

Placed Place(std::uint8_t align, bool caption, bool pressed = false, bool checkBox = false) {
    LayoutRect captionRect = ITEM;
    const LayoutRect image =
        ComputeImageRect({align, ICON_W, ICON_H, caption, pressed, checkBox}, ITEM, captionRect);
    return {image, captionRect};
}

void ExpectRect(const LayoutRect& actual, const LayoutRect& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

}  // namespace

TEST(ComputeImageRect, WithoutCaptionLeftAndTopCentreTheImage) {
    for (std::uint8_t align : {IMAGE_ALIGN_LEFT, IMAGE_ALIGN_TOP}) {
        const Placed placed = Place(align, false);
        // (75 - 16) / 2 = 29, (25 - 16) / 2 = 4; right and bottom stay the item's.
        ExpectRect(placed.image, {29, 4, 75, 25});
        ExpectRect(placed.caption, ITEM);
    }
}

TEST(ComputeImageRect, RightWithoutCaptionCentresHorizontallyOnly) {
    const Placed placed = Place(IMAGE_ALIGN_RIGHT, false);
    ExpectRect(placed.image, {29, 0, 75, 25});
    ExpectRect(placed.caption, ITEM);
}

TEST(ComputeImageRect, LeftWithCaptionSitsAtTheEdgeAndPushesTheCaption) {
    const Placed placed = Place(IMAGE_ALIGN_LEFT, true);
    ExpectRect(placed.image, {3, 4, 75, 25});
    ExpectRect(placed.caption, {19, 0, 75, 25});
}

TEST(ComputeImageRect, TopWithCaptionSitsThreePixelsDownAndLowersTheCaption) {
    const Placed placed = Place(IMAGE_ALIGN_TOP, true);
    ExpectRect(placed.image, {29, 3, 75, 25});
    ExpectRect(placed.caption, {0, 16, 75, 25});
}

TEST(ComputeImageRect, RightWithCaptionSitsAtTheRightEdgeAndNarrowsTheCaption) {
    const Placed placed = Place(IMAGE_ALIGN_RIGHT, true);
    ExpectRect(placed.image, {75 - 16 - 3, 4, 75, 25});
    ExpectRect(placed.caption, {3, 0, 75 - 0 - 16 - 3, 25});
}

TEST(ComputeImageRect, UnknownAlignmentLeavesTheItemCorner) {
    const Placed placed = Place(7, true);
    ExpectRect(placed.image, ITEM);
    ExpectRect(placed.caption, ITEM);
}

TEST(ComputeImageRect, PressedPushButtonMovesTheImageByOnePixel) {
    for (std::uint8_t align : {IMAGE_ALIGN_LEFT, IMAGE_ALIGN_TOP, IMAGE_ALIGN_RIGHT}) {
        for (bool caption : {false, true}) {
            const Placed resting = Place(align, caption);
            const Placed pressed = Place(align, caption, true);
            const Placed checkBox = Place(align, caption, true, true);
            EXPECT_EQ(pressed.image.left, resting.image.left + 1);
            EXPECT_EQ(pressed.image.top, resting.image.top + 1);
            EXPECT_EQ(pressed.image.Width(), resting.image.Width());
            ExpectRect(pressed.caption, resting.caption);
            ExpectRect(checkBox.image, resting.image);
        }
    }
}

TEST(CenterIn, HalvesTheSpareRoomTruncating) {
    ExpectRect(CenterIn({0, 0, 30, 13}, {0, 0, 75, 25}), {22, 6, 52, 19});
    ExpectRect(CenterIn({19, 0, 40, 13}, {19, 0, 75, 25}), {36, 6, 57, 19});
}

TEST(CenterIn, WiderTextMovesLeftTruncatingTowardZero) {
    // (10 - 13) / 2 truncates to -1, not -2.
    ExpectRect(CenterIn({0, 0, 13, 13}, {0, 0, 10, 13}), {-1, 0, 12, 13});
}
