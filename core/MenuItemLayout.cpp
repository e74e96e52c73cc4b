#include "core/MenuItemLayout.h"

#include <algorithm>

namespace MenuItemLayout {

namespace {

constexpr int FLAT_MARGIN = 7;
constexpr int CLASSIC_MARGIN = 4;
constexpr int FLAT_TEXT_GAP = 8;
constexpr int CLASSIC_EXTRA_WIDTH = 1;
constexpr int CLASSIC_IMAGE_FRAME = 4;
constexpr int NO_MARKER = -1;

}  // namespace

int Margin(bool flat) { return flat ? FLAT_MARGIN : CLASSIC_MARGIN; }

ItemSize SeparatorSize(int menuBarHeight, int iconHeight, bool flat) {
    return {0, std::max(menuBarHeight >> 1, (iconHeight + Margin(flat)) / 2)};
}

ItemSize ItemSizeFor(int textWidth, int iconWidth, int iconHeight, int menuBarHeight, bool flat) {
    const int width = flat ? textWidth + iconWidth + Margin(flat) + FLAT_TEXT_GAP
                           : textWidth + 2 * iconWidth + CLASSIC_EXTRA_WIDTH;
    return {width, std::max(menuBarHeight, iconHeight + Margin(flat))};
}

int ClassicImageOffset(int itemHeight, int iconHeight) {
    return std::max(0, (itemHeight - iconHeight - CLASSIC_IMAGE_FRAME) / 2);
}

int FlatCentredOffset(int outer, int inner) {
    return std::max(0, static_cast<int>((outer - inner) * 0.5 + 0.5));
}

ImageCase ClassifyImage(const ItemState& state) {
    if (state.checked && state.imageMarker < 0) {
        const bool useCheckImage =
            (state.selected && state.checkedImage > 0) || state.uncheckedImage > 0;
        return useCheckImage ? ImageCase::CheckImage : ImageCase::None;
    }
    if (state.imageMarker == NO_MARKER) {
        return ImageCase::None;
    }
    if (state.grayed) {
        return ImageCase::DisabledImage;
    }
    return state.selected ? ImageCase::SelectedImage : ImageCase::PlainImage;
}

}  // namespace MenuItemLayout
