// Saves pictures of the owner-drawn controls into the build tree (renders/
// next to the test program), so that a person can look at every state.
#include "controls/CIconButton.h"
#include "core/PanelColors.h"
#include "framework/CDialog.h"
#include "tests/wine/DibCanvas.h"
#include "tests/wine/OwnerDrawnTestResources.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int CLOSE_SIZE = 25;
constexpr int BUTTON_WIDTH = 75;
constexpr int BUTTON_HEIGHT = 23;
constexpr int GAP = 4;
constexpr int MENU_WIDTH = 200;
constexpr COLORREF SHEET = RGB(255, 255, 255);

HICON LoadTestIcon(int id) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0,
                                           LR_DEFAULTCOLOR));
}

struct ButtonState {
    const wchar_t* name;
    UINT itemState;
    BOOL hover;
};

const ButtonState STATES[] = {
    {L"normal", 0, FALSE},
    {L"hover", 0, TRUE},
    {L"pressed", ODS_SELECTED, TRUE},
    {L"focused", ODS_FOCUS, FALSE},
    {L"disabled", ODS_DISABLED, FALSE},
};

// Paints every state side by side into one sheet and saves it.
void SaveStates(CIconButton& button, int width, int height, const std::wstring& file) {
    const int count = static_cast<int>(std::size(STATES));
    DibCanvas sheet(count * (width + GAP) + GAP, height + 2 * GAP, SHEET);
    int x = GAP;
    for (const ButtonState& state : STATES) {
        DibCanvas canvas(width, height, SHEET);
        button.m_bHover = state.hover;
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_BUTTON;
        draw.itemState = state.itemState;
        draw.hwndItem = button.m_hWnd;
        draw.hDC = canvas.Dc();
        draw.rcItem = canvas.Rect();
        button.DrawItem(&draw);
        canvas.CopyTo(sheet, x, GAP);
        x += width + GAP;
    }
    EXPECT_TRUE(sheet.SaveBmp(DibCanvas::RenderPath(file)));
}

// Paints the items of a menu one under the other, the second one selected.
void SaveMenu(LumenMenu& menu, const std::wstring& file) {
    std::vector<std::pair<LumenMenuData*, int>> items;
    int height = 0;
    for (LumenMenuData* record : menu.m_items) {
        MEASUREITEMSTRUCT measure{};
        measure.CtlType = ODT_MENU;
        measure.itemData = reinterpret_cast<ULONG_PTR>(record);
        menu.MeasureItem(&measure);
        items.push_back({record, static_cast<int>(measure.itemHeight)});
        height += static_cast<int>(measure.itemHeight);
    }
    DibCanvas sheet(MENU_WIDTH, height, SHEET);
    HFONT previous = static_cast<HFONT>(::SelectObject(sheet.Dc(), ::GetStockObject(DEFAULT_GUI_FONT)));
    int top = 0;
    int index = 0;
    for (const auto& [record, itemHeight] : items) {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemID = static_cast<UINT>(record->m_nCommand);
        draw.itemState = (record->m_nMenuFlags & MF_GRAYED) != 0 ? ODS_GRAYED : 0;
        draw.itemState |= (record->m_nMenuFlags & MF_CHECKED) != 0 ? ODS_CHECKED : 0;
        draw.itemState |= index == 0 ? ODS_SELECTED : 0;
        draw.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
        draw.hDC = sheet.Dc();
        draw.rcItem = RECT{0, top, MENU_WIDTH, top + itemHeight};
        draw.itemData = reinterpret_cast<ULONG_PTR>(record);
        menu.DrawItem(&draw);
        top += itemHeight;
        ++index;
    }
    ::SelectObject(sheet.Dc(), previous);
    EXPECT_TRUE(sheet.SaveBmp(DibCanvas::RenderPath(file)));
}

}  // namespace

TEST(RenderSnapshot, IconButtonInEveryState) {
    CDialog host(IDD_ICON_BUTTON_HOST);
    ASSERT_TRUE(host.Create(IDD_ICON_BUTTON_HOST));
    CIconButton close;
    ASSERT_TRUE(close.SubclassDlgItem(IDC_ICON_FIRST, &host));
    close.SetHoverBorder(FALSE, TRUE);
    close.SetIcons(LoadTestIcon(IDI_TEST_CLOSE_ACTIVE), LoadTestIcon(IDI_TEST_CLOSE_NORMAL));
    for (BYTE index : {BUTTON_COLOR_NORMAL_BACK, BUTTON_COLOR_FOCUS_BACK, BUTTON_COLOR_HOVER_BACK}) {
        close.SetStateColor(index, PANEL_BLUE, TRUE);
    }
    SaveStates(close, CLOSE_SIZE, CLOSE_SIZE, L"close-button.bmp");

    CIconButton flat;
    ASSERT_TRUE(flat.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    flat.SetIcons(LoadTestIcon(IDI_TEST_CLOSE_ACTIVE), nullptr);
    SaveStates(flat, BUTTON_WIDTH, BUTTON_HEIGHT, L"flat-caption-button.bmp");

    CIconButton raised;
    ASSERT_TRUE(raised.SubclassDlgItem(IDC_ICON_AFTER, &host));
    raised.SetFlatStyle(FALSE, TRUE);
    SaveStates(raised, BUTTON_WIDTH, BUTTON_HEIGHT, L"raised-caption-button.bmp");
    host.DestroyWindow();
}

TEST(RenderSnapshot, MenuInClassicAndFlatLook) {
    LumenMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    auto* file = dynamic_cast<LumenMenu*>(CMenu::FromHandlePermanent(::GetSubMenu(menu.m_hMenu, 0)));
    ASSERT_NE(file, nullptr);
    SaveMenu(*file, L"menu-classic.bmp");
    LumenMenu::s_nDrawMode = 1;
    SaveMenu(*file, L"menu-flat.bmp");
    LumenMenu::s_nDrawMode = 0;
}
