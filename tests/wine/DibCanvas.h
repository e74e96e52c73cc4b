// A 32-bit top-down DIB section selected into a memory DC: tests paint into
// it through GDI and read the pixels back, or save it as a .bmp file.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

// The layout of a 32-bit top-down DIB of that size.
BITMAPINFO TopDownLayout32(int width, int height);

class DibCanvas {
public:
    DibCanvas(int width, int height, COLORREF fill);
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    ~DibCanvas();

    HDC Dc() const { return m_dc; }
    HBITMAP Bitmap() const { return m_bitmap; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    RECT Rect() const { return RECT{0, 0, m_width, m_height}; }

    // The window's client area as it is painted on screen, after a full
    // repaint of the window and its children.
    static std::unique_ptr<DibCanvas> FromWindowClient(HWND window);

    // The pixel as a COLORREF (0x00BBGGRR).
    COLORREF Pixel(int x, int y) const;
    void Fill(COLORREF color);
    bool SameAs(const DibCanvas& other) const;
    // Writes the canvas as a 24-bit .bmp file; false when it cannot.
    bool SaveBmp(const std::wstring& path) const;
    // Where the pictures saved for a person go: `file` in renders/ next to
    // the test program (the folder is made when missing).
    static std::wstring RenderPath(const std::wstring& file);

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    DWORD* m_bits = nullptr;
};
