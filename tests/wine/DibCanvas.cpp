#include "tests/wine/DibCanvas.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr WORD BMP_MAGIC = 0x4D42;  // "BM"
constexpr int BMP_BITS = 24;
constexpr int BMP_ROW_ALIGN = 4;

using FileCloser = int (*)(std::FILE*);

template <class T>
void Put(std::FILE* out, T value) {
    std::fwrite(&value, sizeof(value), 1, out);
}

}  // namespace

BITMAPINFO TopDownLayout32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

DibCanvas::DibCanvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
    BITMAPINFO info = TopDownLayout32(width, height);
    void* bits = nullptr;
    m_dc = ::CreateCompatibleDC(nullptr);
    m_bitmap = ::CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<DWORD*>(bits);
    m_previous = ::SelectObject(m_dc, m_bitmap);
    Fill(fill);
}

DibCanvas::~DibCanvas() {
    ::SelectObject(m_dc, m_previous);
    ::DeleteObject(m_bitmap);
    ::DeleteDC(m_dc);
}

COLORREF DibCanvas::Pixel(int x, int y) const {
    ::GdiFlush();
    const DWORD bgr = m_bits[y * m_width + x];
    return RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF);
}

void DibCanvas::Fill(COLORREF color) {
    HBRUSH brush = ::CreateSolidBrush(color);
    const RECT rect = Rect();
    ::FillRect(m_dc, &rect, brush);
    ::DeleteObject(brush);
}

bool DibCanvas::SameAs(const DibCanvas& other) const {
    if (other.m_width != m_width || other.m_height != m_height) return false;
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            if (Pixel(x, y) != other.Pixel(x, y)) return false;
        }
    }
    return true;
}

bool DibCanvas::SaveBmp(const std::wstring& path) const {
    std::unique_ptr<std::FILE, FileCloser> file(::_wfopen(path.c_str(), L"wb"), &std::fclose);
    if (!file) return false;
    std::FILE* out = file.get();
    const int rowBytes = (m_width * BMP_BITS / 8 + BMP_ROW_ALIGN - 1) / BMP_ROW_ALIGN * BMP_ROW_ALIGN;
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    Put<WORD>(out, BMP_MAGIC);
    Put<DWORD>(out, offset + static_cast<DWORD>(rowBytes * m_height));
    Put<DWORD>(out, 0);
    Put<DWORD>(out, offset);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = m_width;
    header.biHeight = m_height;
    header.biPlanes = 1;
    header.biBitCount = BMP_BITS;
    header.biCompression = BI_RGB;
    Put(out, header);
    std::vector<char> row(static_cast<size_t>(rowBytes), 0);
    for (int y = m_height - 1; y >= 0; --y) {
        for (int x = 0; x < m_width; ++x) {
            const COLORREF color = Pixel(x, y);
            row[static_cast<size_t>(x * 3)] = static_cast<char>(GetBValue(color));
            row[static_cast<size_t>(x * 3 + 1)] = static_cast<char>(GetGValue(color));
            row[static_cast<size_t>(x * 3 + 2)] = static_cast<char>(GetRValue(color));
        }
        std::fwrite(row.data(), 1, row.size(), out);
    }
    return std::ferror(out) == 0;
}

std::unique_ptr<DibCanvas> DibCanvas::FromWindowClient(HWND window) {
    constexpr COLORREF UNPAINTED = RGB(1, 2, 3);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client{};
    ::GetClientRect(window, &client);
    auto canvas = std::make_unique<DibCanvas>(client.right, client.bottom, UNPAINTED);
    HDC windowDc = ::GetDC(window);
    ::BitBlt(canvas->Dc(), 0, 0, client.right, client.bottom, windowDc, 0, 0, SRCCOPY);
    ::ReleaseDC(window, windowDc);
    return canvas;
}

std::wstring DibCanvas::RenderPath(const std::wstring& file) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    path[MAX_PATH - 1] = L'\0';
    std::wstring directory(path);
    directory = directory.substr(0, directory.find_last_of(L"\\/") + 1) + L"renders";
    ::CreateDirectoryW(directory.c_str(), nullptr);
    return directory + L"\\" + file;
}
