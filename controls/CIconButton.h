// An owner-drawn push button: a two-state icon or bitmap, state colours, a
// flat look whose border shows only while hovered or pressed, a tooltip, and
// optionally check-box behaviour, a drop-down menu, a link and a cursor.
#pragma once

#include "controls/LumenMenu.h"
#include "core/ImageRectLayout.h"
#include "framework/CButton.h"
#include "framework/CDC.h"
#include "framework/CToolTipCtrl.h"

#include <string>

constexpr BYTE BUTTON_COLOR_HOVER_BACK = 0;
constexpr BYTE BUTTON_COLOR_HOVER_TEXT = 1;
constexpr BYTE BUTTON_COLOR_NORMAL_BACK = 2;
constexpr BYTE BUTTON_COLOR_NORMAL_TEXT = 3;
constexpr BYTE BUTTON_COLOR_FOCUS_BACK = 4;
constexpr BYTE BUTTON_COLOR_FOCUS_TEXT = 5;
constexpr int BUTTON_COLOR_COUNT = 6;

// Passed as the second icon of SetIcons: a grey copy of the first.
inline const HICON BUTTON_GRAY_ICON = reinterpret_cast<HICON>(static_cast<INT_PTR>(-2));

struct ButtonIcon {
    HICON icon;
    DWORD width;
    DWORD height;
};

struct ButtonBitmap {
    HBITMAP bitmap;
    DWORD width;
    DWORD height;
    HBITMAP mask;
    DWORD reserved;
};

class CIconButton : public CButton {
public:
    CIconButton();
    ~CIconButton() override;

    // `in` shows while hovered or pressed, `out` otherwise (NULL: `in` always).
    // The button takes ownership of both. 0 on success, 1 when an icon
    // cannot be read.
    DWORD SetIcons(HICON in, HICON out);
    void SetTooltip(LPCWSTR text);
    void SetStateColor(BYTE index, COLORREF color, BOOL repaint);
    void SetFlatStyle(BOOL flat, BOOL repaint);
    void SetHoverBorder(BOOL on, BOOL repaint);
    void FreeImages(BOOL destroy);
    void EnsureTooltip();
    HICON MakeGrayIcon(HICON icon);

    BOOL PreTranslateMessage(MSG* msg) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    virtual DWORD PaintBackground(CDC* dc, RECT* rect);
    virtual DWORD PaintBorder(CDC* dc, RECT* rect);

    BOOL m_bGrayBitmapDisabled = TRUE;
    BOOL m_bFlat = TRUE;
    BOOL m_bHover = FALSE;
    BOOL m_bTransparent = FALSE;
    BOOL m_bPressed = FALSE;
    BOOL m_bFocused = FALSE;
    BOOL m_bDisabled = FALSE;
    BOOL m_bDefault = FALSE;
    BOOL m_bCheckBox = FALSE;
    BYTE m_nImageAlign = IMAGE_ALIGN_LEFT;
    BOOL m_bHoverBorder = TRUE;
    BOOL m_bFlatFocusRect = FALSE;
    COLORREF m_colors[BUTTON_COLOR_COUNT] = {};
    HWND m_hMenuOwner = nullptr;
    BOOL m_bMenuShown = FALSE;
    LumenMenu m_menu;
    HCURSOR m_hButtonCursor = nullptr;
    CToolTipCtrl m_tipCtrl;
    CDC m_backDC;
    CBitmap m_backBitmap;
    CBitmap* m_pOldBackBitmap = nullptr;
    BOOL m_bTrackInactive = TRUE;
    BOOL m_bChecked = FALSE;
    DWORD m_nButtonType;
    wchar_t m_szLink[MAX_PATH] = {};
    ButtonIcon m_icons[2] = {};
    ButtonBitmap m_bitmapPair[2] = {};

protected:
    void PreSubclassWindow() override;

    LRESULT OnSetCursor(HWND window, UINT hitTest, UINT message);
    void OnKillFocus(HWND newFocus);
    void OnMouseMove(UINT flags, POINT point);
    void OnSysColorChange();
    BOOL OnClicked();
    void OnActivate(UINT state, HWND other, bool minimized);
    void OnEnable(bool enable);
    void OnCancelMode();
    UINT OnGetDlgCode();
    HBRUSH CtlColor(HDC dc, UINT colourMessage);
    LRESULT OnMenuChar(UINT character, UINT flags, HMENU menu);
    void OnMeasureItem(int id, LPMEASUREITEMSTRUCT measureItem);
    void OnDrawItem(int id, LPDRAWITEMSTRUCT drawItem);
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetCheck(WPARAM state, LPARAM lParam);
    LRESULT OnGetCheck(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()

private:
    void CancelHover();
    void Repaint(BOOL repaint);
    bool StoreIcon(int index, HICON icon);
    void ShowDropDownMenu();
    void OpenLink();
    void UpdatePaintState(const DRAWITEMSTRUCT* drawItem);
    void DrawRaisedEdge(CDC* dc, const RECT& frame);
    void DrawCaption(CDC* dc, const std::wstring& caption, RECT captionRect);
    RECT ComputeImageRect(int width, int height, bool hasCaption, const RECT* item, RECT* caption, BOOL pressed);
    int ImageIndex(bool hasSecond, BOOL pressed) const;
    void DrawButtonIcon(CDC* dc, bool hasCaption, const RECT* item, RECT* caption, BOOL pressed, BOOL disabled);
    void DrawButtonBitmap(CDC* dc, bool hasCaption, const RECT* item, RECT* caption, BOOL pressed, BOOL disabled);
    void PaintParentBackground(CDC* dc);
};
