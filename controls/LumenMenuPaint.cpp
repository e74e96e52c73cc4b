// Measuring and painting the owner-drawn items, in the classic and the flat look.
#include "controls/LumenMenu.h"

#include "controls/LumenMenuMeasuring.h"
#include "controls/LumenMenuMemDC.h"
#include "core/ColorMath.h"
#include "core/MenuItemLayout.h"
#include "core/MenuItemText.h"
#include "core/WindowsVersion.h"

#include <memory>

namespace {

using MenuItemLayout::ImageCase;

constexpr UINT TEXT_FORMAT = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
constexpr UINT ACCELERATOR_FORMAT = DT_RIGHT | DT_VCENTER | DT_SINGLELINE;
constexpr int FLAT_DRAW_MODE = 1;
constexpr double CHECKED_CELL_TINT = 0.6;
constexpr double FLAT_COLUMN_TINT = 0.25;
constexpr double FLAT_SELECTION_TINT = 0.85;
constexpr double THEMED_SELECTION_TINT = 0.7;
constexpr double FLAT_CHECKED_CELL_TINT = 0.85;
constexpr double FLAT_GRAYED_TEXT_TINT = 0.4;
constexpr int CLASSIC_HIGHLIGHT_GAP = 5;
constexpr int CLASSIC_CELL_EXTRA = 3;
constexpr int CLASSIC_FRAME_EXTRA = 4;
constexpr int CLASSIC_IMAGE_INSET = 2;
constexpr int CLASSIC_TEXT_GAP = 9;
constexpr int FLAT_COLUMN_EXTRA = 7;
constexpr int FLAT_SEPARATOR_GAP = 7;
constexpr int FLAT_TEXT_GAP = 8;
constexpr int FLAT_CHECK_BOX_SIZE = 16;
constexpr int TRIPLE_SECOND = 1;
constexpr int TRIPLE_SHADOW = 2;
constexpr int MIN_TRIPLE_IMAGES = 3;

// What one paint needs to know about the item.
struct ItemView {
    int image;
    int marker;
    CImageList* images;
    int shared;
    bool sharedFallback;
    std::wstring text;
    bool selected;
    bool grayed;
    bool checked;
    ImageCase imageCase;
};

LumenMenuData* RecordOf(LPDRAWITEMSTRUCT drawItem) { return reinterpret_cast<LumenMenuData*>(drawItem->itemData); }

int HeightOf(const RECT& rect) { return rect.bottom - rect.top; }

POINT Shifted(POINT point, int delta) { return POINT{point.x + delta, point.y + delta}; }

struct WideSplit {
    std::wstring label;
    std::wstring accelerator;
    bool hasAccelerator;
};

// Draws the label and the accelerator of a text in one colour.
void DrawTexts(CDC* dc, const WideSplit& split, RECT rect, COLORREF color) {
    dc->SetTextColor(color);
    dc->DrawText(split.label, &rect, TEXT_FORMAT);
    if (split.hasAccelerator) dc->DrawText(split.accelerator, &rect, ACCELERATOR_FORMAT);
}

WideSplit SplitOf(const std::wstring& text) {
    const auto split = MenuItemText::Split(std::u16string(text.begin(), text.end()));
    return {std::wstring(split.label.begin(), split.label.end()),
            std::wstring(split.accelerator.begin(), split.accelerator.end()), split.hasAccelerator};
}

}  // namespace

COLORREF LumenMenu::TintColor(double factor, COLORREF color) { return ColorMath::TintColor(factor, color); }

bool LumenMenu::IsThemedXp() { return s_nOsClass == WindowsVersion::WINXP && !IsClassicTheme(); }

bool LumenMenu::IsFlatLookWanted() { return IsThemedXp() || s_nDrawMode == FLAT_DRAW_MODE; }

HBITMAP LumenMenu::CheckedMarkOf(LPDRAWITEMSTRUCT drawItem) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(MENUITEMINFOW);
    info.fMask = MIIM_CHECKMARKS;
    ::GetMenuItemInfoW(reinterpret_cast<HMENU>(drawItem->hwndItem), drawItem->itemID, FALSE, &info);
    return info.hbmpChecked;
}

void LumenMenu::DrawItem(LPDRAWITEMSTRUCT drawItem) {
    // An owner-drawn item that some other code put into the menu has no record.
    if (RecordOf(drawItem) == nullptr) return;
    const bool palette = (::GetDeviceCaps(drawItem->hDC, RASTERCAPS) & RC_PALETTE) != 0;
    if (!palette && IsFlatLookWanted()) {
        DrawItemFlat(drawItem);
    } else {
        DrawItemClassic(drawItem);
    }
}

void LumenMenu::MeasureItem(LPMEASUREITEMSTRUCT measureItem) {
    const auto* record = reinterpret_cast<const LumenMenuData*>(measureItem->itemData);
    const bool flat = IsFlatLookWanted();
    const int menuBarHeight = ::GetSystemMetrics(SM_CYMENU);
    MenuItemLayout::ItemSize size{};
    if (record != nullptr && (record->m_nMenuFlags & MF_SEPARATOR) != 0) {
        size = MenuItemLayout::SeparatorSize(menuBarHeight, m_nIconHeight, flat);
    } else {
        int textWidth = 0;
        {
            LumenMenuMeasuring measuring(s_nOsClass >= WindowsVersion::WIN95);
            if (s_nOsClass != WindowsVersion::WIN32S && record != nullptr) {
                textWidth = measuring.TextWidth(record->GetText());
            }
        }
        size = MenuItemLayout::ItemSizeFor(textWidth, m_nIconWidth, m_nIconHeight, menuBarHeight, flat);
    }
    measureItem->itemWidth = static_cast<UINT>(size.width);
    measureItem->itemHeight = static_cast<UINT>(size.height);
}

BOOL LumenMenu::BitmapFromImageList(int index, CBitmap& bitmap, CDC* dc, CImageList* list) {
    HICON icon = list != nullptr ? list->ExtractIcon(index) : nullptr;
    CDC memory;
    memory.CreateCompatibleDC(dc);
    bitmap.CreateCompatibleBitmap(dc, m_nIconWidth, m_nIconHeight);
    CBitmap* previous = memory.SelectObject(&bitmap);
    CBrush face(::GetSysColor(COLOR_BTNFACE));
    ::DrawIconEx(memory, 0, 0, icon, m_nIconWidth, m_nIconHeight, 0, face, DI_NORMAL);
    memory.SelectObject(previous);
    if (icon != nullptr) ::DestroyIcon(icon);
    return TRUE;
}

void LumenMenu::DrawItemImage(CDC* dc, CImageList* images, int index, POINT point) {
    if (images != nullptr) images->Draw(dc, index, point, ILD_TRANSPARENT);
}

void LumenMenu::DrawDisabledImage(CDC* dc, CImageList* images, int index, POINT point, COLORREF background) {
    CBitmap bitmap;
    BitmapFromImageList(index, bitmap, dc, images);
    if (m_bMonoDisabled) {
        DrawDisabledBitmapMono(dc->m_hDC, point.x, point.y, m_nIconWidth, m_nIconHeight, bitmap, background);
    } else {
        DrawDisabledBitmap(dc, point.x, point.y, m_nIconWidth, m_nIconHeight, &bitmap, background);
    }
}

namespace {

ItemView Analyse(const LumenMenuData* record, const DRAWITEMSTRUCT* drawItem, const LumenMenu& menu, bool flat) {
    ItemView view{};
    view.image = record->m_nImage;
    view.marker = record->m_nOwnListMarker;
    view.images = record->m_pImages;
    view.shared = record->m_nSharedImage;
    view.text = record->GetText();
    if (view.marker < 0 && view.shared >= 0 && (!flat || view.image < 0)) {
        view.image = view.shared;
        view.marker = 0;
        view.images = &LumenMenu::s_sharedImages;
        view.sharedFallback = true;
    }
    view.selected = (drawItem->itemState & ODS_SELECTED) != 0;
    view.grayed = (drawItem->itemState & ODS_GRAYED) != 0;
    view.checked = (drawItem->itemState & ODS_CHECKED) != 0;
    view.imageCase = MenuItemLayout::ClassifyImage(
        {view.selected, view.grayed, view.checked, view.marker, menu.m_nCheckedImage, menu.m_nUncheckedImage});
    return view;
}

bool NeedsCheckBox(const ItemView& view) {
    return view.checked && view.marker < 0 && view.imageCase != ImageCase::CheckImage;
}

}  // namespace

void LumenMenu::DrawItemClassic(LPDRAWITEMSTRUCT drawItem) {
    CDC dc;
    dc.Attach(drawItem->hDC);
    const LumenMenuData* record = RecordOf(drawItem);
    const RECT item = drawItem->rcItem;
    const COLORREF bg = ::GetSysColor(IsThemedXp() ? COLOR_BTNFACE : COLOR_MENU);
    CBrush bgBrush(bg);
    if ((record->m_nMenuFlags & MF_SEPARATOR) != 0) {
        dc.FillRect(&item, &bgBrush);
        RECT line = item;
        line.top += HeightOf(item) >> 1;
        dc.DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        dc.Detach();
        return;
    }
    const ItemView view = Analyse(record, drawItem, *this, false);
    const bool hasCase = view.imageCase != ImageCase::None;
    COLORREF textColor = ::GetSysColor(COLOR_MENUTEXT);
    if (!view.selected) {
        dc.FillRect(&item, &bgBrush);
        dc.Draw3dRect(&item, bg, bg);
    } else {
        CBrush highlight(::GetSysColor(COLOR_HIGHLIGHT));
        RECT bar = item;
        if (hasCase || view.checked) bar.left = item.left + m_nIconWidth + CLASSIC_HIGHLIGHT_GAP;
        dc.FillRect(&bar, &highlight);
        textColor = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    const int dy = MenuItemLayout::ClassicImageOffset(HeightOf(item), m_nIconHeight);
    const bool modernEdges = s_nOsClass >= WindowsVersion::WIN95;
    if (hasCase) {
        const RECT cell{item.left + 1, item.top + dy + 1, item.left + m_nIconWidth + CLASSIC_CELL_EXTRA,
                        item.top + dy + m_nIconHeight + CLASSIC_CELL_EXTRA};
        const RECT frame{item.left, item.top + dy, item.left + m_nIconWidth + CLASSIC_FRAME_EXTRA,
                         item.top + dy + m_nIconHeight + CLASSIC_FRAME_EXTRA};
        const POINT point{item.left + CLASSIC_IMAGE_INSET, item.top + dy + CLASSIC_IMAGE_INSET};
        const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
        const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        dc.Draw3dRect(&cell, bg, bg);
        if (view.imageCase == ImageCase::CheckImage && m_pCheckImages != nullptr) {
            dc.FillRect(&cell, &bgBrush);
            dc.Draw3dRect(&frame, bg, bg);
            DrawItemImage(&dc, m_pCheckImages, view.selected ? 1 : 0, point);
        } else if (view.imageCase == ImageCase::SelectedImage) {
            dc.FillRect(&cell, &bgBrush);
            if (modernEdges && view.checked) dc.Draw3dRect(&frame, shadow, light);
            if (modernEdges && !view.checked) dc.Draw3dRect(&frame, light, shadow);
            DrawItemImage(&dc, view.images, view.image, point);
        } else if (view.imageCase != ImageCase::DisabledImage && view.checked) {
            CBrush tinted(TintColor(CHECKED_CELL_TINT, bg));
            dc.FillRect(&cell, &tinted);
            if (modernEdges) dc.Draw3dRect(&frame, shadow, light);
            DrawItemImage(&dc, view.images, view.image, point);
        } else if (view.imageCase != ImageCase::DisabledImage) {
            dc.FillRect(&cell, &bgBrush);
            dc.Draw3dRect(&frame, bg, bg);
            DrawItemImage(&dc, view.images, view.image, point);
        } else {
            dc.Draw3dRect(&frame, bg, bg);
            DrawDisabledImage(&dc, view.images, view.image, point, bg);
        }
    }
    if (NeedsCheckBox(view)) {
        const RECT box{item.left + 1, item.top + dy + 2, item.left + m_nIconWidth + 1,
                       item.top + dy + m_nIconHeight + 2};
        DrawCheckBoxClassic(&dc, box, view.selected, CheckedMarkOf(drawItem));
    }
    if (!view.text.empty()) {
        const auto split = SplitOf(view.text);
        RECT rect{item.left + m_nIconWidth + CLASSIC_TEXT_GAP, item.top - 1, item.right, item.bottom - 1};
        if (split.hasAccelerator) rect.right -= m_nIconWidth;
        const int previousMode = dc.SetBkMode(TRANSPARENT);
        const COLORREF previousColor = ::GetTextColor(dc);
        if (view.grayed && !view.selected) {
            RECT engraved = rect;
            ::OffsetRect(&engraved, 1, 1);
            DrawTexts(&dc, split, engraved, ::GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTexts(&dc, split, rect, ::GetSysColor(COLOR_GRAYTEXT));
        } else {
            DrawTexts(&dc, split, rect, view.grayed ? bg : textColor);
        }
        dc.SetTextColor(previousColor);
        dc.SetBkMode(previousMode);
    }
    dc.Detach();
}

void LumenMenu::DrawItemFlat(LPDRAWITEMSTRUCT drawItem) {
    CDC itemDc;
    itemDc.Attach(drawItem->hDC);
    const LumenMenuData* record = RecordOf(drawItem);
    const RECT item = drawItem->rcItem;
    const bool themedXp = IsThemedXp();
    COLORREF col = ::GetSysColor(COLOR_BTNFACE);
    if (!themedXp) col = TintColor(FLAT_COLUMN_TINT, col);
    const COLORREF win = ::GetSysColor(COLOR_WINDOW);
    CBrush colBrush(col);
    CBrush winBrush(win);
    const int bar = m_nIconWidth + FLAT_COLUMN_EXTRA;

    std::unique_ptr<LumenMenuMemDC> buffer;
    CFont font;
    CFont* previousFont = nullptr;
    if ((drawItem->itemState & ODS_GRAYED) != 0 && s_bGrayedSelectable == 0) {
        drawItem->itemState &= ~static_cast<UINT>(ODS_SELECTED);
        buffer = std::make_unique<LumenMenuMemDC>(&itemDc, &item);
        LumenMenuMeasuring::CreateMenuFont(font);
        previousFont = buffer->SelectObject(&font);
    }
    CDC* dc = buffer ? static_cast<CDC*>(buffer.get()) : &itemDc;
    const RECT column{item.left, item.top, item.left + bar, item.bottom};

    if ((record->m_nMenuFlags & MF_SEPARATOR) != 0) {
        dc->FillRect(&item, &winBrush);
        RECT line = item;
        line.left = item.left + bar + FLAT_SEPARATOR_GAP;
        line.top += HeightOf(item) >> 1;
        dc->DrawEdge(&line, EDGE_ETCHED, BF_TOP);
        dc->FillRect(&column, &colBrush);
        dc->Draw3dRect(&column, col, col);
    } else {
        const ItemView view = Analyse(record, drawItem, *this, true);
        const COLORREF hi = ::GetSysColor(COLOR_HIGHLIGHT);
        const COLORREF sel = TintColor(themedXp ? THEMED_SELECTION_TINT : FLAT_SELECTION_TINT, hi);
        int second = TRIPLE_SECOND;
        int shadowImage = TRIPLE_SHADOW;
        bool triple = view.image == 0 && view.images != nullptr && view.images->GetImageCount() >= MIN_TRIPLE_IMAGES;
        if (view.sharedFallback && HasImageTriple(view.shared)) {
            triple = true;
            second = view.shared + TRIPLE_SECOND;
            shadowImage = view.shared + TRIPLE_SHADOW;
        }
        if (view.selected) {
            CBrush selBrush(sel);
            dc->FillRect(&item, &selBrush);
            dc->Draw3dRect(&item, hi, hi);
        } else {
            dc->FillRect(&item, &winBrush);
            dc->FillRect(&column, &colBrush);
            dc->Draw3dRect(&item, win, win);
            dc->Draw3dRect(&column, col, col);
        }
        const int dy = MenuItemLayout::FlatCentredOffset(HeightOf(item), m_nIconHeight);
        const int dx = MenuItemLayout::FlatCentredOffset(bar, m_nIconWidth);
        const POINT point{item.left + dx, item.top + dy};
        if (view.imageCase != ImageCase::None) {
            const RECT cell{item.left + 1, item.top + 1, item.left + bar - 1, item.bottom - 1};
            if (view.imageCase == ImageCase::CheckImage && m_pCheckImages != nullptr) {
                dc->FillRect(&cell, &colBrush);
                DrawItemImage(dc, m_pCheckImages, view.selected ? 1 : 0, point);
            } else if (view.imageCase == ImageCase::DisabledImage) {
                DrawDisabledImage(dc, view.images, view.image, point, view.selected ? sel : col);
                if (view.selected) dc->Draw3dRect(&item, hi, hi);
            } else if (view.imageCase == ImageCase::SelectedImage) {
                CBrush selBrush(sel);
                dc->FillRect(&cell, &selBrush);
                if (view.checked) {
                    dc->Draw3dRect(&cell, hi, hi);
                    DrawItemImage(dc, view.images, view.image, Shifted(point, -1));
                } else if (triple) {
                    DrawItemImage(dc, view.images, shadowImage, Shifted(point, 1));
                    DrawItemImage(dc, view.images, view.image, Shifted(point, -1));
                } else {
                    DrawItemImage(dc, view.images, view.image, point);
                }
            } else if (view.checked) {
                CBrush checkedBrush(TintColor(FLAT_CHECKED_CELL_TINT, hi));
                dc->FillRect(&cell, &checkedBrush);
                dc->Draw3dRect(&cell, hi, hi);
                DrawItemImage(dc, view.images, view.image, Shifted(point, -1));
            } else {
                dc->FillRect(&cell, &colBrush);
                dc->Draw3dRect(&cell, col, col);
                DrawItemImage(dc, view.images, triple ? second : view.image, point);
            }
        }
        if (NeedsCheckBox(view)) {
            const int boxTop = item.top + MenuItemLayout::FlatCentredOffset(HeightOf(item), FLAT_CHECK_BOX_SIZE);
            const int boxLeft = item.left + MenuItemLayout::FlatCentredOffset(bar, FLAT_CHECK_BOX_SIZE);
            const RECT box{boxLeft, boxTop, boxLeft + FLAT_CHECK_BOX_SIZE, boxTop + FLAT_CHECK_BOX_SIZE};
            DrawCheckBoxFlat(dc, box, hi, CheckedMarkOf(drawItem));
        }
        if (!view.text.empty()) {
            const auto split = SplitOf(view.text);
            RECT rect{item.left + bar + FLAT_TEXT_GAP, item.top - 1, item.right, item.bottom - 1};
            if (split.hasAccelerator) rect.right -= m_nIconWidth;
            const int previousMode = dc->SetBkMode(TRANSPARENT);
            const COLORREF previousColor = ::GetTextColor(*dc);
            COLORREF color = ::GetSysColor(COLOR_MENUTEXT);
            if (view.grayed) {
                color = ::GetSysColor(COLOR_GRAYTEXT);
                if (!view.selected && !themedXp) color = TintColor(FLAT_GRAYED_TEXT_TINT, color);
            }
            DrawTexts(dc, split, rect, color);
            dc->SetTextColor(previousColor);
            dc->SetBkMode(previousMode);
        }
    }
    if (previousFont != nullptr) buffer->SelectObject(previousFont);
    buffer.reset();
    itemDc.Detach();
}
