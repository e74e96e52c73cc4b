// Measures of the owner-drawn menu's items and the choice of what an item's
// image cell shows, as pure arithmetic on the item's state.
#pragma once

namespace MenuItemLayout {

struct ItemSize {
    int width;
    int height;
};

// Room around the item image: wider in the flat look.
int Margin(bool flat);

ItemSize SeparatorSize(int menuBarHeight, int iconHeight, bool flat);
ItemSize ItemSizeFor(int textWidth, int iconWidth, int iconHeight, int menuBarHeight, bool flat);

// Vertical offset of the classic image frame (4 pixels of frame included),
// truncated and never negative.
int ClassicImageOffset(int itemHeight, int iconHeight);

// Offset that centres `inner` in `outer`, rounded half up, never negative.
int FlatCentredOffset(int outer, int inner);

enum class ImageCase {
    None,           // no image and no check image: the cell is not drawn
    CheckImage,     // a check image replaces the item's image
    SelectedImage,  // the item's image on a raised or sunken cell
    DisabledImage,  // the item's image embossed
    PlainImage,     // the item's image, not selected
};

struct ItemState {
    bool selected;
    bool grayed;
    bool checked;
    int imageMarker;     // 0 or more when an image list holds the item's image
    int checkedImage;    // check image for a selected checked item when > 0
    int uncheckedImage;  // check image for every checked item when > 0
};

ImageCase ClassifyImage(const ItemState& state);

}  // namespace MenuItemLayout
