// The owner-drawn menu on real menus and DIB sections: templates from the
// test program's resources, re-synchronisation, keyboard access, the marks
// and the embossed images of disabled items.
#include "controls/LumenMenu.h"
#include "controls/LumenMenuMemDC.h"
#include "framework/CDC.h"
#include "tests/wine/DibCanvas.h"
#include "tests/wine/OwnerDrawnTestResources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <set>
#include <string>
#include <utility>

namespace {

constexpr COLORREF WHITE = RGB(255, 255, 255);
constexpr COLORREF INK = RGB(0, 0, 0);

bool IsRegistered(HMENU menu) {
    return std::find(LumenMenu::s_menuHandles.begin(), LumenMenu::s_menuHandles.end(), menu) !=
           LumenMenu::s_menuHandles.end();
}

MENUITEMINFOW ItemInfo(HMENU menu, UINT position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_DATA | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
    ::GetMenuItemInfoW(menu, position, TRUE, &info);
    return info;
}

LumenMenu* LumenOf(HMENU menu) { return dynamic_cast<LumenMenu*>(CMenu::FromHandlePermanent(menu)); }

std::set<std::pair<int, int>> PaintedPixels(const DibCanvas& canvas, COLORREF background) {
    std::set<std::pair<int, int>> painted;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.Pixel(x, y) != background) painted.insert({x, y});
        }
    }
    return painted;
}

}  // namespace

TEST(LumenMenuTemplate, RootItemsBecomeTextAndDeeperLevelsAreOwnerDrawn) {
    LumenMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    EXPECT_TRUE(menu.m_bLoaded);
    ASSERT_EQ(menu.GetMenuItemCount(), 2);
    ASSERT_EQ(menu.m_items.size(), 2u);
    EXPECT_EQ(menu.m_items[0]->m_nMenuFlags, static_cast<UINT>(MF_BYPOSITION | MF_POPUP));
    EXPECT_EQ(menu.m_items[1]->m_nMenuFlags, static_cast<UINT>(MF_BYPOSITION));
    EXPECT_EQ(menu.m_items[1]->m_nCommand, static_cast<UINT_PTR>(ID_TEST_CLOSE));
    const MENUITEMINFOW close = ItemInfo(menu.m_hMenu, 1);
    EXPECT_EQ(close.fType & MFT_OWNERDRAW, 0u);
    EXPECT_EQ(close.fState & MFS_GRAYED, 0u) << "root items keep no template flag";
    EXPECT_EQ(menu.GetMenuString(0, MF_BYPOSITION), L"&File");

    HMENU fileHandle = ::GetSubMenu(menu.m_hMenu, 0);
    LumenMenu* file = LumenOf(fileHandle);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(IsRegistered(fileHandle));
    ASSERT_EQ(file->m_items.size(), 5u);
    ASSERT_EQ(file->GetMenuItemCount(), 5);
    for (UINT position = 0; position < 5; ++position) {
        const MENUITEMINFOW info = ItemInfo(fileHandle, position);
        EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u) << position;
        EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(file->m_items[position])) << position;
        EXPECT_NE(file->m_items[position]->m_nMenuFlags & MF_OWNERDRAW, 0u);
    }
    EXPECT_EQ(file->m_items[1]->m_nMenuFlags, static_cast<UINT>(MF_GRAYED | MF_OWNERDRAW));
    EXPECT_EQ(file->m_items[2]->m_nMenuFlags, static_cast<UINT>(MF_CHECKED | MF_OWNERDRAW));
    EXPECT_EQ(file->m_items[3]->m_nMenuFlags, static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW));
    EXPECT_EQ(file->m_items[3]->m_nCommand, 0u);
    EXPECT_EQ(file->m_items[4]->m_nMenuFlags, static_cast<UINT>(MF_POPUP | MF_OWNERDRAW));
    EXPECT_NE(ItemInfo(fileHandle, 1).fState & MFS_GRAYED, 0u);
    EXPECT_NE(ItemInfo(fileHandle, 2).fState & MFS_CHECKED, 0u);

    HMENU recentHandle = ::GetSubMenu(fileHandle, 4);
    LumenMenu* recent = LumenOf(recentHandle);
    ASSERT_NE(recent, nullptr);
    EXPECT_TRUE(IsRegistered(recentHandle));
    EXPECT_EQ(recent->m_items.size(), 2u);
    EXPECT_TRUE(recent->m_bCheckImagesShared);
    EXPECT_EQ(recent->m_items[1]->GetText(), L"Two");

    menu.DestroyMenu();
    EXPECT_EQ(menu.m_hMenu, nullptr);
    EXPECT_TRUE(menu.m_items.empty());
    EXPECT_FALSE(IsRegistered(fileHandle));
    EXPECT_FALSE(IsRegistered(recentHandle));
    EXPECT_EQ(CMenu::FromHandlePermanent(fileHandle), nullptr) << "sub-menus are deleted with their parent";
    EXPECT_TRUE(menu.m_bLoaded) << "destroying does not forget that the menu was loaded";
    EXPECT_FALSE(menu.DestroyMenu()) << "a second destroy is harmless";
}

TEST(LumenMenuTemplate, AcceleratorsOfALevelStartInOneColumn) {
    LumenMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    LumenMenu* file = LumenOf(::GetSubMenu(menu.m_hMenu, 0));
    ASSERT_NE(file, nullptr);
    const std::wstring open = file->m_items[0]->GetText();
    const std::wstring saveAs = file->m_items[2]->GetText();
    EXPECT_EQ(file->m_items[1]->GetText(), L"&Save") << "texts without a tab stay as they are";
    EXPECT_EQ(saveAs, L"Save &As... \tCtrl+Shift+S") << "the widest label gets one space";
    ASSERT_EQ(open.substr(0, 5), L"&Open");
    const size_t tab = open.find(L'\t');
    ASSERT_NE(tab, std::wstring::npos);
    EXPECT_EQ(open.substr(tab), L"\tCtrl+O");

    // Measured as the menu measures: the menu font on the desktop's DC.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    HFONT font = ::CreateFontIndirectW(&metrics.lfMenuFont);
    HDC dc = ::GetDC(::GetDesktopWindow());
    HGDIOBJ previous = ::SelectObject(dc, font);
    auto width = [dc](const std::wstring& text) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    };
    const LONG column = width(L"Save &As... ");
    EXPECT_GE(width(open.substr(0, tab)), column);
    EXPECT_LT(width(open.substr(0, tab - 1)), column) << "no more spaces than needed";
    ::SelectObject(dc, previous);
    ::ReleaseDC(::GetDesktopWindow(), dc);
    ::DeleteObject(font);
}

TEST(LumenMenuTemplate, PlainRootLevelLoadsAsTextItemsOnly) {
    LumenMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_PLAIN_MENU));
    ASSERT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_TRUE(menu.m_popupHandles.empty());
    for (UINT position = 0; position < 3; ++position) {
        EXPECT_EQ(ItemInfo(menu.m_hMenu, position).fType & MFT_OWNERDRAW, 0u);
        EXPECT_EQ(menu.m_items[position]->m_nMenuFlags, static_cast<UINT>(MF_BYPOSITION));
    }
    EXPECT_EQ(ItemInfo(menu.m_hMenu, 1).fType & MFT_SEPARATOR, 0u) << "a root separator becomes an empty text item";
    EXPECT_EQ(menu.m_items[1]->m_nCommand, 0u);
}

TEST(LumenMenuTemplate, IdAboveSixteenBitsLoadsItsLowWordAndMissingTemplatesChangeNothing) {
    LumenMenu menu;
    ASSERT_TRUE(menu.LoadMenu(0x10000u | IDR_TEST_PLAIN_MENU));
    EXPECT_EQ(menu.GetMenuItemCount(), 3);
    HMENU before = menu.m_hMenu;
    EXPECT_FALSE(menu.LoadMenu(4242u));
    EXPECT_EQ(menu.m_hMenu, before);
    EXPECT_EQ(menu.m_items.size(), 3u);
}

TEST(LumenMenuTemplate, ReloadingReplacesTheWholeMenu) {
    LumenMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    HMENU file = ::GetSubMenu(menu.m_hMenu, 0);
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_PLAIN_MENU));
    EXPECT_FALSE(IsRegistered(file));
    EXPECT_EQ(menu.m_items.size(), 3u);
}

TEST(LumenMenuItems, AppendItemMakesOwnerDrawnItemsAndSeparators) {
    LumenMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    EXPECT_TRUE(menu.AppendItem(L"One", MF_STRING, 11));
    EXPECT_TRUE(menu.AppendItem(L"ignored", MF_GRAYED | MF_BYPOSITION, 0));
    EXPECT_EQ(menu.m_items[0]->m_nMenuFlags, static_cast<UINT>(MF_OWNERDRAW));
    EXPECT_EQ(menu.m_items[1]->m_nMenuFlags, static_cast<UINT>(MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW));
    EXPECT_NE(ItemInfo(menu.m_hMenu, 1).fType & MFT_SEPARATOR, 0u);
    EXPECT_EQ(menu.m_items[0]->m_nSharedImage, -1);
    LumenMenu::s_sharedImageIds = {5, 11};
    menu.AppendItem(L"Shared", MF_STRING, 11);
    EXPECT_EQ(menu.m_items[2]->m_nSharedImage, 1);
    LumenMenu::s_sharedImageIds.clear();
}

TEST(LumenMenuSync, RecordsFollowTheLiveMenuByIdAndPosition) {
    LumenMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(L"A", MF_STRING, 7);
    menu.AppendItem(L"B", MF_STRING, 7);
    menu.AppendItem(L"", MF_STRING, 0);
    menu.AppendItem(L"Gone", MF_STRING, 9);
    LumenMenuData* first = menu.m_items[0];
    LumenMenuData* second = menu.m_items[1];
    LumenMenuData* separator = menu.m_items[2];
    ::DeleteMenu(menu.m_hMenu, 3, MF_BYPOSITION);
    ::InsertMenuW(menu.m_hMenu, 0, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu.m_hMenu, MF_STRING, 12, L"New");
    menu.SyncWithMenu();
    ASSERT_EQ(menu.m_items.size(), 5u);
    EXPECT_EQ(menu.m_items[0], separator) << "a separator reuses an unclaimed record with id 0";
    EXPECT_EQ(menu.m_items[1], first);
    EXPECT_EQ(menu.m_items[2], second) << "equal ids claim records in index order";
    EXPECT_EQ(menu.m_items[3]->m_nMenuFlags & (MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION),
              static_cast<UINT>(MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION));
    EXPECT_EQ(menu.m_items[3]->GetText(), L"");
    EXPECT_EQ(menu.m_items[4]->GetText(), L"New");
    EXPECT_EQ(menu.m_items[4]->m_nCommand, 12u);
    for (UINT position = 0; position < 5; ++position) {
        const MENUITEMINFOW info = ItemInfo(menu.m_hMenu, position);
        EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u) << position;
        EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu.m_items[position])) << position;
    }
    EXPECT_EQ(ItemInfo(menu.m_hMenu, 1).wID, 7u) << "the items themselves keep their ids";
}

TEST(LumenMenuSync, EmptiedMenuLeavesNoRecords) {
    LumenMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(L"A", MF_STRING, 1);
    ::DeleteMenu(menu.m_hMenu, 0, MF_BYPOSITION);
    menu.SyncWithMenu();
    EXPECT_TRUE(menu.m_items.empty());
}

TEST(LumenMenuSync, ItemOffsetCountsForeignItemsInFront) {
    LumenMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_PLAIN_MENU));
    EXPECT_EQ(menu.GetItemOffset(), 0);
    ::InsertMenuW(menu.m_hMenu, 0, MF_BYPOSITION | MF_STRING, 501, L"Foreign 1");
    ::InsertMenuW(menu.m_hMenu, 1, MF_BYPOSITION | MF_STRING, 502, L"Foreign 2");
    EXPECT_EQ(menu.GetItemOffset(), 2);
    LumenMenu unloaded;
    ASSERT_TRUE(unloaded.CreatePopupMenu());
    ::AppendMenuW(unloaded.m_hMenu, MF_STRING, 1, L"x");
    EXPECT_EQ(unloaded.GetItemOffset(), 0);
}

TEST(LumenMenuKeyboard, MnemonicExecutesTheFirstMatchingItem) {
    LumenMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(L"Open", MF_STRING, 1);
    menu.AppendItem(L"&Save", MF_STRING, 2);
    menu.AppendItem(L"Save &As", MF_STRING, 3);
    EXPECT_EQ(LumenMenu::HandleMenuChar(L's', MF_POPUP, &menu), MAKELRESULT(1, MNC_EXECUTE));
    EXPECT_EQ(LumenMenu::HandleMenuChar(L'S', MF_POPUP, &menu), MAKELRESULT(1, MNC_EXECUTE));
    EXPECT_EQ(LumenMenu::HandleMenuChar(L'X', MF_POPUP, &menu), 0);
    EXPECT_EQ(LumenMenu::HandleMenuChar(L'S', 0, &menu), 0) << "the system menu is not ours";
    CMenu* foreign = CMenu::FromHandle(::CreatePopupMenu());
    EXPECT_EQ(LumenMenu::HandleMenuChar(L'S', MF_POPUP, foreign), 0);
    ::DestroyMenu(foreign->m_hMenu);
    ::AppendMenuW(menu.m_hMenu, MF_STRING, 4, L"&Zoom");
    EXPECT_EQ(LumenMenu::HandleMenuChar(L'z', MF_POPUP, &menu), MAKELRESULT(3, MNC_EXECUTE))
        << "a changed menu is synchronised first";
}

TEST(LumenMenuMarks, CheckMarkPaintsExactlyItsTwentyOnePixels) {
    DibCanvas canvas(12, 12, WHITE);
    CDC dc;
    dc.Attach(canvas.Dc());
    LumenMenu::DrawCheckMark(&dc, 2, 3, INK);
    dc.Detach();
    std::set<std::pair<int, int>> expected;
    const int firstRows[] = {2, 3, 4, 3, 2, 1, 0};
    for (int column = 0; column < 7; ++column) {
        for (int row = firstRows[column]; row < firstRows[column] + 3; ++row) expected.insert({2 + column, 3 + row});
    }
    EXPECT_EQ(PaintedPixels(canvas, WHITE), expected);
    EXPECT_EQ(expected.size(), 21u);
}

TEST(LumenMenuMarks, RadioMarkStaysInsideItsSixPixelBox) {
    DibCanvas canvas(12, 12, WHITE);
    CDC dc;
    dc.Attach(canvas.Dc());
    HGDIOBJ penBefore = ::GetCurrentObject(canvas.Dc(), OBJ_PEN);
    LumenMenu::DrawRadioMark(&dc, 3, 3, INK);
    EXPECT_EQ(::GetCurrentObject(canvas.Dc(), OBJ_PEN), penBefore) << "the DC is left as it was";
    dc.Detach();
    const auto painted = PaintedPixels(canvas, WHITE);
    ASSERT_FALSE(painted.empty());
    for (const auto& pixel : painted) {
        EXPECT_GE(pixel.first, 3);
        EXPECT_LT(pixel.first, 9);
        EXPECT_GE(pixel.second, 3);
        EXPECT_LT(pixel.second, 9);
    }
    EXPECT_TRUE(painted.count({5, 5}));
}

TEST(LumenMenuMarks, ClassicBoxOfAnUnselectedItemIsLighter) {
    DibCanvas selected(16, 16, WHITE);
    DibCanvas unselected(16, 16, WHITE);
    CDC dc;
    dc.Attach(selected.Dc());
    LumenMenu::DrawCheckBoxClassic(&dc, RECT{0, 0, 16, 16}, TRUE, nullptr);
    dc.Detach();
    dc.Attach(unselected.Dc());
    LumenMenu::DrawCheckBoxClassic(&dc, RECT{0, 0, 16, 16}, FALSE, nullptr);
    dc.Detach();
    const COLORREF menu = ::GetSysColor(COLOR_MENU);
    EXPECT_EQ(selected.Pixel(2, 12), menu);
    EXPECT_EQ(unselected.Pixel(2, 12), LumenMenu::TintColor(0.6, menu));
    EXPECT_EQ(selected.Pixel(4 + 6, 4 + 0), ::GetSysColor(COLOR_MENUTEXT)) << "the tick at left + 4";
}

TEST(LumenMenuMarks, FlatBoxIsFramedAndTicksOnePixelFurtherRight) {
    DibCanvas canvas(16, 16, WHITE);
    CDC dc;
    dc.Attach(canvas.Dc());
    const COLORREF frame = RGB(10, 36, 106);
    LumenMenu::DrawCheckBoxFlat(&dc, RECT{0, 0, 16, 16}, frame, nullptr);
    dc.Detach();
    EXPECT_EQ(canvas.Pixel(0, 0), frame);
    EXPECT_EQ(canvas.Pixel(15, 15), frame);
    EXPECT_EQ(canvas.Pixel(2, 13), RGB(218, 222, 232));
    EXPECT_EQ(canvas.Pixel(5 + 6, 4), ::GetSysColor(COLOR_MENUTEXT));
    EXPECT_EQ(canvas.Pixel(4 + 6, 4), RGB(218, 222, 232));
}

TEST(LumenMenuMarks, ImageTriplesNeedThreeEqualIds) {
    LumenMenu::s_sharedImageIds = {4, 4, 4};
    EXPECT_TRUE(LumenMenu::HasImageTriple(0));
    EXPECT_FALSE(LumenMenu::HasImageTriple(1));
    LumenMenu::s_sharedImageIds = {5, 5, 6};
    EXPECT_FALSE(LumenMenu::HasImageTriple(0));
    LumenMenu::s_sharedImageIds.clear();
}

class DisabledImageTest : public ::testing::Test {
protected:
    static constexpr int SIZE = 8;
    static constexpr COLORREF BACKGROUND = RGB(90, 160, 90);

    // A black square on the button face colour, as menu images are drawn.
    void SetUp() override {
        CDC dc;
        dc.Attach(image.Dc());
        dc.FillSolidRect(2, 2, 3, 3, RGB(0, 0, 0));
        dc.Detach();
    }

    DibCanvas image{SIZE, SIZE, ::GetSysColor(COLOR_BTNFACE)};
    DibCanvas target{SIZE + 4, SIZE + 4, WHITE};
};

TEST_F(DisabledImageTest, MaskEmbossShowsShadowWithHighlightBelowRightAndConsumesTheImage) {
    CDC dc;
    dc.Attach(target.Dc());
    CBitmap bitmap;
    bitmap.Attach(::CopyImage(image.Bitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    LumenMenu::DrawDisabledBitmap(&dc, 1, 1, SIZE, SIZE, &bitmap, BACKGROUND);
    dc.Detach();
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(target.Pixel(1 + 2, 1 + 2), shadow);
    EXPECT_EQ(target.Pixel(1 + 4, 1 + 4), shadow);
    EXPECT_EQ(target.Pixel(1 + 5, 1 + 5), light) << "highlight copy one pixel down and right";
    EXPECT_EQ(target.Pixel(1 + 0, 1 + 0), BACKGROUND);
    EXPECT_EQ(target.Pixel(1 + 7, 1 + 1), BACKGROUND);
    DibCanvas after(SIZE, SIZE, WHITE);
    HDC source = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(source, bitmap.m_hObject);
    ::BitBlt(after.Dc(), 0, 0, SIZE, SIZE, source, 0, 0, SRCCOPY);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
    EXPECT_EQ(after.Pixel(0, 0), BACKGROUND) << "the image bitmap now holds the embossed picture";
    EXPECT_EQ(after.Pixel(3, 3), shadow);
}

TEST_F(DisabledImageTest, MonoEmbossPaintsTheDarkPartsAndLeavesTheImage) {
    HBITMAP copy = static_cast<HBITMAP>(::CopyImage(image.Bitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    LumenMenu::DrawDisabledBitmapMono(target.Dc(), 1, 1, SIZE, SIZE, copy, BACKGROUND);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(target.Pixel(1 + 2, 1 + 2), shadow);
    EXPECT_EQ(target.Pixel(1 + 5, 1 + 5), light);
    EXPECT_EQ(target.Pixel(1 + 0, 1 + 0), BACKGROUND);
    DibCanvas after(SIZE, SIZE, WHITE);
    HDC source = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(source, copy);
    ::BitBlt(after.Dc(), 0, 0, SIZE, SIZE, source, 0, 0, SRCCOPY);
    ::SelectObject(source, previous);
    ::DeleteDC(source);
    EXPECT_TRUE(after.SameAs(image));
    ::DeleteObject(copy);
}

TEST(LumenMenuMeasure, ClassicAndFlatSizesFollowTheTextAndTheIcon) {
    LumenMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(L"Item", MF_STRING, 1);
    menu.AppendItem(L"", MF_STRING, 0);
    MEASUREITEMSTRUCT item{};
    item.CtlType = ODT_MENU;
    item.itemData = reinterpret_cast<ULONG_PTR>(menu.m_items[0]);
    MEASUREITEMSTRUCT separator = item;
    separator.itemData = reinterpret_cast<ULONG_PTR>(menu.m_items[1]);
    menu.MeasureItem(&item);
    menu.MeasureItem(&separator);
    const int bar = ::GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(separator.itemWidth, 0u);
    EXPECT_EQ(static_cast<int>(separator.itemHeight), std::max(bar >> 1, 9));
    EXPECT_EQ(static_cast<int>(item.itemHeight), std::max(bar, 19));
    const int classicText = static_cast<int>(item.itemWidth) - 33;
    EXPECT_GT(classicText, 0);

    LumenMenu::s_nDrawMode = 1;
    menu.MeasureItem(&item);
    menu.MeasureItem(&separator);
    LumenMenu::s_nDrawMode = 0;
    EXPECT_EQ(static_cast<int>(item.itemWidth), classicText + 31);
    EXPECT_EQ(static_cast<int>(item.itemHeight), std::max(bar, 22));
    EXPECT_EQ(static_cast<int>(separator.itemHeight), std::max(bar >> 1, 11));
}

class MenuPaintTest : public ::testing::Test {
protected:
    static constexpr int WIDTH = 120;
    static constexpr int HEIGHT = 22;

    void SetUp() override {
        ASSERT_TRUE(menu.CreatePopupMenu());
        menu.AppendItem(L"Checked\tF2", MF_STRING | MF_CHECKED, 21);
        menu.AppendItem(L"Grayed", MF_STRING | MF_GRAYED, 22);
    }

    void Paint(int index, UINT state, DibCanvas& canvas) {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_MENU;
        draw.itemID = static_cast<UINT>(menu.m_items[static_cast<size_t>(index)]->m_nCommand);
        draw.itemState = state;
        draw.hwndItem = reinterpret_cast<HWND>(menu.m_hMenu);
        draw.hDC = canvas.Dc();
        draw.rcItem = canvas.Rect();
        draw.itemData = reinterpret_cast<ULONG_PTR>(menu.m_items[static_cast<size_t>(index)]);
        menu.DrawItem(&draw);
    }

    LumenMenu menu;
};

TEST_F(MenuPaintTest, ClassicCheckedItemGetsACheckBoxAndItsAcceleratorOnTheRight) {
    DibCanvas canvas(WIDTH, HEIGHT, RGB(255, 0, 255));
    Paint(0, ODS_CHECKED, canvas);
    const int dy = (HEIGHT - 15 - 4) / 2;
    const COLORREF box = LumenMenu::TintColor(0.6, ::GetSysColor(COLOR_MENU));
    EXPECT_EQ(canvas.Pixel(3, dy + 2 + 13), box);
    EXPECT_EQ(canvas.Pixel(1 + 4 + 6, dy + 2 + 4), ::GetSysColor(COLOR_MENUTEXT)) << "tick at the box's left + 4";
    int accelerator = 0;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = WIDTH - 16 - 30; x < WIDTH - 16; ++x) {
            accelerator += canvas.Pixel(x, y) != ::GetSysColor(COLOR_MENU) ? 1 : 0;
        }
    }
    EXPECT_GT(accelerator, 0) << "the accelerator is right-aligned before the icon-wide margin";
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = WIDTH - 16; x < WIDTH; ++x) ASSERT_EQ(canvas.Pixel(x, y), ::GetSysColor(COLOR_MENU));
    }
}

TEST_F(MenuPaintTest, FlatGrayedItemIsNeverDrawnSelected) {
    LumenMenu::s_nDrawMode = 1;
    DibCanvas canvas(WIDTH, HEIGHT, RGB(255, 0, 255));
    Paint(1, ODS_GRAYED | ODS_SELECTED, canvas);
    LumenMenu::s_nDrawMode = 0;
    const COLORREF column = LumenMenu::TintColor(0.25, ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(canvas.Pixel(3, 10), column);
    EXPECT_EQ(canvas.Pixel(WIDTH - 3, 10), ::GetSysColor(COLOR_WINDOW));
    const COLORREF text = LumenMenu::TintColor(0.4, ::GetSysColor(COLOR_GRAYTEXT));
    int textPixels = 0;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 16 + 7 + 8; x < WIDTH; ++x) textPixels += canvas.Pixel(x, y) == text ? 1 : 0;
    }
    EXPECT_GT(textPixels, 0);
}

TEST(LumenMenuMemDCTest, DrawingLandsOnTheTargetAtTheSamePlace) {
    DibCanvas target(20, 20, RGB(255, 255, 255));
    CDC dc;
    dc.Attach(target.Dc());
    const RECT area{5, 6, 15, 16};
    {
        LumenMenuMemDC buffer(&dc, &area);
        buffer.FillSolidRect(5, 6, 2, 2, RGB(255, 0, 0));
        EXPECT_EQ(target.Pixel(5, 6), RGB(255, 255, 255)) << "nothing shows before the copy";
    }
    dc.Detach();
    EXPECT_EQ(target.Pixel(5, 6), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(6, 7), RGB(255, 0, 0));
    EXPECT_EQ(target.Pixel(4, 6), RGB(255, 255, 255));
}

TEST(LumenMenuStatics, StartUpValues) {
    EXPECT_EQ(LumenMenu::s_nOsClass, LumenMenu::ClassifyWindowsVersion());
    EXPECT_EQ(LumenMenu::s_sharedImages.m_hImageList, nullptr);
    EXPECT_TRUE(LumenMenu::s_sharedImageIds.empty());
    EXPECT_EQ(LumenMenu::s_nDrawMode, 0);
    EXPECT_EQ(LumenMenu::s_bGrayedSelectable, 0);
}

TEST(LumenMenuTheme, ClassicThemeIsReadOnceFromTheRegistry) {
    constexpr wchar_t KEY[] = L"Software\\Microsoft\\Plus!\\Themes\\Current";
    auto setTheme = [&KEY](const wchar_t* file) {
        HKEY key = nullptr;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, KEY, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(file),
                         static_cast<DWORD>((std::wcslen(file) + 1) * sizeof(wchar_t)));
        ::RegCloseKey(key);
    };
    setTheme(L"C:\\WINDOWS\\Resources\\Themes\\WINDOWS CLASSIC.THEME");
    EXPECT_TRUE(LumenMenu::IsClassicTheme());
    setTheme(L"C:\\WINDOWS\\Resources\\Themes\\Luna.theme");
    EXPECT_TRUE(LumenMenu::IsClassicTheme()) << "a theme change while the program runs is not seen";
    ::RegDeleteKeyW(HKEY_CURRENT_USER, KEY);
}

TEST(LumenMenuPaintGuard, ItemWithoutRecordIsLeftAlone) {
    LumenMenu menu;
    DibCanvas canvas(20, 20, WHITE);
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.hDC = canvas.Dc();
    draw.rcItem = canvas.Rect();
    menu.DrawItem(&draw);
    EXPECT_TRUE(PaintedPixels(canvas, WHITE).empty());
}

class MenuImageTest : public MenuPaintTest {
protected:
    static constexpr COLORREF RED = RGB(255, 0, 0);

    // Gives the first item an image list of its own holding one red image.
    void SetUp() override {
        MenuPaintTest::SetUp();
        HDC screen = ::GetDC(nullptr);
        HBITMAP color = ::CreateCompatibleBitmap(screen, menu.m_nIconWidth, menu.m_nIconHeight);
        ::ReleaseDC(nullptr, screen);
        HBITMAP mask = ::CreateBitmap(menu.m_nIconWidth, menu.m_nIconHeight, 1, 1, nullptr);
        HDC dc = ::CreateCompatibleDC(nullptr);
        HGDIOBJ previous = ::SelectObject(dc, color);
        const RECT all{0, 0, menu.m_nIconWidth, menu.m_nIconHeight};
        HBRUSH red = ::CreateSolidBrush(RED);
        ::FillRect(dc, &all, red);
        ::DeleteObject(red);
        ::SelectObject(dc, mask);
        ::PatBlt(dc, 0, 0, menu.m_nIconWidth, menu.m_nIconHeight, BLACKNESS);
        ::SelectObject(dc, previous);
        ::DeleteDC(dc);
        ICONINFO info{TRUE, 0, 0, mask, color};
        HICON icon = ::CreateIconIndirect(&info);
        ::DeleteObject(color);
        ::DeleteObject(mask);
        LumenMenuData* record = menu.m_items[0];
        record->m_pImages = new CImageList;
        ASSERT_TRUE(record->m_pImages->Create(menu.m_nIconWidth, menu.m_nIconHeight, ILC_COLOR32 | ILC_MASK, 1, 0));
        ASSERT_EQ(record->m_pImages->Add(icon), 0);
        ::DestroyIcon(icon);
        record->m_nImage = 0;
        record->m_nOwnListMarker = 0;
    }
};

TEST_F(MenuImageTest, ClassicImageIsDrawnPlainOrEmbossedWhenGrayed) {
    DibCanvas canvas(WIDTH, HEIGHT, RGB(255, 0, 255));
    Paint(0, 0, canvas);
    const int dy = (HEIGHT - menu.m_nIconHeight - 4) / 2;
    EXPECT_EQ(canvas.Pixel(2, dy + 2), RED);
    EXPECT_EQ(canvas.Pixel(2 + menu.m_nIconWidth - 1, dy + 2 + menu.m_nIconHeight - 1), RED);
    canvas.Fill(RGB(255, 0, 255));
    Paint(0, ODS_GRAYED, canvas);
    int red = 0;
    int shadow = 0;
    for (int y = 0; y < HEIGHT; ++y) {
        for (int x = 0; x < 20; ++x) {
            red += canvas.Pixel(x, y) == RED ? 1 : 0;
            shadow += canvas.Pixel(x, y) == ::GetSysColor(COLOR_BTNSHADOW) ? 1 : 0;
        }
    }
    EXPECT_EQ(red, 0);
    EXPECT_GT(shadow, 0) << "the image shows as an embossed silhouette";
}

TEST_F(MenuImageTest, FlatSelectedCheckedImageMovesUpAndLeftInsideAFramedCell) {
    LumenMenu::s_nDrawMode = 1;
    DibCanvas canvas(WIDTH, HEIGHT, RGB(255, 0, 255));
    Paint(0, ODS_SELECTED | ODS_CHECKED, canvas);
    LumenMenu::s_nDrawMode = 0;
    const int dx = (16 + 7 - menu.m_nIconWidth + 1) / 2;
    const int dy = static_cast<int>((HEIGHT - menu.m_nIconHeight) * 0.5 + 0.5);
    EXPECT_EQ(canvas.Pixel(dx - 1, dy - 1), RED);
    EXPECT_NE(canvas.Pixel(dx - 1 + menu.m_nIconWidth, dy - 1 + menu.m_nIconHeight), RED);
    EXPECT_EQ(canvas.Pixel(1, HEIGHT - 2), ::GetSysColor(COLOR_HIGHLIGHT)) << "the cell's frame";
}

TEST(LumenMenuSync, SeparatorIsModifiedByPositionNotAsCommandId) {
    LumenMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendItem(L"Command two", MF_STRING, 2);
    menu.AppendItem(L"Other", MF_STRING, 5);
    menu.AppendItem(L"", MF_STRING, 0);
    ::AppendMenuW(menu.m_hMenu, MF_STRING, 9, L"Foreign");
    menu.SyncWithMenu();
    const MENUITEMINFOW first = ItemInfo(menu.m_hMenu, 0);
    EXPECT_EQ(first.fType & MFT_SEPARATOR, 0u) << "the item whose id equals the separator's position is untouched";
    EXPECT_EQ(first.wID, 2u);
    EXPECT_NE(ItemInfo(menu.m_hMenu, 2).fType & MFT_SEPARATOR, 0u);
    EXPECT_NE(menu.m_items[2]->m_nMenuFlags & MF_BYPOSITION, 0u);
}
