// How the icon button paints itself: state, background, edge, image,
// caption and focus rectangle.
#include "controls/CIconButton.h"

namespace {

constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr UINT CAPTION_MEASURE_FORMAT = DT_WORDBREAK | DT_CENTER | DT_CALCRECT;
constexpr UINT CAPTION_FORMAT = DT_WORDBREAK | DT_CENTER;
constexpr int FOCUS_RECT_INSET = 3;

LayoutRect ToLayout(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

RECT ToRect(const LayoutRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// One pen-drawn line through `points`; the last point itself is not painted.
void DrawPolyline(CDC* dc, COLORREF color, std::initializer_list<POINT> points) {
    CPen pen(PS_SOLID, 0, color);
    CPen* previous = dc->SelectObject(&pen);
    const POINT* first = points.begin();
    dc->MoveTo(first->x, first->y);
    for (const POINT* point = first + 1; point != points.end(); ++point) dc->LineTo(point->x, point->y);
    dc->SelectObject(previous);
}

}  // namespace

void CIconButton::UpdatePaintState(const DRAWITEMSTRUCT* drawItem) {
    const bool selected = (drawItem->itemState & ODS_SELECTED) != 0;
    if (m_bCheckBox) {
        m_bPressed = selected || m_bChecked;
    } else {
        m_bPressed = selected || (m_menu.m_hMenu != nullptr && m_bMenuShown);
    }
    m_bFocused = (drawItem->itemState & ODS_FOCUS) != 0;
    m_bDisabled = (drawItem->itemState & ODS_DISABLED) != 0;
}

void CIconButton::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    CDC dc;
    dc.Attach(drawItem->hDC);
    UpdatePaintState(drawItem);
    dc.SetBkMode(TRANSPARENT);
    const RECT item = drawItem->rcItem;
    RECT frame = item;
    if (!m_bFlat && (m_bFocused || m_bDefault)) {
        CBrush black(BLACK);
        dc.FrameRect(&frame, &black);
        ::InflateRect(&frame, -1, -1);
    }
    if (m_bTransparent) {
        PaintParentBackground(&dc);
    } else {
        PaintBackground(&dc, &frame);
    }
    if (m_bPressed) {
        if (!m_bFlat) {
            CBrush shadow(::GetSysColor(COLOR_BTNSHADOW));
            dc.FrameRect(&frame, &shadow);
        } else if (m_bHoverBorder) {
            PaintBorder(&dc, &frame);
        }
    } else if (m_bFlat) {
        if (m_bHover && m_bHoverBorder) PaintBorder(&dc, &frame);
    } else {
        DrawRaisedEdge(&dc, frame);
    }
    const std::wstring caption = GetWindowText();
    RECT captionRect = item;
    if (m_icons[0].icon != nullptr) {
        DrawButtonIcon(&dc, !caption.empty(), &item, &captionRect, m_bPressed, m_bDisabled);
    }
    if (m_bitmapPair[0].bitmap != nullptr) {
        dc.SetBkColor(WHITE);
        DrawButtonBitmap(&dc, !caption.empty(), &item, &captionRect, m_bPressed, m_bDisabled);
    }
    if (!caption.empty()) DrawCaption(&dc, caption, captionRect);
    if ((!m_bFlat || m_bFlatFocusRect) && m_bFocused) {
        RECT focus = frame;
        ::InflateRect(&focus, -FOCUS_RECT_INSET, -FOCUS_RECT_INSET);
        dc.DrawFocusRect(&focus);
    }
    dc.Detach();
}

void CIconButton::DrawRaisedEdge(CDC* dc, const RECT& frame) {
    const LONG l = frame.left;
    const LONG t = frame.top;
    const LONG r = frame.right;
    const LONG b = frame.bottom;
    DrawPolyline(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT), {{l, b - 1}, {l, t}, {r, t}});
    DrawPolyline(dc, ::GetSysColor(COLOR_3DLIGHT), {{l + 1, b - 1}, {l + 1, t + 1}, {r, t + 1}});
    DrawPolyline(dc, ::GetSysColor(COLOR_3DDKSHADOW), {{l, b - 1}, {r - 1, b - 1}, {r - 1, t - 1}});
    DrawPolyline(dc, ::GetSysColor(COLOR_BTNSHADOW), {{l + 1, b - 2}, {r - 2, b - 2}, {r - 2, t}});
}

void CIconButton::DrawCaption(CDC* dc, const std::wstring& caption, RECT captionRect) {
    if (m_bPressed && !m_bCheckBox) ::OffsetRect(&captionRect, 1, 1);
    const RECT available = captionRect;
    dc->DrawText(caption, &captionRect, CAPTION_MEASURE_FORMAT);
    RECT text = ToRect(ImageRectLayout::CenterIn(ToLayout(captionRect), ToLayout(available)));
    dc->SetBkMode(TRANSPARENT);
    if (m_bDisabled) {
        ::OffsetRect(&text, 1, 1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        dc->DrawText(caption, &text, CAPTION_FORMAT);
        ::OffsetRect(&text, -1, -1);
        dc->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        dc->DrawText(caption, &text, CAPTION_FORMAT);
        return;
    }
    const bool lit = m_bHover || m_bPressed;
    dc->SetTextColor(m_colors[lit ? BUTTON_COLOR_HOVER_TEXT : BUTTON_COLOR_NORMAL_TEXT]);
    dc->SetBkColor(m_colors[lit ? BUTTON_COLOR_HOVER_BACK : BUTTON_COLOR_NORMAL_BACK]);
    dc->DrawText(caption, &text, CAPTION_FORMAT);
}

DWORD CIconButton::PaintBackground(CDC* dc, RECT* rect) {
    BYTE index = BUTTON_COLOR_NORMAL_BACK;
    if (m_bHover || m_bPressed) {
        index = BUTTON_COLOR_HOVER_BACK;
    } else if (m_bFocused) {
        index = BUTTON_COLOR_FOCUS_BACK;
    }
    CBrush brush(m_colors[index]);
    dc->FillRect(rect, &brush);
    return 0;
}

DWORD CIconButton::PaintBorder(CDC* dc, RECT* rect) {
    COLORREF topLeft = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF bottomRight = ::GetSysColor(COLOR_BTNSHADOW);
    if (m_bPressed) std::swap(topLeft, bottomRight);
    dc->Draw3dRect(rect, topLeft, bottomRight);
    return 0;
}

RECT CIconButton::ComputeImageRect(int width, int height, bool hasCaption, const RECT* item, RECT* caption,
                                   BOOL pressed) {
    LayoutRect captionLayout = ToLayout(*caption);
    const LayoutRect image = ImageRectLayout::ComputeImageRect(
        {m_nImageAlign, width, height, hasCaption, pressed != FALSE, m_bCheckBox != FALSE}, ToLayout(*item),
        captionLayout);
    *caption = ToRect(captionLayout);
    return ToRect(image);
}

int CIconButton::ImageIndex(bool hasSecond, BOOL pressed) const {
    return hasSecond && !pressed && (m_bCheckBox || !m_bHover) ? 1 : 0;
}

void CIconButton::DrawButtonIcon(CDC* dc, bool hasCaption, const RECT* item, RECT* caption, BOOL pressed,
                                 BOOL disabled) {
    const ButtonIcon& icon = m_icons[ImageIndex(m_icons[1].icon != nullptr, pressed)];
    const RECT image = ComputeImageRect(static_cast<int>(icon.width), static_cast<int>(icon.height), hasCaption, item,
                                        caption, pressed);
    dc->DrawState(POINT{image.left, image.top}, SIZE{image.right - image.left, image.bottom - image.top}, icon.icon,
                  disabled ? DSS_DISABLED : DSS_NORMAL);
}

void CIconButton::DrawButtonBitmap(CDC* dc, bool hasCaption, const RECT* item, RECT* caption, BOOL pressed,
                                   BOOL disabled) {
    const ButtonBitmap& bitmap = m_bitmapPair[ImageIndex(m_bitmapPair[1].bitmap != nullptr, pressed)];
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.height);
    const RECT image = ComputeImageRect(width, height, hasCaption, item, caption, pressed);
    CDC bitmapDc;
    CDC maskDc;
    bitmapDc.CreateCompatibleDC(dc);
    maskDc.CreateCompatibleDC(nullptr);
    HGDIOBJ previousBitmap = bitmapDc.SelectObject(bitmap.bitmap);
    HGDIOBJ previousMask = maskDc.SelectObject(bitmap.mask);
    if (disabled && m_bGrayBitmapDisabled) {
        CDC workDc;
        workDc.CreateCompatibleDC(dc);
        CBitmap work;
        work.CreateCompatibleBitmap(dc, width, height);
        CBitmap* previousWork = workDc.SelectObject(&work);
        workDc.PatBlt(0, 0, width, height, WHITENESS);
        const COLORREF previousBack = dc->SetBkColor(WHITE);
        if (bitmap.mask != nullptr) workDc.BitBlt(0, 0, width, height, &maskDc, 0, 0, SRCAND);
        workDc.BitBlt(0, 0, width, height, &bitmapDc, 0, 0, bitmap.mask != nullptr ? SRCPAINT : SRCCOPY);
        dc->SetBkColor(previousBack);
        workDc.SelectObject(previousWork);
        dc->DrawState(POINT{image.left, image.top}, SIZE{width, height}, static_cast<HBITMAP>(work.m_hObject),
                      DSS_DISABLED);
    } else {
        if (bitmap.mask != nullptr) dc->BitBlt(image.left, image.top, width, height, &maskDc, 0, 0, SRCAND);
        dc->BitBlt(image.left, image.top, width, height, &bitmapDc, 0, 0,
                   bitmap.mask != nullptr ? SRCPAINT : SRCCOPY);
    }
    bitmapDc.SelectObject(previousBitmap);
    maskDc.SelectObject(previousMask);
}

void CIconButton::PaintParentBackground(CDC* dc) {
    HWND parent = ::GetParent(m_hWnd);
    CDC parentDc;
    parentDc.Attach(::GetDC(parent));
    RECT client{};
    GetClientRect(&client);
    RECT window{};
    GetWindowRect(&window);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&window), 2);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (m_backDC.m_hDC == nullptr) {
        m_backDC.CreateCompatibleDC(&parentDc);
        m_backBitmap.CreateCompatibleBitmap(&parentDc, width, height);
        m_pOldBackBitmap = m_backDC.SelectObject(&m_backBitmap);
        m_backDC.BitBlt(0, 0, width, height, &parentDc, window.left, window.top, SRCCOPY);
    }
    dc->BitBlt(0, 0, width, height, &m_backDC, 0, 0, SRCCOPY);
    ::ReleaseDC(parent, parentDc.Detach());
}
