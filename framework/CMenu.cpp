#include "framework/CMenu.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace {

// Menus belong to the UI thread, so the maps are only touched there. They
// outlive every process-wide menu object, which may still detach at exit.
std::unordered_map<HMENU, CMenu*>& Permanents() {
    static auto* map = new std::unordered_map<HMENU, CMenu*>;
    return *map;
}

// A temporary object lets go of its handle before it goes: the menu is not its to destroy.
struct DetachingDelete {
    void operator()(CMenu* menu) const {
        menu->m_hMenu = nullptr;
        delete menu;
    }
};
using TemporaryMenu = std::unique_ptr<CMenu, DetachingDelete>;

std::unordered_map<HMENU, TemporaryMenu>& Temporaries() {
    static auto* map = new std::unordered_map<HMENU, TemporaryMenu>;
    return *map;
}

void DropTemporary(HMENU menu) {
    auto found = Temporaries().find(menu);
    if (found == Temporaries().end()) return;
    Temporaries().erase(found);
}

}  // namespace

CMenu::~CMenu() { DestroyMenu(); }

CMenu* CMenu::FromHandlePermanent(HMENU menu) {
    auto found = Permanents().find(menu);
    return found == Permanents().end() ? nullptr : found->second;
}

CMenu* CMenu::FromHandle(HMENU menu) {
    if (menu == nullptr) return nullptr;
    if (CMenu* permanent = FromHandlePermanent(menu)) return permanent;
    auto& temporary = Temporaries()[menu];
    if (!temporary) {
        temporary.reset(new CMenu);
        temporary->m_hMenu = menu;
    }
    return temporary.get();
}

void CMenu::DeleteTempMap() { Temporaries().clear(); }

BOOL CMenu::Attach(HMENU menu) {
    if (menu == nullptr || m_hMenu != nullptr || FromHandlePermanent(menu) != nullptr) return FALSE;
    DropTemporary(menu);
    m_hMenu = menu;
    Permanents()[menu] = this;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    if (menu != nullptr && FromHandlePermanent(menu) == this) Permanents().erase(menu);
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::CreateMenu() { return Attach(::CreateMenu()); }

BOOL CMenu::CreatePopupMenu() { return Attach(::CreatePopupMenu()); }

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr) return FALSE;
    return ::DestroyMenu(Detach());
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT) {}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT) {}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const void* item) {
    return ::AppendMenuW(m_hMenu, flags, id, static_cast<LPCWSTR>(item));
}

BOOL CMenu::ModifyMenu(UINT position, UINT flags, UINT_PTR id, const void* item) {
    return ::ModifyMenuW(m_hMenu, position, flags, id, static_cast<LPCWSTR>(item));
}

int CMenu::GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }

UINT CMenu::GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }

UINT CMenu::GetMenuState(UINT id, UINT flags) const { return ::GetMenuState(m_hMenu, id, flags); }

std::wstring CMenu::GetMenuString(UINT id, UINT flags) const {
    const int length = ::GetMenuStringW(m_hMenu, id, nullptr, 0, flags);
    if (length <= 0) return {};
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    ::GetMenuStringW(m_hMenu, id, text.data(), length + 1, flags);
    text.back() = L'\0';
    return text.data();
}

CMenu* CMenu::GetSubMenu(int position) const { return FromHandle(::GetSubMenu(m_hMenu, position)); }

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* excluded) const {
    return ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, excluded);
}
