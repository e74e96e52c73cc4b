#include "controls/CIconButton.h"

#include "core/ColorMath.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace {

constexpr UINT_PTR TOOL_ID = 1;
constexpr int MAX_TIP_WIDTH = 400;
constexpr LONG_PTR BUTTON_TYPE_MASK = 0x1F;
constexpr LONG_PTR CHECK_BOX_STYLE_BIT = 0x2;
constexpr LONG_PTR STYLE_WORD_MASK = 0xFFFF;
constexpr UINT DROP_DOWN_FLAGS = TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON;
// Icon pixels are read and written as 32-bit colour with alpha.
constexpr WORD BITS_PER_PIXEL = 32;

BITMAPINFO TopDownLayout(int width, int height) {
    BITMAPINFO layout{};
    layout.bmiHeader.biSize = sizeof(layout.bmiHeader);
    layout.bmiHeader.biWidth = width;
    layout.bmiHeader.biHeight = -height;
    layout.bmiHeader.biPlanes = 1;
    layout.bmiHeader.biBitCount = BITS_PER_PIXEL;
    layout.bmiHeader.biCompression = BI_RGB;
    return layout;
}

// The bitmap's pixels, alpha included, on a width x height grid from its
// top-left corner (transparent black where the bitmap is smaller); empty
// when they cannot be read.
std::vector<RGBQUAD> PixelsOf(HDC dc, HBITMAP bitmap, const BITMAP& format, int width, int height) {
    const int sourceWidth = format.bmWidth;
    const int sourceHeight = format.bmHeight;
    std::vector<RGBQUAD> source(static_cast<std::size_t>(sourceWidth) * static_cast<std::size_t>(sourceHeight));
    BITMAPINFO layout = TopDownLayout(sourceWidth, sourceHeight);
    if (source.empty() ||
        ::GetDIBits(dc, bitmap, 0, static_cast<UINT>(sourceHeight), source.data(), &layout, DIB_RGB_COLORS) !=
            sourceHeight)
        return {};
    std::vector<RGBQUAD> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), RGBQUAD{});
    for (int y = 0; y < std::min(height, sourceHeight); ++y) {
        for (int x = 0; x < std::min(width, sourceWidth); ++x)
            pixels[static_cast<std::size_t>(y * width + x)] = source[static_cast<std::size_t>(y * sourceWidth + x)];
    }
    return pixels;
}

// Grey by the luma weights; pure black stays black, and every pixel keeps its
// alpha, so that an icon's transparent background stays transparent.
void TurnGrey(RGBQUAD& pixel) {
    const ColorMath::Color grey =
        ColorMath::GrayOf(ColorMath::MakeColor(pixel.rgbRed, pixel.rgbGreen, pixel.rgbBlue));
    pixel.rgbRed = ColorMath::RedOf(grey);
    pixel.rgbGreen = ColorMath::GreenOf(grey);
    pixel.rgbBlue = ColorMath::BlueOf(grey);
}

// The sub-menu tree below `menu` that holds the item record `itemData`.
LumenMenu* MenuHoldingRecord(LumenMenu* menu, ULONG_PTR itemData) {
    if (menu == nullptr) return nullptr;
    for (LumenMenuData* record : menu->m_items) {
        if (reinterpret_cast<ULONG_PTR>(record) == itemData) return menu;
    }
    for (HMENU popup : menu->m_popupHandles) {
        LumenMenu* found = MenuHoldingRecord(dynamic_cast<LumenMenu*>(CMenu::FromHandlePermanent(popup)), itemData);
        if (found != nullptr) return found;
    }
    return nullptr;
}

bool IsRegisteredMenu(HMENU menu) {
    return std::find(LumenMenu::s_menuHandles.begin(), LumenMenu::s_menuHandles.end(), menu) !=
           LumenMenu::s_menuHandles.end();
}

}  // namespace

BEGIN_MESSAGE_MAP(CIconButton, CButton)
    ON_WM_SETCURSOR()
    ON_WM_KILLFOCUS()
    ON_WM_MOUSEMOVE()
    ON_WM_SYSCOLORCHANGE()
    ON_BN_CLICKED_REFLECT_EX(OnClicked)
    ON_WM_ACTIVATE()
    ON_WM_ENABLE()
    ON_WM_CANCELMODE()
    ON_WM_GETDLGCODE()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_MENUCHAR()
    ON_WM_MEASUREITEM()
    ON_WM_DRAWITEM()
    ON_WM_DRAWITEM_REFLECT()
    ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_MESSAGE(BM_SETCHECK, OnSetCheck)
    ON_MESSAGE(BM_GETCHECK, OnGetCheck)
END_MESSAGE_MAP()

CIconButton::CIconButton() : m_nButtonType(BUTTON_TYPE_MASK) {
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT);
    m_colors[BUTTON_COLOR_HOVER_BACK] = face;
    m_colors[BUTTON_COLOR_HOVER_TEXT] = text;
    m_colors[BUTTON_COLOR_NORMAL_BACK] = face;
    m_colors[BUTTON_COLOR_NORMAL_TEXT] = text;
    m_colors[BUTTON_COLOR_FOCUS_BACK] = face;
    m_colors[BUTTON_COLOR_FOCUS_TEXT] = text;
}

CIconButton::~CIconButton() {
    if (m_backDC.m_hDC != nullptr && m_pOldBackBitmap != nullptr) m_backDC.SelectObject(m_pOldBackBitmap);
    FreeImages(TRUE);
    if (m_hButtonCursor != nullptr) ::DestroyCursor(m_hButtonCursor);
    if (m_menu.m_hMenu != nullptr) m_menu.DestroyMenu();
}

void CIconButton::Repaint(BOOL repaint) {
    if (repaint && m_hWnd != nullptr) Invalidate(TRUE);
}

void CIconButton::CancelHover() {
    if (m_bFlat && m_bHover) {
        m_bHover = FALSE;
        Invalidate();
    }
}

void CIconButton::FreeImages(BOOL destroy) {
    if (destroy) {
        for (ButtonIcon& icon : m_icons) {
            if (icon.icon != nullptr) ::DestroyIcon(icon.icon);
        }
        for (ButtonBitmap& bitmap : m_bitmapPair) {
            if (bitmap.bitmap != nullptr) ::DeleteObject(bitmap.bitmap);
            if (bitmap.mask != nullptr) ::DeleteObject(bitmap.mask);
        }
    }
    std::fill(std::begin(m_icons), std::end(m_icons), ButtonIcon{});
    std::fill(std::begin(m_bitmapPair), std::end(m_bitmapPair), ButtonBitmap{});
}

bool CIconButton::StoreIcon(int index, HICON icon) {
    m_icons[index].icon = icon;
    ICONINFO info{};
    if (icon == nullptr || !::GetIconInfo(icon, &info)) return false;
    m_icons[index].width = 2 * info.xHotspot;
    m_icons[index].height = 2 * info.yHotspot;
    if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
    return true;
}

DWORD CIconButton::SetIcons(HICON in, HICON out) {
    FreeImages(TRUE);
    if (in != nullptr) {
        if (!StoreIcon(0, in)) {
            FreeImages(TRUE);
            return 1;
        }
        if (out != nullptr) {
            if (out == BUTTON_GRAY_ICON) out = MakeGrayIcon(in);
            if (!StoreIcon(1, out)) {
                FreeImages(TRUE);
                return 1;
            }
        }
    }
    Repaint(TRUE);
    return 0;
}

HICON CIconButton::MakeGrayIcon(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return nullptr;
    HDC windowDc = ::GetDC(m_hWnd);
    HICON grey = nullptr;
    BITMAP format{};
    if (windowDc != nullptr && info.hbmColor != nullptr && ::GetObjectW(info.hbmColor, sizeof(format), &format) != 0) {
        const int width = static_cast<int>(2 * info.xHotspot);
        const int height = static_cast<int>(2 * info.yHotspot);
        std::vector<RGBQUAD> pixels = PixelsOf(windowDc, info.hbmColor, format, width, height);
        for (RGBQUAD& pixel : pixels) TurnGrey(pixel);
        HBITMAP greyBitmap = ::CreateBitmap(width, height, format.bmPlanes, format.bmBitsPixel, nullptr);
        BITMAPINFO layout = TopDownLayout(width, height);
        if (greyBitmap != nullptr && !pixels.empty() &&
            ::SetDIBits(windowDc, greyBitmap, 0, static_cast<UINT>(height), pixels.data(), &layout, DIB_RGB_COLORS) ==
                height) {
            ICONINFO greyInfo{TRUE, 0, 0, info.hbmMask, greyBitmap};
            grey = ::CreateIconIndirect(&greyInfo);
        }
        if (greyBitmap != nullptr) ::DeleteObject(greyBitmap);
    }
    if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
    if (windowDc != nullptr) ::ReleaseDC(m_hWnd, windowDc);
    return grey;
}

void CIconButton::EnsureTooltip() {
    if (m_tipCtrl.m_hWnd != nullptr) return;
    m_tipCtrl.Create(this, 0);
    m_tipCtrl.Activate(FALSE);
    m_tipCtrl.SetMaxTipWidth(MAX_TIP_WIDTH);
}

void CIconButton::SetTooltip(LPCWSTR text) {
    if (text == nullptr) return;
    EnsureTooltip();
    if (m_tipCtrl.GetToolCount() == 0) {
        RECT client{};
        GetClientRect(&client);
        m_tipCtrl.AddTool(this, text, &client, TOOL_ID);
    }
    m_tipCtrl.UpdateTipText(text, this, TOOL_ID);
    m_tipCtrl.Activate(TRUE);
}

void CIconButton::SetStateColor(BYTE index, COLORREF color, BOOL repaint) {
    if (index >= BUTTON_COLOR_COUNT) return;
    m_colors[index] = color;
    Repaint(repaint);
}

void CIconButton::SetFlatStyle(BOOL flat, BOOL repaint) {
    m_bFlat = flat;
    Repaint(repaint);
}

void CIconButton::SetHoverBorder(BOOL on, BOOL repaint) {
    m_bHoverBorder = on;
    Repaint(repaint);
}

void CIconButton::PreSubclassWindow() {
    const LONG_PTR style = GetStyle() & STYLE_WORD_MASK;
    m_nButtonType = static_cast<DWORD>(style & BUTTON_TYPE_MASK);
    if ((style & CHECK_BOX_STYLE_BIT) != 0) m_bCheckBox = TRUE;
    if (m_nButtonType == BS_DEFPUSHBUTTON) {
        m_bDefault = TRUE;
        m_nButtonType = BS_PUSHBUTTON;
    }
    ModifyStyle(BUTTON_TYPE_MASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
    CButton::PreSubclassWindow();
}

BOOL CIconButton::PreTranslateMessage(MSG* msg) {
    EnsureTooltip();
    m_tipCtrl.RelayEvent(msg);
    return CButton::PreTranslateMessage(msg);
}

LRESULT CIconButton::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // A double click counts as a second press.
    if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
    return CButton::DefWindowProc(message, wParam, lParam);
}

LRESULT CIconButton::OnSetCursor(HWND, UINT, UINT) {
    if (m_hButtonCursor == nullptr) return Default();
    ::SetCursor(m_hButtonCursor);
    return TRUE;
}

void CIconButton::OnKillFocus(HWND) {
    Default();
    CancelHover();
}

void CIconButton::OnMouseMove(UINT flags, POINT point) {
    Default();
    ::ClientToScreen(m_hWnd, &point);
    HWND underCursor = ::WindowFromPoint(point);
    if (((flags & MK_LBUTTON) != 0 && !m_bHover) || !m_bFlat) return;
    const bool active = m_bTrackInactive || ::GetActiveWindow() != nullptr;
    if (underCursor != m_hWnd || !active) {
        CancelHover();
        return;
    }
    if (m_bHover) return;
    m_bHover = TRUE;
    Invalidate();
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof(track);
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = m_hWnd;
    ::TrackMouseEvent(&track);
}

void CIconButton::OnSysColorChange() {
    Default();
    if (m_backDC.m_hDC != nullptr && m_pOldBackBitmap != nullptr) m_backDC.SelectObject(m_pOldBackBitmap);
    m_pOldBackBitmap = nullptr;
    m_backDC.DeleteDC();
    m_backBitmap.DeleteObject();
}

BOOL CIconButton::OnClicked() {
    SetFocus();
    if (m_bCheckBox) {
        m_bChecked = !m_bChecked;
        Invalidate();
    } else if (m_menu.m_hMenu != nullptr) {
        ShowDropDownMenu();
    } else if (m_szLink[0] != L'\0') {
        OpenLink();
    }
    return FALSE;
}

void CIconButton::ShowDropDownMenu() {
    RECT screen{};
    GetWindowRect(&screen);
    m_bMenuShown = TRUE;
    Invalidate();
    CMenu* dropDown = m_menu.GetSubMenu(0);
    const BOOL chosen = dropDown != nullptr
                            ? dropDown->TrackPopupMenu(DROP_DOWN_FLAGS, screen.left, screen.bottom, m_hWnd)
                            : FALSE;
    m_bMenuShown = FALSE;
    Invalidate();
    // Without an owner the command would become a thread message nobody reads.
    if (chosen != 0 && m_hMenuOwner != nullptr) {
        ::PostMessageW(m_hMenuOwner, WM_COMMAND, MAKEWPARAM(LOWORD(chosen), 0), 0);
    }
}

void CIconButton::OpenLink() {
    m_szLink[MAX_PATH - 1] = L'\0';
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof(execute);
    execute.fMask = SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = L"open";
    execute.lpFile = m_szLink;
    execute.nShow = SW_SHOWMAXIMIZED;
    ::ShellExecuteExW(&execute);
}

void CIconButton::OnActivate(UINT state, HWND, bool) {
    Default();
    if (state == WA_INACTIVE) CancelHover();
}

void CIconButton::OnEnable(bool enable) {
    Default();
    if (!enable) {
        HWND parent = ::GetParent(m_hWnd);
        HWND next = ::GetNextDlgTabItem(parent, m_hWnd, FALSE);
        ::SetFocus(next != nullptr ? next : parent);
    }
    CancelHover();
}

void CIconButton::OnCancelMode() {
    Default();
    CancelHover();
}

UINT CIconButton::OnGetDlgCode() {
    const auto code = static_cast<UINT>(Default());
    return code | (m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

HBRUSH CIconButton::CtlColor(HDC, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

LRESULT CIconButton::OnMenuChar(UINT character, UINT flags, HMENU menu) {
    if (!IsRegisteredMenu(menu)) return Default();
    return LumenMenu::HandleMenuChar(character, flags, CMenu::FromHandle(menu));
}

void CIconButton::OnMeasureItem(int, LPMEASUREITEMSTRUCT measureItem) {
    if (measureItem->CtlType == ODT_MENU) {
        const auto itemMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(measureItem->itemID));
        if (::IsMenu(itemMenu) && IsRegisteredMenu(itemMenu)) {
            m_menu.MeasureItem(measureItem);
            return;
        }
        // Any other item of the drop-down is measured by the menu that holds it.
        if (LumenMenu* holder = MenuHoldingRecord(&m_menu, measureItem->itemData)) {
            holder->MeasureItem(measureItem);
            return;
        }
    }
    Default();
}

void CIconButton::OnDrawItem(int, LPDRAWITEMSTRUCT drawItem) {
    if (drawItem->CtlType == ODT_MENU) {
        if (CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(drawItem->hwndItem))) {
            menu->DrawItem(drawItem);
            return;
        }
    }
    Default();
}

LRESULT CIconButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    const WPARAM type = style & BUTTON_TYPE_MASK;
    if (type == BS_DEFPUSHBUTTON) m_bDefault = TRUE;
    if (type == BS_PUSHBUTTON) m_bDefault = FALSE;
    return DefWindowProc(BM_SETSTYLE, (style & ~static_cast<WPARAM>(BUTTON_TYPE_MASK)) | BS_OWNERDRAW, redraw);
}

LRESULT CIconButton::OnMouseLeave(WPARAM, LPARAM) {
    CancelHover();
    return 0;
}

LRESULT CIconButton::OnSetCheck(WPARAM state, LPARAM) {
    if (m_bCheckBox) {
        m_bChecked = state == BST_CHECKED || state == BST_INDETERMINATE;
        Invalidate();
    }
    return 0;
}

LRESULT CIconButton::OnGetCheck(WPARAM, LPARAM) { return m_bChecked; }
