#include "core/ImageRectLayout.h"

namespace {

// Gap between the image and the button's edge when a caption shares the face.
constexpr int IMAGE_EDGE_GAP = 3;

int Centred(int start, int outer, int inner) { return start + (outer - inner) / 2; }

}  // namespace

void LayoutRect::Offset(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
}

namespace ImageRectLayout {

namespace {

void PlaceLeft(const ImageRectRequest& request, const LayoutRect& item, LayoutRect& image, LayoutRect& caption) {
    image.top = Centred(item.top, item.Height(), request.imageHeight);
    if (!request.hasCaption) {
        image.left = Centred(item.left, item.Width(), request.imageWidth);
        return;
    }
    image.left = item.left + IMAGE_EDGE_GAP;
    caption.left += request.imageWidth + IMAGE_EDGE_GAP;
}

void PlaceTop(const ImageRectRequest& request, const LayoutRect& item, LayoutRect& image, LayoutRect& caption) {
    image.left = Centred(item.left, item.Width(), request.imageWidth);
    if (!request.hasCaption) {
        image.top = Centred(item.top, item.Height(), request.imageHeight);
        return;
    }
    image.top = IMAGE_EDGE_GAP;
    caption.top += request.imageHeight;
}

void PlaceRight(const ImageRectRequest& request, const LayoutRect& item, LayoutRect& image, LayoutRect& caption) {
    if (!request.hasCaption) {
        image.left = Centred(item.left, item.Width(), request.imageWidth);
        image.top = item.top;
        return;
    }
    image.left = item.right - request.imageWidth - IMAGE_EDGE_GAP;
    image.top = Centred(item.top, item.Height(), request.imageHeight);
    const int oldLeft = caption.left;
    caption.left = IMAGE_EDGE_GAP;
    caption.right = caption.right - oldLeft - request.imageWidth - IMAGE_EDGE_GAP;
}

}  // namespace

LayoutRect ComputeImageRect(const ImageRectRequest& request, const LayoutRect& item, LayoutRect& caption) {
    LayoutRect image = item;
    switch (request.align) {
    case IMAGE_ALIGN_LEFT:
        PlaceLeft(request, item, image, caption);
        break;
    case IMAGE_ALIGN_TOP:
        PlaceTop(request, item, image, caption);
        break;
    case IMAGE_ALIGN_RIGHT:
        PlaceRight(request, item, image, caption);
        break;
    default:
        break;
    }
    if (request.pressed && !request.checkBox) {
        image.Offset(1, 1);
    }
    return image;
}

LayoutRect CenterIn(const LayoutRect& measured, const LayoutRect& within) {
    LayoutRect centred = measured;
    centred.Offset((within.Width() - measured.Width()) / 2, (within.Height() - measured.Height()) / 2);
    return centred;
}

}  // namespace ImageRectLayout
