// Colour arithmetic of the owner-drawn controls on COLORREF values
// (0x00BBGGRR), kept free of windows.h so it can be tested natively.
#pragma once

#include <cstdint>

namespace ColorMath {

using Color = std::uint32_t;

constexpr std::uint8_t RedOf(Color color) { return static_cast<std::uint8_t>(color & 0xFF); }
constexpr std::uint8_t GreenOf(Color color) { return static_cast<std::uint8_t>((color >> 8) & 0xFF); }
constexpr std::uint8_t BlueOf(Color color) { return static_cast<std::uint8_t>((color >> 16) & 0xFF); }

constexpr Color MakeColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<Color>(red) | (static_cast<Color>(green) << 8) | (static_cast<Color>(blue) << 16);
}

// Moves each channel toward 255 by `factor` (0 < factor <= 1), truncating;
// the result keeps only the three channel bytes. Any other factor returns
// `color` unchanged, top byte included.
Color TintColor(double factor, Color color);

// The grey of a colour by the BT.601 luma weights, truncated; pure black is
// returned as it is so that the dark outline of an icon survives.
Color GrayOf(Color color);

}  // namespace ColorMath
