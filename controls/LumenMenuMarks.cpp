// Check marks, check boxes, embossed images of disabled items and the tests
// the painters make about the theme and the shared images.
#include "controls/LumenMenu.h"

#include "core/ClassicThemeName.h"
#include "core/WindowsVersion.h"
#include "framework/CDC.h"

namespace {

constexpr double UNSELECTED_CLASSIC_BOX_TINT = 0.6;
constexpr double FLAT_BOX_TINT = 0.85;
constexpr int MARK_STROKE_LENGTH = 3;
constexpr int RADIO_MARK_SIZE = 6;
// Rows at which each column of the tick starts, left to right.
constexpr int CHECK_MARK_FIRST_ROWS[] = {2, 3, 4, 3, 2, 1, 0};
constexpr int CLASSIC_CHECK_OFFSET_X = 4;
constexpr int FLAT_CHECK_OFFSET_X = 5;
constexpr int RADIO_OFFSET_X = 5;
constexpr int MARK_OFFSET_Y = 4;
// Where the source is black the brush is painted, where white the destination stays.
constexpr DWORD ROP_PSDPXAX = 0x00B8074A;
// Where the source is white the brush is painted, where black the destination stays.
constexpr DWORD ROP_DSPDXAX = 0x00E20746;
constexpr wchar_t THEME_KEY[] = L"Software\\Microsoft\\Plus!\\Themes\\Current";
constexpr DWORD THEME_VALUE_BYTES = 260;

// Asked once per process: a theme change while the program runs is not seen.
bool g_themeAsked = false;
bool g_themeClassic = false;

void DrawMark(CDC* dc, RECT cell, HBITMAP dotSelector, int checkOffsetX) {
    const COLORREF color = ::GetSysColor(COLOR_MENUTEXT);
    if (dotSelector != nullptr) {
        LumenMenu::DrawRadioMark(dc, cell.left + RADIO_OFFSET_X, cell.top + MARK_OFFSET_Y, color);
    } else {
        LumenMenu::DrawCheckMark(dc, cell.left + checkOffsetX, cell.top + MARK_OFFSET_Y, color);
    }
}

}  // namespace

void LumenMenu::DrawCheckMark(CDC* dc, int x, int y, COLORREF color) {
    CPen pen(PS_SOLID, 0, color);
    CPen* previous = dc->SelectObject(&pen);
    int column = x;
    for (int firstRow : CHECK_MARK_FIRST_ROWS) {
        dc->MoveTo(column, y + firstRow);
        dc->LineTo(column, y + firstRow + MARK_STROKE_LENGTH);
        ++column;
    }
    dc->SelectObject(previous);
}

void LumenMenu::DrawRadioMark(CDC* dc, int x, int y, COLORREF color) {
    CBrush brush(color);
    CPen pen(PS_SOLID, 0, color);
    CBrush* previousBrush = dc->SelectObject(&brush);
    CPen* previousPen = dc->SelectObject(&pen);
    dc->Ellipse(x, y, x + RADIO_MARK_SIZE, y + RADIO_MARK_SIZE);
    dc->SelectObject(previousBrush);
    dc->SelectObject(previousPen);
}

BOOL LumenMenu::DrawCheckBoxClassic(CDC* dc, RECT cell, BOOL selected, HBITMAP dotSelector) {
    const bool themedXp = s_nOsClass == WindowsVersion::WINXP && !IsClassicTheme();
    COLORREF color = ::GetSysColor(themedXp ? COLOR_BTNFACE : COLOR_MENU);
    if (!selected) color = TintColor(UNSELECTED_CLASSIC_BOX_TINT, color);
    CBrush brush(color);
    dc->FillRect(&cell, &brush);
    if (s_nOsClass >= WindowsVersion::WIN95) {
        RECT edge = cell;
        dc->DrawEdge(&edge, BDR_SUNKENOUTER, BF_RECT);
    }
    DrawMark(dc, cell, dotSelector, CLASSIC_CHECK_OFFSET_X);
    return TRUE;
}

BOOL LumenMenu::DrawCheckBoxFlat(CDC* dc, RECT cell, COLORREF frame, HBITMAP dotSelector) {
    CBrush brush(TintColor(FLAT_BOX_TINT, frame));
    dc->FillRect(&cell, &brush);
    dc->Draw3dRect(&cell, frame, frame);
    DrawMark(dc, cell, dotSelector, FLAT_CHECK_OFFSET_X);
    return TRUE;
}

void LumenMenu::DrawDisabledBitmapMono(HDC target, int x, int y, int width, int height, HBITMAP image,
                                       COLORREF background) {
    HDC sourceDc = ::CreateCompatibleDC(target);
    if (sourceDc == nullptr) return;
    HDC maskDc = ::CreateCompatibleDC(sourceDc);
    if (maskDc == nullptr) {
        ::DeleteDC(sourceDc);
        return;
    }
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height;
    info.header.biPlanes = 1;
    info.header.biBitCount = 1;
    info.header.biCompression = BI_RGB;
    info.colors[1] = RGBQUAD{0xFF, 0xFF, 0xFF, 0};
    void* bits = nullptr;
    HBITMAP mask = ::CreateDIBSection(maskDc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (mask == nullptr) {
        ::DeleteDC(maskDc);
        ::DeleteDC(sourceDc);
        return;
    }
    HGDIOBJ previousMask = ::SelectObject(maskDc, mask);
    HGDIOBJ previousImage = ::SelectObject(sourceDc, image);
    ::BitBlt(maskDc, 0, 0, width, height, sourceDc, 0, 0, SRCCOPY);

    const RECT area{x, y, x + width, y + height};
    HBRUSH backgroundBrush = ::CreateSolidBrush(background);
    ::FillRect(target, &area, backgroundBrush);
    ::DeleteObject(backgroundBrush);

    HGDIOBJ previousBrush = ::SelectObject(target, ::CreateSolidBrush(::GetSysColor(COLOR_BTNHIGHLIGHT)));
    ::BitBlt(target, x + 1, y + 1, width, height, maskDc, 0, 0, ROP_PSDPXAX);
    ::DeleteObject(::SelectObject(target, ::CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW))));
    ::BitBlt(target, x, y, width, height, maskDc, 0, 0, ROP_PSDPXAX);

    ::DeleteObject(::SelectObject(target, previousBrush));
    ::DeleteObject(::SelectObject(maskDc, previousMask));
    ::SelectObject(sourceDc, previousImage);
    ::DeleteDC(maskDc);
    ::DeleteDC(sourceDc);
}

void LumenMenu::DrawDisabledBitmap(CDC* target, int x, int y, int width, int height, CBitmap* image,
                                   COLORREF background) {
    CDC maskDc;
    CDC imageDc;
    if (!maskDc.CreateCompatibleDC(nullptr) || !imageDc.CreateCompatibleDC(nullptr)) return;
    CBitmap mask;
    mask.CreateCompatibleBitmap(&maskDc, width, height);
    CBitmap* previousMask = maskDc.SelectObject(&mask);
    CBitmap* previousImage = image != nullptr ? imageDc.SelectObject(image) : nullptr;

    maskDc.PatBlt(0, 0, width, height, WHITENESS);
    imageDc.SetBkColor(::GetSysColor(COLOR_BTNFACE));
    maskDc.BitBlt(0, 0, width, height, &imageDc, 0, 0, SRCCOPY);
    imageDc.SetBkColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    maskDc.BitBlt(0, 0, width, height, &imageDc, 0, 0, SRCPAINT);

    imageDc.FillSolidRect(0, 0, width, height, background);
    imageDc.SetBkColor(RGB(0, 0, 0));
    imageDc.SetTextColor(RGB(255, 255, 255));
    CBrush highlight(::GetSysColor(COLOR_BTNHIGHLIGHT));
    CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
    CBrush* previousBrush = imageDc.SelectObject(&highlight);
    imageDc.BitBlt(0, 0, width, height, &maskDc, 0, 0, ROP_DSPDXAX);
    target->BitBlt(x + 1, y + 1, width, height, &imageDc, 0, 0, SRCCOPY);
    imageDc.BitBlt(1, 1, width, height, &maskDc, 0, 0, ROP_DSPDXAX);
    imageDc.SelectObject(&shadow);
    imageDc.BitBlt(0, 0, width, height, &maskDc, 0, 0, ROP_DSPDXAX);
    target->BitBlt(x, y, width, height, &imageDc, 0, 0, SRCCOPY);

    maskDc.SelectObject(previousMask);
    imageDc.SelectObject(previousBrush);
    if (previousImage != nullptr) imageDc.SelectObject(previousImage);
}

BOOL LumenMenu::IsClassicTheme() {
    if (g_themeAsked) return g_themeClassic;
    g_themeAsked = true;
    g_themeClassic = false;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, THEME_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS) return FALSE;
    BYTE value[THEME_VALUE_BYTES] = {};
    DWORD size = sizeof(value);
    if (::RegQueryValueExW(key, nullptr, nullptr, nullptr, value, &size) == ERROR_SUCCESS) {
        g_themeClassic = ClassicThemeName::IsClassic(ClassicThemeName::TextFromValueBytes(value, size));
    }
    ::RegCloseKey(key);
    return g_themeClassic;
}

BOOL LumenMenu::HasImageTriple(int index) {
    const auto count = static_cast<long long>(s_sharedImageIds.size());
    if (index + 1LL >= count || index + 2LL >= count) return FALSE;
    const int id = s_sharedImageIds.at(static_cast<size_t>(index));
    return id == s_sharedImageIds.at(static_cast<size_t>(index) + 1) &&
           id == s_sharedImageIds.at(static_cast<size_t>(index) + 2);
}
