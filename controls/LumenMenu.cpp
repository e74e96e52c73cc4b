#include "controls/LumenMenu.h"

#include "core/MenuTemplateParser.h"
#include "core/WindowsVersion.h"
#include "framework/CWinApp.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr UINT KEPT_SEPARATOR_FLAGS = MF_BYPOSITION;
constexpr UINT ROOT_POPUP_FLAGS = MF_BYPOSITION | MF_POPUP;
constexpr UINT ROOT_COMMAND_FLAGS = MF_BYPOSITION;
constexpr UINT RESOURCE_ID_MASK = 0xFFFF;

struct TemplateResource {
    const void* data = nullptr;
    DWORD size = 0;
};

TemplateResource FindTemplate(HMODULE module, LPCWSTR name) {
    HRSRC found = ::FindResourceW(module, name, RT_MENU);
    if (found == nullptr) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    if (loaded == nullptr) return {};
    return {::LockResource(loaded), ::SizeofResource(module, found)};
}

}  // namespace

LumenMenu::LumenMenu() = default;

LumenMenu::~LumenMenu() { DestroyMenu(); }

BOOL LumenMenu::AppendItem(const wchar_t* text, UINT flags, UINT_PTR id) {
    if (id == 0) {
        flags = (flags & KEPT_SEPARATOR_FLAGS) | MF_SEPARATOR | MF_OWNERDRAW;
    } else {
        flags |= MF_OWNERDRAW;
    }
    if ((flags & MF_POPUP) != 0) {
        s_menuHandles.push_back(reinterpret_cast<HMENU>(id));
        m_popupHandles.push_back(reinterpret_cast<HMENU>(id));
    }
    auto* record = new LumenMenuData;
    m_items.push_back(record);
    record->SetText(text);
    const auto shared = std::find(s_sharedImageIds.begin(), s_sharedImageIds.end(), static_cast<int>(id));
    record->m_nSharedImage =
        shared == s_sharedImageIds.end() ? -1 : static_cast<int>(shared - s_sharedImageIds.begin());
    record->m_nMenuFlags = flags;
    record->m_nCommand = id;
    const BOOL appended = AppendMenu(flags, id, record);
    if (m_bLoaded) RefreshPopupTexts();
    return appended;
}

LumenMenuData* LumenMenu::ModifyItemAt(UINT position, UINT flags, UINT_PTR id, const std::wstring& text) {
    auto* record = new LumenMenuData;
    record->SetText(text.c_str());
    record->m_nMenuFlags = flags;
    record->m_nCommand = id;
    ModifyMenu(position, flags, id, (flags & MF_OWNERDRAW) != 0 ? record : nullptr);
    return record;
}

void LumenMenu::RemoveMenuHandle(HMENU menu) {
    for (size_t i = s_menuHandles.size(); i-- > 0;) {
        if (s_menuHandles[i] == menu) s_menuHandles.erase(s_menuHandles.begin() + static_cast<ptrdiff_t>(i));
    }
}

BOOL LumenMenu::DestroyMenu() {
    RemoveMenuHandle(m_hMenu);
    for (size_t i = m_popupHandles.size(); i-- > 0;) {
        RemoveMenuHandle(m_popupHandles[i]);
        delete dynamic_cast<LumenMenu*>(CMenu::FromHandle(m_popupHandles[i]));
    }
    m_popupHandles.clear();
    for (LumenMenuData* record : m_items) delete record;
    m_items.clear();
    if (m_pCheckImages != nullptr && !m_bCheckImagesShared) {
        delete m_pCheckImages;
        m_pCheckImages = nullptr;
    }
    return CMenu::DestroyMenu();
}

BOOL LumenMenu::LoadMenu(UINT id) { return LoadMenu(MAKEINTRESOURCEW(id & RESOURCE_ID_MASK)); }

BOOL LumenMenu::LoadMenu(LPCWSTR name) {
    TemplateResource resource = FindTemplate(AfxGetInstanceHandle(), name);
    if (resource.data == nullptr) resource = FindTemplate(::GetModuleHandleW(nullptr), name);
    if (resource.data == nullptr) return FALSE;
    return ApplyTemplate(resource.data, resource.size);
}

BOOL LumenMenu::ApplyTemplate(const void* data, size_t size) {
    // A truncated template is refused before the present content is touched.
    const auto steps = MenuTemplate::Parse(static_cast<const std::uint8_t*>(data), size);
    if (!steps) return FALSE;
    DestroyMenu();
    if (!CreateMenu()) return FALSE;
    std::vector<LumenMenu*> levels{this};
    for (const MenuTemplate::Step& step : *steps) {
        const std::wstring text(step.text.begin(), step.text.end());
        switch (step.kind) {
        case MenuTemplate::StepKind::Popup: {
            auto popup = std::make_unique<LumenMenu>();
            popup->m_pCheckImages = m_pCheckImages;
            popup->m_nCheckedImage = m_nCheckedImage;
            popup->m_nUncheckedImage = m_nUncheckedImage;
            popup->m_bCheckImagesShared = TRUE;
            if (!popup->CreatePopupMenu()) return FALSE;
            // From here the parent's popup handles own the new menu.
            levels.back()->AppendItem(text.c_str(), step.flags, reinterpret_cast<UINT_PTR>(popup->m_hMenu));
            levels.push_back(popup.release());
            break;
        }
        case MenuTemplate::StepKind::Item:
            levels.back()->AppendItem(text.c_str(), step.flags, step.id);
            break;
        case MenuTemplate::StepKind::CloseLevel:
            levels.back()->AlignAcceleratorColumn();
            levels.pop_back();
            break;
        }
    }
    TurnRootItemsIntoText();
    m_bLoaded = TRUE;
    return TRUE;
}

void LumenMenu::TurnRootItemsIntoText() {
    for (int position = 0; position < GetMenuItemCount(); ++position) {
        LumenMenuData* record = m_items.at(static_cast<size_t>(position));
        const std::wstring text = record->GetText();
        HMENU subMenu = ::GetSubMenu(m_hMenu, position);
        if (subMenu != nullptr) {
            record->m_nMenuFlags = ROOT_POPUP_FLAGS;
            ModifyMenu(static_cast<UINT>(position), ROOT_POPUP_FLAGS, reinterpret_cast<UINT_PTR>(subMenu),
                       text.c_str());
        } else {
            record->m_nMenuFlags = ROOT_COMMAND_FLAGS;
            ModifyMenu(static_cast<UINT>(position), ROOT_COMMAND_FLAGS, record->m_nCommand, text.c_str());
        }
    }
}

int LumenMenu::ClassifyWindowsVersion() {
    const DWORD packed = ::GetVersion();
    std::unique_ptr<OSVERSIONINFOW> record(new (std::nothrow) OSVERSIONINFOW{});
    std::optional<WindowsVersion::VersionNumbers> numbers;
    if (record) {
        record->dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
        ::GetVersionExW(record.get());
        numbers = WindowsVersion::VersionNumbers{record->dwMajorVersion, record->dwMinorVersion};
    }
    return WindowsVersion::Classify(packed, numbers);
}
