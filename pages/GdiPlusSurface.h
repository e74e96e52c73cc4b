// The pop-ups' title bands and frames are drawn through the GDI+ flat API,
// which gives the half-transparent border plain GDI cannot. Colours are ARGB;
// rectangles are x, y, width, height; pens are one unit wide.
#pragma once

#include <windows.h>

#include <cstdint>

class GdiPlusSurface {
public:
    explicit GdiPlusSurface(HDC dc);
    GdiPlusSurface(const GdiPlusSurface&) = delete;
    GdiPlusSurface& operator=(const GdiPlusSurface&) = delete;
    ~GdiPlusSurface();

    void DrawRectangle(std::uint32_t argb, int x, int y, int width, int height);
    void FillRectangle(std::uint32_t argb, int x, int y, int width, int height);
    void DrawLine(std::uint32_t argb, int x1, int y1, int x2, int y2);

    // An opaque ARGB colour from a GDI COLORREF.
    static std::uint32_t OpaqueArgb(COLORREF color);

private:
    void* m_graphics = nullptr;
};
