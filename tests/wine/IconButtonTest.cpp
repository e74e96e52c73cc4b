// The icon button on real windows: its painting read back from DIB sections,
// and its behaviour under the mouse, the keyboard focus and the dialog manager.
#include "controls/CIconButton.h"
#include "core/ColorMath.h"
#include "core/PanelColors.h"
#include "framework/CDialog.h"
#include "tests/wine/DibCanvas.h"
#include "tests/wine/MessagePumping.h"
#include "tests/wine/OwnerDrawnTestResources.h"
#include "tests/wine/PopupOperator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

namespace {

constexpr int CLOSE_SIZE = 25;
constexpr int BUTTON_WIDTH = 75;
constexpr int BUTTON_HEIGHT = 23;
constexpr COLORREF FOCUS_BACK = RGB(200, 230, 200);
constexpr COLORREF NORMAL_BACK = RGB(40, 40, 120);
constexpr DWORD PUMP_MS = 50;

HICON LoadTestIcon(int id) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_ICON, 0, 0,
                                           LR_DEFAULTCOLOR));
}

void Render(CIconButton& button, DibCanvas& canvas, UINT state) {
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_BUTTON;
    draw.CtlID = static_cast<UINT>(::GetDlgCtrlID(button.m_hWnd));
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = state;
    draw.hwndItem = button.m_hWnd;
    draw.hDC = canvas.Dc();
    draw.rcItem = canvas.Rect();
    button.DrawItem(&draw);
}

// Pixels of the ring `inset` pixels inside the canvas edge.
std::vector<COLORREF> Ring(const DibCanvas& canvas, int inset) {
    std::vector<COLORREF> pixels;
    const int right = canvas.Width() - 1 - inset;
    const int bottom = canvas.Height() - 1 - inset;
    for (int x = inset; x <= right; ++x) {
        pixels.push_back(canvas.Pixel(x, inset));
        pixels.push_back(canvas.Pixel(x, bottom));
    }
    for (int y = inset; y <= bottom; ++y) {
        pixels.push_back(canvas.Pixel(inset, y));
        pixels.push_back(canvas.Pixel(right, y));
    }
    return pixels;
}

struct Box {
    int minX = INT_MAX;
    int minY = INT_MAX;
    int maxX = -1;
    int maxY = -1;
    int count = 0;
};

Box BoxOfColour(const DibCanvas& canvas, COLORREF color) {
    Box box;
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            if (canvas.Pixel(x, y) != color) continue;
            box.minX = std::min(box.minX, x);
            box.minY = std::min(box.minY, y);
            box.maxX = std::max(box.maxX, x);
            box.maxY = std::max(box.maxY, y);
            ++box.count;
        }
    }
    return box;
}

class HostDialog : public CDialog {
public:
    HostDialog() : CDialog(IDD_ICON_BUTTON_HOST) {}

    int clicks = 0;
    std::vector<UINT> commands;

    void OnCaptionClicked() { ++clicks; }
    void OnOpen() { commands.push_back(ID_TEST_OPEN); }

protected:
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(HostDialog, CDialog)
    ON_BN_CLICKED(IDC_ICON_CAPTION, OnCaptionClicked)
    ON_COMMAND(ID_TEST_OPEN, OnOpen)
END_MESSAGE_MAP()

class IconButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host.Create(IDD_ICON_BUTTON_HOST));
    }

    // Only tests that need the screen show the host: taking a shown window
    // down again costs Wine a wait without a window manager.
    void Show() {
        ::SetWindowPos(host.m_hWnd, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
        PumpFor(PUMP_MS);
    }

    void TearDown() override { host.DestroyWindow(); }

    HWND Item(int id) const { return host.GetDlgItem(id); }

    // The close buttons of the panel's dialogs.
    void MakeCloseButton(CIconButton& button) {
        ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_FIRST, &host));
        button.SetHoverBorder(FALSE, TRUE);
        ASSERT_EQ(button.SetIcons(LoadTestIcon(IDI_TEST_CLOSE_ACTIVE), LoadTestIcon(IDI_TEST_CLOSE_NORMAL)), 0u);
        button.SetTooltip(L"Close");
        for (BYTE index : {BUTTON_COLOR_NORMAL_BACK, BUTTON_COLOR_FOCUS_BACK, BUTTON_COLOR_HOVER_BACK}) {
            button.SetStateColor(index, PANEL_BLUE, TRUE);
        }
    }

    // What the close button should show: its background and one icon at `offset`.
    static void ExpectShowsIcon(const DibCanvas& rendered, HICON icon, int offset) {
        DibCanvas expected(CLOSE_SIZE, CLOSE_SIZE, PANEL_BLUE);
        const int centred = (CLOSE_SIZE - ::GetSystemMetrics(SM_CXICON)) / 2;
        ::DrawIconEx(expected.Dc(), centred + offset, centred + offset, icon, 0, 0, 0, nullptr, DI_NORMAL);
        EXPECT_TRUE(rendered.SameAs(expected));
    }

    HostDialog host;
};

}  // namespace

TEST_F(IconButtonTest, FlatBlueCloseButtonWithoutHoverBorderNeverShowsAnEdge) {
    CIconButton button;
    MakeCloseButton(button);
    for (BOOL hover : {FALSE, TRUE}) {
        for (UINT state : {0u, UINT{ODS_FOCUS}, UINT{ODS_SELECTED}, UINT{ODS_SELECTED | ODS_FOCUS}}) {
            button.m_bHover = hover;
            DibCanvas canvas(CLOSE_SIZE, CLOSE_SIZE, RGB(255, 0, 255));
            Render(button, canvas, state);
            for (int inset : {0, 1}) {
                for (COLORREF pixel : Ring(canvas, inset)) {
                    ASSERT_EQ(pixel, PANEL_BLUE) << "hover " << hover << " state " << state << " ring " << inset;
                }
            }
        }
    }
}

TEST_F(IconButtonTest, HoverBorderShowsWhenLeftOn) {
    CIconButton button;
    MakeCloseButton(button);
    button.SetHoverBorder(TRUE, TRUE);
    button.m_bHover = TRUE;
    DibCanvas canvas(CLOSE_SIZE, CLOSE_SIZE, RGB(255, 0, 255));
    Render(button, canvas, 0);
    EXPECT_EQ(canvas.Pixel(5, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.Pixel(5, CLOSE_SIZE - 1), ::GetSysColor(COLOR_BTNSHADOW));
    Render(button, canvas, ODS_SELECTED);
    EXPECT_EQ(canvas.Pixel(5, 0), ::GetSysColor(COLOR_BTNSHADOW)) << "pressed swaps the colours";
}

TEST_F(IconButtonTest, CloseButtonSwapsIconsOnHoverAndShiftsThemWhilePressed) {
    CIconButton button;
    MakeCloseButton(button);
    HICON active = LoadTestIcon(IDI_TEST_CLOSE_ACTIVE);
    HICON normal = LoadTestIcon(IDI_TEST_CLOSE_NORMAL);
    DibCanvas canvas(CLOSE_SIZE, CLOSE_SIZE, RGB(255, 0, 255));
    Render(button, canvas, 0);
    ExpectShowsIcon(canvas, normal, 0);
    button.m_bHover = TRUE;
    Render(button, canvas, 0);
    ExpectShowsIcon(canvas, active, 0);
    button.m_bHover = FALSE;
    Render(button, canvas, ODS_SELECTED);
    ExpectShowsIcon(canvas, active, 1);
    ::DestroyIcon(active);
    ::DestroyIcon(normal);
}

TEST_F(IconButtonTest, RealPaintOfTheCloseButtonShowsNoEdge) {
    Show();
    CIconButton button;
    MakeCloseButton(button);
    ::SetWindowPos(button.m_hWnd, nullptr, 0, 0, CLOSE_SIZE, CLOSE_SIZE, SWP_NOMOVE | SWP_NOZORDER);
    ::RedrawWindow(button.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpFor(PUMP_MS);
    DibCanvas canvas(CLOSE_SIZE, CLOSE_SIZE, RGB(255, 0, 255));
    HDC windowDc = ::GetDC(button.m_hWnd);
    ::BitBlt(canvas.Dc(), 0, 0, CLOSE_SIZE, CLOSE_SIZE, windowDc, 0, 0, SRCCOPY);
    ::ReleaseDC(button.m_hWnd, windowDc);
    for (COLORREF pixel : Ring(canvas, 0)) ASSERT_EQ(pixel, PANEL_BLUE);
    EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(IconButtonTest, FocusedRaisedButtonGetsBlackFrameEdgeAndFocusRectangle) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_AFTER, &host));
    button.SetWindowText(L"");
    button.SetFlatStyle(FALSE, TRUE);
    button.SetStateColor(BUTTON_COLOR_FOCUS_BACK, FOCUS_BACK, TRUE);
    DibCanvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT, RGB(255, 0, 255));
    Render(button, canvas, ODS_FOCUS);
    for (COLORREF pixel : Ring(canvas, 0)) ASSERT_EQ(pixel, RGB(0, 0, 0));
    const int right = BUTTON_WIDTH - 2;
    const int bottom = BUTTON_HEIGHT - 2;
    EXPECT_EQ(canvas.Pixel(10, 1), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.Pixel(1, 10), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.Pixel(10, 2), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.Pixel(2, 10), ::GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(canvas.Pixel(10, bottom), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.Pixel(right, 10), ::GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.Pixel(10, bottom - 1), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.Pixel(right - 1, 10), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.Pixel(10, 8), FOCUS_BACK);
    int dotted = 0;
    for (int x = 4; x < BUTTON_WIDTH - 4; ++x) dotted += canvas.Pixel(x, 4) != FOCUS_BACK ? 1 : 0;
    EXPECT_GT(dotted, (BUTTON_WIDTH - 8) / 3) << "focus rectangle 4 pixels inside the item";
    EXPECT_EQ(canvas.Pixel(10, 3), FOCUS_BACK);
    EXPECT_EQ(canvas.Pixel(10, 5), FOCUS_BACK);
}

TEST_F(IconButtonTest, RaisedButtonWithoutFocusHasNeitherFrameNorFocusRectangle) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_AFTER, &host));
    button.SetWindowText(L"");
    button.SetFlatStyle(FALSE, TRUE);
    button.SetStateColor(BUTTON_COLOR_NORMAL_BACK, NORMAL_BACK, TRUE);
    DibCanvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT, RGB(255, 0, 255));
    Render(button, canvas, 0);
    EXPECT_EQ(canvas.Pixel(10, 0), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    for (int x = 4; x < BUTTON_WIDTH - 4; ++x) ASSERT_EQ(canvas.Pixel(x, 4), NORMAL_BACK);
}

TEST_F(IconButtonTest, DefaultRaisedButtonGetsTheBlackFrameWithoutFocus) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_DEFAULT, &host));
    EXPECT_TRUE(button.m_bDefault);
    EXPECT_EQ(button.m_nButtonType, static_cast<DWORD>(BS_PUSHBUTTON));
    button.SetFlatStyle(FALSE, TRUE);
    DibCanvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT, RGB(255, 0, 255));
    Render(button, canvas, 0);
    for (COLORREF pixel : Ring(canvas, 0)) ASSERT_EQ(pixel, RGB(0, 0, 0));
}

TEST_F(IconButtonTest, DisabledCaptionIsEngraved) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    button.SetStateColor(BUTTON_COLOR_NORMAL_BACK, NORMAL_BACK, TRUE);
    DibCanvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT, RGB(255, 0, 255));
    Render(button, canvas, ODS_DISABLED);
    const Box light = BoxOfColour(canvas, ::GetSysColor(COLOR_BTNHIGHLIGHT));
    const Box dark = BoxOfColour(canvas, ::GetSysColor(COLOR_BTNSHADOW));
    ASSERT_GT(light.count, 0);
    ASSERT_GT(dark.count, 0);
    EXPECT_EQ(light.maxX, dark.maxX + 1);
    EXPECT_EQ(light.maxY, dark.maxY + 1);
    EXPECT_GE(light.minX, dark.minX);
    EXPECT_GE(light.minY, dark.minY);
    Render(button, canvas, 0);
    EXPECT_EQ(BoxOfColour(canvas, ::GetSysColor(COLOR_BTNHIGHLIGHT)).count, 0) << "an enabled caption is plain";
}

TEST_F(IconButtonTest, DoubleClickGivesTwoClicks) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    const LPARAM inside = MAKELPARAM(5, 5);
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, inside);
    button.SendMessage(WM_LBUTTONUP, 0, inside);
    button.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, inside);
    button.SendMessage(WM_LBUTTONUP, 0, inside);
    PumpFor(PUMP_MS);
    EXPECT_EQ(host.clicks, 2);
}

TEST_F(IconButtonTest, DisablingMovesTheFocusToTheNextTabItem) {
    Show();
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    ::SetFocus(Item(IDC_ICON_EDIT));
    button.EnableWindow(FALSE);
    EXPECT_EQ(::GetFocus(), Item(IDC_ICON_DEFAULT)) << "also when the button did not have the focus";
    button.EnableWindow(TRUE);
    button.SetFocus();
    button.EnableWindow(FALSE);
    EXPECT_EQ(::GetFocus(), Item(IDC_ICON_DEFAULT));
}

TEST_F(IconButtonTest, DialogManagerDefaultSwitchKeepsBothButtonsOwnerDrawn) {
    CIconButton caption;
    CIconButton original;
    ASSERT_TRUE(caption.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    ASSERT_TRUE(original.SubclassDlgItem(IDC_ICON_DEFAULT, &host));
    host.SendMessage(DM_SETDEFID, IDC_ICON_CAPTION);
    EXPECT_TRUE(caption.m_bDefault);
    EXPECT_FALSE(original.m_bDefault);
    EXPECT_EQ(caption.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(original.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
    EXPECT_EQ(caption.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON, static_cast<LRESULT>(DLGC_DEFPUSHBUTTON));
    caption.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(caption.m_bDefault);
    EXPECT_EQ(caption.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(IconButtonTest, CheckStateBelongsToCheckBoxesOnly) {
    CIconButton push;
    ASSERT_TRUE(push.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    push.SendMessage(BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(push.SendMessage(BM_GETCHECK), 0);

    HWND box = ::CreateWindowExW(0, L"BUTTON", L"Box", WS_CHILD | WS_VISIBLE | BS_CHECKBOX, 150, 40, 60, 20,
                                 host.m_hWnd, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    CIconButton check;
    ASSERT_TRUE(check.SubclassWindow(box));
    EXPECT_TRUE(check.m_bCheckBox);
    check.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), TRUE);
    check.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    check.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(check.SendMessage(BM_GETCHECK), FALSE) << "a click toggles";
    check.m_bChecked = TRUE;
    DibCanvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT, RGB(255, 0, 255));
    Render(check, canvas, 0);
    EXPECT_TRUE(check.m_bPressed) << "a checked box paints pressed";
}

TEST_F(IconButtonTest, HoverStartsOnlyWithoutTheButtonHeldAndEndsWhenLeaving) {
    Show();
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    const LPARAM inside = MAKELPARAM(4, 4);
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, inside);
    EXPECT_FALSE(button.m_bHover);
    button.SendMessage(WM_MOUSEMOVE, 0, inside);
    EXPECT_TRUE(button.m_bHover);
    RECT client{};
    button.GetClientRect(&client);
    const LPARAM outside = MAKELPARAM(client.right + 40, client.bottom + 40);
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, outside);
    EXPECT_FALSE(button.m_bHover) << "moving off ends hover even with the button held";
    button.SendMessage(WM_MOUSEMOVE, 0, inside);
    button.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(button.m_bHover);
    button.SendMessage(WM_MOUSEMOVE, 0, inside);
    button.SendMessage(WM_CANCELMODE);
    EXPECT_FALSE(button.m_bHover);
    button.SetFlatStyle(FALSE, TRUE);
    button.SendMessage(WM_MOUSEMOVE, 0, inside);
    EXPECT_FALSE(button.m_bHover) << "only the flat look tracks hover";
}

TEST_F(IconButtonTest, FlatButtonWithoutHoverBorderStillTakesTheHoverColour) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_AFTER, &host));
    button.SetWindowText(L"");
    button.SetHoverBorder(FALSE, TRUE);
    button.SetStateColor(BUTTON_COLOR_HOVER_BACK, FOCUS_BACK, TRUE);
    button.m_bHover = TRUE;
    DibCanvas canvas(BUTTON_WIDTH, BUTTON_HEIGHT, RGB(255, 0, 255));
    Render(button, canvas, 0);
    for (COLORREF pixel : Ring(canvas, 0)) ASSERT_EQ(pixel, FOCUS_BACK);
}

TEST_F(IconButtonTest, OneIconServesEveryStateAndNoIconLeavesTheFaceEmpty) {
    CIconButton button;
    MakeCloseButton(button);
    HICON normal = LoadTestIcon(IDI_TEST_CLOSE_NORMAL);
    ASSERT_EQ(button.SetIcons(LoadTestIcon(IDI_TEST_CLOSE_NORMAL), nullptr), 0u);
    DibCanvas canvas(CLOSE_SIZE, CLOSE_SIZE, RGB(255, 0, 255));
    button.m_bHover = TRUE;
    Render(button, canvas, 0);
    ExpectShowsIcon(canvas, normal, 0);
    button.m_bHover = FALSE;
    Render(button, canvas, 0);
    ExpectShowsIcon(canvas, normal, 0);
    ASSERT_EQ(button.SetIcons(nullptr, LoadTestIcon(IDI_TEST_CLOSE_ACTIVE)), 0u);
    EXPECT_EQ(button.m_icons[0].icon, nullptr);
    EXPECT_EQ(button.m_icons[1].icon, nullptr);
    Render(button, canvas, 0);
    for (int y = 0; y < CLOSE_SIZE; ++y) {
        for (int x = 0; x < CLOSE_SIZE; ++x) ASSERT_EQ(canvas.Pixel(x, y), PANEL_BLUE);
    }
    ::DestroyIcon(normal);
}

TEST_F(IconButtonTest, ColourIndexOutsideTheTableIsIgnored) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_FIRST, &host));
    button.SetStateColor(BUTTON_COLOR_COUNT, RGB(1, 2, 3), TRUE);
    EXPECT_EQ(button.m_hMenuOwner, nullptr);
    EXPECT_FALSE(button.m_bMenuShown);
}

TEST_F(IconButtonTest, UnreadableIconFailsAndLeavesNoImage) {
    CIconButton button;
    MakeCloseButton(button);
    EXPECT_EQ(button.SetIcons(reinterpret_cast<HICON>(static_cast<INT_PTR>(0x1234)), nullptr), 1u);
    EXPECT_EQ(button.m_icons[0].icon, nullptr);
    EXPECT_EQ(button.m_icons[0].width, 0u);
}

TEST_F(IconButtonTest, GreyIconKeepsBlackAndUsesLumaWeights) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_FIRST, &host));
    constexpr int SIZE = 16;
    constexpr COLORREF ORANGE = RGB(200, 100, 50);
    HDC screen = ::GetDC(nullptr);
    HBITMAP color = ::CreateCompatibleBitmap(screen, SIZE, SIZE);
    ::ReleaseDC(nullptr, screen);
    HBITMAP mask = ::CreateBitmap(SIZE, SIZE, 1, 1, nullptr);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, color);
    for (int y = 0; y < SIZE; ++y) {
        for (int x = 0; x < SIZE; ++x) ::SetPixel(dc, x, y, x < SIZE / 2 ? RGB(0, 0, 0) : ORANGE);
    }
    ::SelectObject(dc, mask);
    ::PatBlt(dc, 0, 0, SIZE, SIZE, BLACKNESS);
    ::SelectObject(dc, previous);
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = ::CreateIconIndirect(&info);
    ASSERT_NE(icon, nullptr);

    HICON grey = button.MakeGrayIcon(icon);
    ASSERT_NE(grey, nullptr);
    ICONINFO greyInfo{};
    ASSERT_TRUE(::GetIconInfo(grey, &greyInfo));
    previous = ::SelectObject(dc, greyInfo.hbmColor);
    EXPECT_EQ(::GetPixel(dc, 1, 1), RGB(0, 0, 0));
    EXPECT_EQ(::GetPixel(dc, SIZE - 1, SIZE - 1), ColorMath::GrayOf(ORANGE));
    EXPECT_EQ(ColorMath::GrayOf(ORANGE), RGB(124, 124, 124));
    ::SelectObject(dc, previous);
    ::DeleteObject(greyInfo.hbmColor);
    ::DeleteObject(greyInfo.hbmMask);
    ::DeleteDC(dc);
    ::DestroyIcon(grey);

    EXPECT_EQ(button.SetIcons(icon, BUTTON_GRAY_ICON), 0u);
    EXPECT_NE(button.m_icons[1].icon, nullptr);
    EXPECT_EQ(button.m_icons[1].width, static_cast<DWORD>(SIZE));
    ::DeleteObject(color);
    ::DeleteObject(mask);
}

// A 32-bit icon with alpha, as the panel's own: a square with a black
// outline and an orange inside on a fully transparent background.
constexpr int ALPHA_ICON_SIZE = 16;
constexpr int SQUARE_FIRST = 4;
constexpr int SQUARE_LAST = 11;

HICON MakeAlphaIcon(COLORREF inside) {
    BITMAPINFO layout = TopDownLayout32(ALPHA_ICON_SIZE, ALPHA_ICON_SIZE);
    void* bits = nullptr;
    HBITMAP color = ::CreateDIBSection(nullptr, &layout, DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* pixels = static_cast<RGBQUAD*>(bits);
    for (int y = 0; y < ALPHA_ICON_SIZE; ++y) {
        for (int x = 0; x < ALPHA_ICON_SIZE; ++x) {
            RGBQUAD& pixel = pixels[y * ALPHA_ICON_SIZE + x];
            pixel = RGBQUAD{};
            const bool inSquare = x >= SQUARE_FIRST && x <= SQUARE_LAST && y >= SQUARE_FIRST && y <= SQUARE_LAST;
            const bool onOutline = x == SQUARE_FIRST || x == SQUARE_LAST || y == SQUARE_FIRST || y == SQUARE_LAST;
            if (inSquare && !onOutline)
                pixel = RGBQUAD{GetBValue(inside), GetGValue(inside), GetRValue(inside), 0};
            if (inSquare) pixel.rgbReserved = 0xFF;
        }
    }
    // The AND mask agrees with the alpha: set (transparent) outside the square.
    constexpr int MASK_ROW_BYTES = ALPHA_ICON_SIZE / 8;
    BYTE maskBits[ALPHA_ICON_SIZE * MASK_ROW_BYTES] = {};
    for (int y = 0; y < ALPHA_ICON_SIZE; ++y) {
        for (int x = 0; x < ALPHA_ICON_SIZE; ++x) {
            if (pixels[y * ALPHA_ICON_SIZE + x].rgbReserved == 0)
                maskBits[y * MASK_ROW_BYTES + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
        }
    }
    HBITMAP mask = ::CreateBitmap(ALPHA_ICON_SIZE, ALPHA_ICON_SIZE, 1, 1, maskBits);
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = ::CreateIconIndirect(&info);
    ::DeleteObject(mask);
    ::DeleteObject(color);
    return icon;
}

TEST_F(IconButtonTest, GreyIconOfAnAlphaIconKeepsItsTransparencyEnabledAndDisabled) {
    constexpr COLORREF ORANGE = RGB(200, 100, 50);
    constexpr COLORREF GREY = RGB(124, 124, 124);
    constexpr int INSIDE = SQUARE_LAST - SQUARE_FIRST - 1;
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_FIRST, &host));
    button.SetStateColor(BUTTON_COLOR_NORMAL_BACK, NORMAL_BACK, TRUE);
    HICON icon = MakeAlphaIcon(ORANGE);
    ASSERT_NE(icon, nullptr);
    ASSERT_EQ(button.SetIcons(icon, BUTTON_GRAY_ICON), 0u);

    // Not hovered, the button shows the grey copy as it is.
    DibCanvas enabled(CLOSE_SIZE, CLOSE_SIZE, RGB(0, 0, 0));
    Render(button, enabled, 0);
    const Box grey = BoxOfColour(enabled, GREY);
    ASSERT_EQ(grey.count, INSIDE * INSIDE) << "the inside is grey and opaque";
    EXPECT_EQ(grey.maxX - grey.minX + 1, INSIDE);
    const POINT transparentCorner = {grey.minX - 3, grey.minY - 3};
    EXPECT_EQ(enabled.Pixel(transparentCorner.x, transparentCorner.y), NORMAL_BACK) << "the background shows through";
    EXPECT_EQ(enabled.Pixel(grey.minX - 1, grey.minY - 1), RGB(0, 0, 0)) << "the outline stays black";

    // Disabled, the grey copy is drawn etched: its whole square shows, and
    // only the square.
    DibCanvas disabled(CLOSE_SIZE, CLOSE_SIZE, RGB(0, 0, 0));
    Render(button, disabled, ODS_DISABLED);
    EXPECT_NE(disabled.Pixel((grey.minX + grey.maxX) / 2, (grey.minY + grey.maxY) / 2), NORMAL_BACK);
    EXPECT_EQ(disabled.Pixel(transparentCorner.x, transparentCorner.y), NORMAL_BACK);
}

TEST_F(IconButtonTest, TooltipHoldsOneToolWhoseTextFollowsTheLastCall) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_FIRST, &host));
    button.SetTooltip(nullptr);
    EXPECT_EQ(button.m_tipCtrl.m_hWnd, nullptr);
    button.SetTooltip(L"Close");
    button.SetTooltip(L"Minimize");
    ASSERT_NE(button.m_tipCtrl.m_hWnd, nullptr);
    EXPECT_EQ(button.m_tipCtrl.GetToolCount(), 1);
    wchar_t text[64] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = button.m_hWnd;
    tool.uId = 1;
    tool.lpszText = text;
    button.m_tipCtrl.SendMessage(TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(std::wstring(text), L"Minimize");
}

TEST_F(IconButtonTest, OwnCursorIsShownOverTheButton) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_FIRST, &host));
    button.m_hButtonCursor = static_cast<HCURSOR>(::CopyImage(::LoadCursorW(nullptr, IDC_HAND), IMAGE_CURSOR, 0, 0, 0));
    EXPECT_EQ(button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              TRUE);
    EXPECT_EQ(::GetCursor(), button.m_hButtonCursor);
}

TEST_F(IconButtonTest, BitmapIsMaskedAndGreyedWhenDisabled) {
    CIconButton button;
    MakeCloseButton(button);
    button.SetIcons(nullptr, nullptr);
    constexpr int SIZE = 8;
    constexpr COLORREF RED = RGB(255, 0, 0);
    DibCanvas picture(SIZE, SIZE, RED);
    HBITMAP bitmap = static_cast<HBITMAP>(::CopyImage(picture.Bitmap(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    HBITMAP mask = ::CreateBitmap(SIZE, SIZE, 1, 1, nullptr);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, mask);
    ::PatBlt(dc, 0, 0, SIZE, SIZE, BLACKNESS);
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    button.m_bitmapPair[0] = ButtonBitmap{bitmap, SIZE, SIZE, mask, 0};
    DibCanvas canvas(CLOSE_SIZE, CLOSE_SIZE, RGB(255, 0, 255));
    Render(button, canvas, 0);
    const int at = (CLOSE_SIZE - SIZE) / 2;
    EXPECT_EQ(canvas.Pixel(at, at), RED);
    EXPECT_EQ(canvas.Pixel(at + SIZE - 1, at + SIZE - 1), RED);
    EXPECT_EQ(canvas.Pixel(at - 1, at), PANEL_BLUE);
    Render(button, canvas, ODS_DISABLED);
    EXPECT_EQ(BoxOfColour(canvas, RED).count, 0) << "a disabled bitmap is drawn greyed";
}

TEST_F(IconButtonTest, TransparentLookReusesTheCapturedParentUntilColoursChange) {
    Show();
    CIconButton button;
    MakeCloseButton(button);
    button.SetIcons(nullptr, nullptr);
    button.m_bTransparent = TRUE;
    DibCanvas canvas(CLOSE_SIZE, CLOSE_SIZE, RGB(255, 0, 255));
    Render(button, canvas, 0);
    ASSERT_NE(button.m_backDC.m_hDC, nullptr);
    RECT client{};
    button.GetClientRect(&client);
    EXPECT_EQ(canvas.Pixel(1, 1), ::GetPixel(button.m_backDC.m_hDC, 1, 1));
    EXPECT_NE(canvas.Pixel(1, 1), PANEL_BLUE) << "the state colour is not painted";
    button.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(button.m_backDC.m_hDC, nullptr);
}

namespace {

// From inside the menu's own loop, picks its first item from the keyboard.
void PickFirstMenuItem(PopupOperator& picker) {
    picker.Start();
    picker.When([] { return ::FindWindowW(L"#32768", nullptr) != nullptr; },
                [] {
                    HWND popup = ::FindWindowW(L"#32768", nullptr);
                    ::PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
                    ::PostMessageW(popup, WM_KEYDOWN, VK_RETURN, 0);
                });
}

}  // namespace

TEST_F(IconButtonTest, DropDownMenuPostsTheChosenCommandToItsOwner) {
    Show();
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    ASSERT_TRUE(button.m_menu.LoadMenu(IDR_TEST_MENU));
    button.m_hMenuOwner = host.m_hWnd;
    PopupOperator picker;
    PickFirstMenuItem(picker);
    button.SendMessage(BM_CLICK);
    PumpFor(PUMP_MS);
    EXPECT_FALSE(button.m_bMenuShown);
    EXPECT_EQ(host.commands, std::vector<UINT>{ID_TEST_OPEN});
}

TEST_F(IconButtonTest, DropDownMenuWithoutOwnerPostsNothing) {
    Show();
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    ASSERT_TRUE(button.m_menu.LoadMenu(IDR_TEST_MENU));
    PopupOperator picker;
    PickFirstMenuItem(picker);
    button.SendMessage(BM_CLICK);
    MSG message;
    bool threadCommand = false;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        threadCommand = threadCommand || (message.hwnd == nullptr && message.message == WM_COMMAND);
        ::DispatchMessageW(&message);
    }
    EXPECT_FALSE(threadCommand);
    EXPECT_TRUE(host.commands.empty());
}

TEST_F(IconButtonTest, MenuKeyboardAndMeasuringReachTheButtonsMenu) {
    CIconButton button;
    ASSERT_TRUE(button.SubclassDlgItem(IDC_ICON_CAPTION, &host));
    ASSERT_TRUE(button.m_menu.LoadMenu(IDR_TEST_MENU));
    HMENU file = ::GetSubMenu(button.m_menu.m_hMenu, 0);
    const LRESULT answer = button.SendMessage(WM_MENUCHAR, MAKEWPARAM(L'S', MF_POPUP), reinterpret_cast<LPARAM>(file));
    EXPECT_EQ(answer, MAKELRESULT(1, MNC_EXECUTE));
    const LRESULT rootAnswer =
        button.SendMessage(WM_MENUCHAR, MAKEWPARAM(L'S', MF_POPUP), reinterpret_cast<LPARAM>(button.m_menu.m_hMenu));
    EXPECT_NE(HIWORD(rootAnswer), MNC_EXECUTE) << "the root is drawn by the system and left to the default handling";

    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    ASSERT_TRUE(::GetMenuItemInfoW(file, 0, TRUE, &info));
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_MENU;
    measure.itemID = ID_TEST_OPEN;
    measure.itemData = info.dwItemData;
    button.SendMessage(WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure));
    EXPECT_GE(measure.itemHeight, static_cast<UINT>(::GetSystemMetrics(SM_CYMENU)));
    EXPECT_GT(measure.itemWidth, 33u);
}
