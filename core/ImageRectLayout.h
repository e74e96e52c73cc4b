// Where the owner-drawn button puts its image and its caption: pure
// rectangle arithmetic on the button's client coordinates.
#pragma once

#include <cstdint>

struct LayoutRect {
    int left;
    int top;
    int right;
    int bottom;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    void Offset(int dx, int dy);
};

constexpr std::uint8_t IMAGE_ALIGN_LEFT = 0;   // image left of the caption
constexpr std::uint8_t IMAGE_ALIGN_TOP = 1;    // image above the caption
constexpr std::uint8_t IMAGE_ALIGN_RIGHT = 2;  // image right of the caption

struct ImageRectRequest {
    std::uint8_t align;
    int imageWidth;
    int imageHeight;
    bool hasCaption;
    bool pressed;
    bool checkBox;
};

namespace ImageRectLayout {

// The image rectangle: only its left and top are placed, its right and
// bottom stay those of `item`. Narrows `caption` to leave room for the image.
// A pressed push button (not a check box) shows the image one pixel down and
// right.
LayoutRect ComputeImageRect(const ImageRectRequest& request, const LayoutRect& item, LayoutRect& caption);

// Moves `measured` so that it is centred in `within`, halving the spare room
// with truncation toward zero.
LayoutRect CenterIn(const LayoutRect& measured, const LayoutRect& within);

}  // namespace ImageRectLayout
