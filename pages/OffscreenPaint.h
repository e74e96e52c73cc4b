// Paints a window through an off-screen bitmap of its client size: the
// picture is drawn on Surface() and copied to the window in one step when the
// object goes, so a repaint never flickers.
#pragma once

#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CWnd.h"

class OffscreenPaint {
public:
    // Begins the window's paint and fills the surface with `background`.
    OffscreenPaint(CWnd& window, COLORREF background);
    ~OffscreenPaint();
    OffscreenPaint(const OffscreenPaint&) = delete;
    OffscreenPaint& operator=(const OffscreenPaint&) = delete;

    CDC& Surface() { return m_memory; }
    const RECT& Client() const { return m_client; }
    int Width() const { return m_client.right - m_client.left; }
    int Height() const { return m_client.bottom - m_client.top; }

private:
    CWnd& m_window;
    PAINTSTRUCT m_paint{};
    RECT m_client{};
    CDC m_screen;
    CDC m_memory;
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
};
