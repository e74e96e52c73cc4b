// Colours of the panel's own look, as Win32 COLORREF values (0x00BBGGRR).
#pragma once

#include <cstdint>

// Title bars, unselected tabs and caption buttons: red 30, green 144, blue 225.
constexpr std::uint32_t PANEL_BLUE = 0xE1901E;
