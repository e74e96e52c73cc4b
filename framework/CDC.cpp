#include "framework/CDC.h"

CDC::~CDC() { DeleteDC(); }

BOOL CDC::Attach(HDC dc) {
    if (dc == nullptr || m_hDC != nullptr) return FALSE;
    m_hDC = dc;
    m_hAttribDC = dc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
    return dc;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) return FALSE;
    return ::DeleteDC(Detach());
}

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    return Attach(::CreateCompatibleDC(dc != nullptr ? dc->m_hDC : nullptr));
}

CPen* CDC::SelectObject(CPen* pen) { return CPen::FromHandle(static_cast<HPEN>(SelectObject(pen->m_hObject))); }

CBrush* CDC::SelectObject(CBrush* brush) {
    return CBrush::FromHandle(static_cast<HBRUSH>(SelectObject(brush->m_hObject)));
}

CFont* CDC::SelectObject(CFont* font) { return CFont::FromHandle(static_cast<HFONT>(SelectObject(font->m_hObject))); }

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return CBitmap::FromHandle(static_cast<HBITMAP>(SelectObject(bitmap->m_hObject)));
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) { return object == nullptr ? nullptr : ::SelectObject(m_hDC, object); }

COLORREF CDC::SetTextColor(COLORREF color) { return ::SetTextColor(m_hDC, color); }

COLORREF CDC::SetBkColor(COLORREF color) { return ::SetBkColor(m_hDC, color); }

int CDC::SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }

POINT CDC::SetWindowOrg(int x, int y) {
    POINT previous{};
    ::SetWindowOrgEx(m_hDC, x, y, &previous);
    return previous;
}

int CDC::GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hAttribDC, index); }

BOOL CDC::FillRect(const RECT* rect, CBrush* brush) {
    return ::FillRect(m_hDC, rect, static_cast<HBRUSH>(brush->m_hObject));
}

BOOL CDC::FrameRect(const RECT* rect, CBrush* brush) {
    return ::FrameRect(m_hDC, rect, static_cast<HBRUSH>(brush->m_hObject));
}

void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    const COLORREF previous = ::SetBkColor(m_hDC, color);
    ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rect, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, previous);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    const RECT rect{x, y, x + cx, y + cy};
    FillSolidRect(&rect, color);
}

void CDC::Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight) {
    const int width = rect->right - rect->left;
    const int height = rect->bottom - rect->top;
    FillSolidRect(rect->left, rect->top, width - 1, 1, topLeft);
    FillSolidRect(rect->left, rect->top, 1, height - 1, topLeft);
    FillSolidRect(rect->right - 1, rect->top, 1, height, bottomRight);
    FillSolidRect(rect->left, rect->bottom - 1, width, 1, bottomRight);
}

BOOL CDC::DrawEdge(RECT* rect, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, rect, edge, flags); }

void CDC::DrawFocusRect(const RECT* rect) { ::DrawFocusRect(m_hDC, rect); }

POINT CDC::MoveTo(int x, int y) {
    POINT previous{};
    ::MoveToEx(m_hDC, x, y, &previous);
    return previous;
}

BOOL CDC::LineTo(int x, int y) { return ::LineTo(m_hDC, x, y); }

BOOL CDC::Ellipse(int left, int top, int right, int bottom) { return ::Ellipse(m_hDC, left, top, right, bottom); }

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, width, height, source != nullptr ? source->m_hDC : nullptr, xSource, ySource, rop);
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) { return ::PatBlt(m_hDC, x, y, width, height, rop); }

int CDC::DrawText(const std::wstring& text, RECT* rect, UINT format) {
    return ::DrawTextW(m_hDC, text.c_str(), static_cast<int>(text.size()), rect, format);
}

SIZE CDC::GetTextExtent(const std::wstring& text) const {
    SIZE size{};
    ::GetTextExtentPoint32W(m_hAttribDC, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

BOOL CDC::DrawState(POINT point, SIZE size, HICON icon, UINT flags, HBRUSH brush) {
    return ::DrawStateW(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(icon), 0, point.x, point.y, size.cx,
                        size.cy, flags | DST_ICON);
}

BOOL CDC::DrawState(POINT point, SIZE size, HBITMAP bitmap, UINT flags, HBRUSH brush) {
    return ::DrawStateW(m_hDC, brush, nullptr, reinterpret_cast<LPARAM>(bitmap), 0, point.x, point.y, size.cx,
                        size.cy, flags | DST_BITMAP);
}
