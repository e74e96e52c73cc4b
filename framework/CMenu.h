// A menu object. A menu attached to an object is permanent: FromHandle finds
// that object. A handle that no object owns gets a temporary CMenu, which
// never destroys the menu and lives until DeleteTempMap; the outermost modal
// loop calls that whenever it is idle, so a temporary is good until the
// handler that asked for it returns.
#pragma once

#include <windows.h>

#include <string>

class CMenu {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    virtual ~CMenu();

    HMENU m_hMenu = nullptr;

    static CMenu* FromHandle(HMENU menu);
    static CMenu* FromHandlePermanent(HMENU menu);
    static void DeleteTempMap();

    BOOL Attach(HMENU menu);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // Destroys the system menu and lets go of the handle.
    BOOL DestroyMenu();

    // Owner-drawn items of this menu; the base draws and measures nothing.
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
    virtual void MeasureItem(LPMEASUREITEMSTRUCT measureItem);

    BOOL AppendMenu(UINT flags, UINT_PTR id, const void* item);
    BOOL ModifyMenu(UINT position, UINT flags, UINT_PTR id, const void* item);
    // -1 when the count cannot be read.
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int position) const;
    UINT GetMenuState(UINT id, UINT flags) const;
    // The item's text; empty when it has none or the call fails.
    std::wstring GetMenuString(UINT id, UINT flags) const;
    CMenu* GetSubMenu(int position) const;
    // The chosen command with TPM_RETURNCMD, else success.
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* excluded = nullptr) const;
};
