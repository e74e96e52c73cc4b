// A menu whose items are owner-drawn from LumenMenuData records, in a classic
// or a flat look. It builds itself from menu template resources and keeps the
// handles of the sub-menus it makes in a process-wide list that the owning
// button consults for menu measuring and keyboard access.
#pragma once

#include "controls/LumenMenuData.h"
#include "framework/CBitmap.h"
#include "framework/CImageList.h"
#include "framework/CMenu.h"

#include <string>
#include <vector>

class CDC;

class LumenMenu : public CMenu {
public:
    LumenMenu();
    ~LumenMenu() override;

    void DrawItem(LPDRAWITEMSTRUCT drawItem) override;
    void MeasureItem(LPMEASUREITEMSTRUCT measureItem) override;
    virtual BOOL LoadMenu(UINT id);
    virtual BOOL LoadMenu(LPCWSTR name);
    // Empties the menu: sub-menus made by LoadMenu, records, owned check
    // images and the system menu. Takes the place of CMenu::DestroyMenu.
    virtual BOOL DestroyMenu();

    BOOL AppendItem(const wchar_t* text, UINT flags, UINT_PTR id);
    // Replaces the item at a position (MF_BYPOSITION in `flags`); the caller
    // files the returned record.
    LumenMenuData* ModifyItemAt(UINT position, UINT flags, UINT_PTR id, const std::wstring& text);

    int GetItemOffset();
    void RefreshPopupTexts();
    void AlignAcceleratorColumn();
    LumenMenuData* ClaimItemById(UINT_PTR id);
    void DeleteUnclaimedItems();
    void SyncWithMenu();
    static LRESULT HandleMenuChar(UINT character, UINT flags, CMenu* menu);

    void DrawItemClassic(LPDRAWITEMSTRUCT drawItem);
    void DrawItemFlat(LPDRAWITEMSTRUCT drawItem);
    BOOL BitmapFromImageList(int index, CBitmap& bitmap, CDC* dc, CImageList* list);

    static int ClassifyWindowsVersion();
    static COLORREF TintColor(double factor, COLORREF color);
    static void DrawCheckMark(CDC* dc, int x, int y, COLORREF color);
    static void DrawRadioMark(CDC* dc, int x, int y, COLORREF color);
    static BOOL DrawCheckBoxClassic(CDC* dc, RECT cell, BOOL selected, HBITMAP dotSelector);
    static BOOL DrawCheckBoxFlat(CDC* dc, RECT cell, COLORREF frame, HBITMAP dotSelector);
    static void DrawDisabledBitmapMono(HDC target, int x, int y, int width, int height, HBITMAP image,
                                       COLORREF background);
    static void DrawDisabledBitmap(CDC* target, int x, int y, int width, int height, CBitmap* image,
                                   COLORREF background);
    static BOOL IsClassicTheme();
    static BOOL HasImageTriple(int index);

    std::vector<LumenMenuData*> m_items;
    std::vector<HMENU> m_popupHandles;
    int m_nIconWidth = 16;
    int m_nIconHeight = 15;
    BOOL m_bMonoDisabled = FALSE;
    CImageList* m_pCheckImages = nullptr;
    BOOL m_bCheckImagesShared = FALSE;
    int m_nCheckedImage = -1;
    int m_nUncheckedImage = -1;
    BOOL m_bLoaded = FALSE;

    static CImageList s_sharedImages;
    static std::vector<int> s_sharedImageIds;
    static int s_nOsClass;
    static std::vector<HMENU> s_menuHandles;
    static int s_nDrawMode;
    static int s_bGrayedSelectable;

private:
    static bool IsFlatLookWanted();
    static bool IsThemedXp();
    static void RemoveMenuHandle(HMENU menu);
    // The item's check-mark bitmap, whose presence asks for a dot instead of a tick.
    static HBITMAP CheckedMarkOf(LPDRAWITEMSTRUCT drawItem);
    BOOL ApplyTemplate(const void* data, size_t size);
    void TurnRootItemsIntoText();
    void DrawItemImage(CDC* dc, CImageList* images, int index, POINT point);
    void DrawDisabledImage(CDC* dc, CImageList* images, int index, POINT point, COLORREF background);
};
