// The menu font and the device context that owner-drawn menus measure texts
// with; both are released when the object goes.
#pragma once

#include "framework/CDC.h"

class LumenMenuMeasuring {
public:
    // With `selectFont` clear the font is made but the DC keeps its own.
    explicit LumenMenuMeasuring(bool selectFont = true);
    LumenMenuMeasuring(const LumenMenuMeasuring&) = delete;
    LumenMenuMeasuring& operator=(const LumenMenuMeasuring&) = delete;
    ~LumenMenuMeasuring();

    CDC* Dc() { return &m_dc; }
    int TextWidth(const std::wstring& text) const;

    // The font that menus use, from the non-client metrics; the stock GUI
    // font's face when those cannot be read.
    static BOOL CreateMenuFont(CFont& font);

private:
    HWND m_window = nullptr;
    CDC m_dc;
    CFont m_font;
    CFont* m_pPrevFont = nullptr;
};
