#include "pages/OffscreenPaint.h"

OffscreenPaint::OffscreenPaint(CWnd& window, COLORREF background) : m_window(window) {
    m_window.GetClientRect(&m_client);
    m_screen.Attach(::BeginPaint(m_window.m_hWnd, &m_paint));
    m_memory.CreateCompatibleDC(&m_screen);
    m_bitmap.CreateCompatibleBitmap(&m_screen, Width(), Height());
    m_oldBitmap = m_memory.SelectObject(&m_bitmap);
    m_memory.FillSolidRect(&m_client, background);
}

OffscreenPaint::~OffscreenPaint() {
    m_screen.BitBlt(0, 0, Width(), Height(), &m_memory, 0, 0, SRCCOPY);
    m_memory.SelectObject(m_oldBitmap);
    m_screen.Detach();
    ::EndPaint(m_window.m_hWnd, &m_paint);
}
