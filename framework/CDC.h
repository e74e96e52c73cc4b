// A device context. A DC made by CreateCompatibleDC is owned and deleted with
// the object; one taken with Attach must be given back with Detach. Painting
// calls forward to GDI on the output handle.
#pragma once

#include "framework/CBitmap.h"
#include "framework/CBrush.h"
#include "framework/CFont.h"
#include "framework/CPen.h"

#include <string>

class CDC {
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC m_hDC = nullptr;        // where output goes
    HDC m_hAttribDC = nullptr;  // what attribute queries read
    BOOL m_bPrinting = FALSE;

    BOOL Attach(HDC dc);
    HDC Detach();
    BOOL DeleteDC();
    BOOL CreateCompatibleDC(CDC* dc);
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    BOOL IsPrinting() const { return m_bPrinting; }

    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    CFont* SelectObject(CFont* font);
    CBitmap* SelectObject(CBitmap* bitmap);
    HGDIOBJ SelectObject(HGDIOBJ object);

    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBkColor(COLORREF color);
    int SetBkMode(int mode);
    POINT SetWindowOrg(int x, int y);
    int GetDeviceCaps(int index) const;

    BOOL FillRect(const RECT* rect, CBrush* brush);
    BOOL FrameRect(const RECT* rect, CBrush* brush);
    // Fills with a colour, leaving the background colour as it was.
    void FillSolidRect(const RECT* rect, COLORREF color);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color);
    // Top and left sides in `topLeft`, bottom and right sides in `bottomRight`.
    void Draw3dRect(const RECT* rect, COLORREF topLeft, COLORREF bottomRight);
    BOOL DrawEdge(RECT* rect, UINT edge, UINT flags);
    void DrawFocusRect(const RECT* rect);

    POINT MoveTo(int x, int y);
    BOOL LineTo(int x, int y);
    BOOL Ellipse(int left, int top, int right, int bottom);

    BOOL BitBlt(int x, int y, int width, int height, CDC* source, int xSource, int ySource, DWORD rop);
    BOOL PatBlt(int x, int y, int width, int height, DWORD rop);

    int DrawText(const std::wstring& text, RECT* rect, UINT format);
    SIZE GetTextExtent(const std::wstring& text) const;
    BOOL DrawState(POINT point, SIZE size, HICON icon, UINT flags, HBRUSH brush = nullptr);
    BOOL DrawState(POINT point, SIZE size, HBITMAP bitmap, UINT flags, HBRUSH brush = nullptr);
};
