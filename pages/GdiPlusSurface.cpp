#include "pages/GdiPlusSurface.h"

#include <objidl.h>
#include <gdiplus.h>

namespace {
constexpr Gdiplus::REAL PEN_WIDTH = 1.0f;
constexpr std::uint32_t OPAQUE_ALPHA = 0xFF000000;
constexpr int RED_SHIFT = 16;
constexpr int GREEN_SHIFT = 8;

Gdiplus::GpGraphics* Graphics(void* graphics) { return static_cast<Gdiplus::GpGraphics*>(graphics); }
}  // namespace

GdiPlusSurface::GdiPlusSurface(HDC dc) {
    Gdiplus::GpGraphics* graphics = nullptr;
    if (Gdiplus::DllExports::GdipCreateFromHDC(dc, &graphics) == Gdiplus::Ok) m_graphics = graphics;
}

GdiPlusSurface::~GdiPlusSurface() {
    if (m_graphics != nullptr) Gdiplus::DllExports::GdipDeleteGraphics(Graphics(m_graphics));
}

void GdiPlusSurface::DrawRectangle(std::uint32_t argb, int x, int y, int width, int height) {
    if (m_graphics == nullptr) return;
    Gdiplus::GpPen* pen = nullptr;
    if (Gdiplus::DllExports::GdipCreatePen1(argb, PEN_WIDTH, Gdiplus::UnitWorld, &pen) != Gdiplus::Ok) return;
    Gdiplus::DllExports::GdipDrawRectangleI(Graphics(m_graphics), pen, x, y, width, height);
    Gdiplus::DllExports::GdipDeletePen(pen);
}

void GdiPlusSurface::FillRectangle(std::uint32_t argb, int x, int y, int width, int height) {
    if (m_graphics == nullptr) return;
    Gdiplus::GpSolidFill* brush = nullptr;
    if (Gdiplus::DllExports::GdipCreateSolidFill(argb, &brush) != Gdiplus::Ok) return;
    Gdiplus::DllExports::GdipFillRectangleI(Graphics(m_graphics), brush, x, y, width, height);
    Gdiplus::DllExports::GdipDeleteBrush(brush);
}

void GdiPlusSurface::DrawLine(std::uint32_t argb, int x1, int y1, int x2, int y2) {
    if (m_graphics == nullptr) return;
    Gdiplus::GpPen* pen = nullptr;
    if (Gdiplus::DllExports::GdipCreatePen1(argb, PEN_WIDTH, Gdiplus::UnitWorld, &pen) != Gdiplus::Ok) return;
    Gdiplus::DllExports::GdipDrawLineI(Graphics(m_graphics), pen, x1, y1, x2, y2);
    Gdiplus::DllExports::GdipDeletePen(pen);
}

std::uint32_t GdiPlusSurface::OpaqueArgb(COLORREF color) {
    return OPAQUE_ALPHA | (static_cast<std::uint32_t>(GetRValue(color)) << RED_SHIFT) |
           (static_cast<std::uint32_t>(GetGValue(color)) << GREEN_SHIFT) | GetBValue(color);
}
