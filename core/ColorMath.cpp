#include "core/ColorMath.h"

namespace ColorMath {

namespace {

constexpr int CHANNEL_MAX = 255;
// BT.601 luma weights in thousandths, so that the sum stays exact.
constexpr int LUMA_RED = 299;
constexpr int LUMA_GREEN = 587;
constexpr int LUMA_BLUE = 114;
constexpr int LUMA_SCALE = 1000;

std::uint8_t TintChannel(double factor, std::uint8_t channel) {
    return static_cast<std::uint8_t>(channel + factor * (CHANNEL_MAX - channel));
}

}  // namespace

Color TintColor(double factor, Color color) {
    if (!(factor > 0.0 && factor <= 1.0)) {
        return color;
    }
    return MakeColor(TintChannel(factor, RedOf(color)), TintChannel(factor, GreenOf(color)),
                     TintChannel(factor, BlueOf(color)));
}

Color GrayOf(Color color) {
    if (color == 0) {
        return color;
    }
    const int luma = (LUMA_RED * RedOf(color) + LUMA_GREEN * GreenOf(color) + LUMA_BLUE * BlueOf(color)) / LUMA_SCALE;
    const auto grey = static_cast<std::uint8_t>(luma);
    return MakeColor(grey, grey, grey);
}

}  // namespace ColorMath
