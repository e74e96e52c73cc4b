// Keeping a menu's records in step with its live menu, the accelerator
// column and keyboard access by mnemonic.
#include "controls/LumenMenu.h"

#include "controls/LumenMenuMeasuring.h"
#include "core/MenuItemText.h"

namespace {

constexpr UINT TEXT_POPUP_FLAGS = MF_BYPOSITION | MF_POPUP;
constexpr UINT OWNERDRAWN_FLAGS = MF_BYPOSITION | MF_OWNERDRAW;
constexpr UINT OWNERDRAWN_POPUP_FLAGS = MF_BYPOSITION | MF_OWNERDRAW | MF_POPUP;
constexpr UINT OWNERDRAWN_SEPARATOR_FLAGS = MF_BYPOSITION | MF_SEPARATOR | MF_OWNERDRAW;
// A popup's state carries its item count above the low byte.
constexpr UINT POPUP_STATE_MASK = 0xEF;
constexpr WORD MNC_EXECUTE_CODE = 2;

std::u16string ToU16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

std::wstring ToWide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

int LumenMenu::GetItemOffset() {
    if (!m_bLoaded) return 0;
    const size_t recordCount = m_items.size();
    for (int position = 0; position < GetMenuItemCount(); ++position) {
        const std::wstring text = GetMenuString(static_cast<UINT>(position), MF_BYPOSITION);
        if (text.empty()) continue;
        for (size_t record = 0; record < recordCount; ++record) {
            if (m_items[record]->GetText() == text) {
                return position >= static_cast<int>(record) ? position - static_cast<int>(record) : 0;
            }
        }
    }
    return 0;
}

void LumenMenu::RefreshPopupTexts() {
    const size_t recordCount = m_items.size();
    size_t index = 0;
    for (int position = GetItemOffset(); position < GetMenuItemCount(); ++position, ++index) {
        if (index >= recordCount) continue;
        HMENU subMenu = ::GetSubMenu(m_hMenu, position);
        if (subMenu == nullptr) continue;
        const std::wstring text = m_items[index]->GetText();
        m_items[index]->m_nMenuFlags = TEXT_POPUP_FLAGS;
        ModifyMenu(static_cast<UINT>(position), TEXT_POPUP_FLAGS, reinterpret_cast<UINT_PTR>(subMenu), text.c_str());
    }
}

void LumenMenu::AlignAcceleratorColumn() {
    LumenMenuMeasuring measuring;
    const int count = GetMenuItemCount();
    std::vector<std::u16string> texts;
    for (int position = 0; position < count; ++position) {
        texts.push_back(ToU16(m_items.at(static_cast<size_t>(position))->GetText()));
    }
    MenuItemText::AlignAcceleratorColumn(
        texts, [&measuring](const std::u16string& text) { return measuring.TextWidth(ToWide(text)); });
    for (size_t index = 0; index < texts.size(); ++index) {
        if (texts[index].find(u'\t') != std::u16string::npos) m_items[index]->SetText(ToWide(texts[index]).c_str());
    }
}

LumenMenuData* LumenMenu::ClaimItemById(UINT_PTR id) {
    const size_t recordCount = m_items.size();
    for (size_t index = 0; index < recordCount; ++index) {
        LumenMenuData* record = m_items[index];
        if (record->m_nCommand == id && !record->m_bClaimed) {
            record->m_bClaimed = TRUE;
            return record;
        }
    }
    return nullptr;
}

void LumenMenu::DeleteUnclaimedItems() {
    for (LumenMenuData*& record : m_items) {
        if (!record->m_bClaimed) {
            delete record;
            record = nullptr;
        }
    }
}

void LumenMenu::SyncWithMenu() {
    std::vector<LumenMenuData*> synced;
    for (LumenMenuData* record : m_items) record->m_bClaimed = FALSE;
    for (int position = 0; position < GetMenuItemCount(); ++position) {
        const UINT at = static_cast<UINT>(position);
        const UINT state = GetMenuState(at, MF_BYPOSITION);
        const std::wstring text = GetMenuString(at, MF_BYPOSITION);
        LumenMenuData* record = nullptr;
        if ((state & MF_POPUP) != 0) {
            HMENU subMenu = ::GetSubMenu(m_hMenu, position);
            const auto id = reinterpret_cast<UINT_PTR>(subMenu);
            record = ClaimItemById(id);
            if (record != nullptr && !text.empty()) record->SetText(text.c_str());
            if (record == nullptr) {
                record = ModifyItemAt(at, (state & POPUP_STATE_MASK) | OWNERDRAWN_POPUP_FLAGS, id, text);
            }
        } else if ((state & MF_SEPARATOR) != 0) {
            record = ClaimItemById(0);
            if (record != nullptr) {
                // By position always: a separator's command id is 0, which
                // could name some other item.
                record->m_nMenuFlags |= MF_BYPOSITION;
                ModifyMenu(at, record->m_nMenuFlags, 0, record);
            } else {
                record = ModifyItemAt(at, state | OWNERDRAWN_SEPARATOR_FLAGS, 0, L"");
            }
        } else {
            const UINT id = GetMenuItemID(position);
            record = ClaimItemById(id);
            if (record != nullptr) {
                record->m_nMenuFlags = state | OWNERDRAWN_FLAGS;
                if (!text.empty()) record->SetText(text.c_str());
                ModifyMenu(at, record->m_nMenuFlags, id, record);
            } else {
                record = ModifyItemAt(at, state | OWNERDRAWN_FLAGS, id, text);
            }
        }
        synced.push_back(record);
    }
    DeleteUnclaimedItems();
    m_items = std::move(synced);
}

LRESULT LumenMenu::HandleMenuChar(UINT character, UINT flags, CMenu* menu) {
    auto* lumen = dynamic_cast<LumenMenu*>(menu);
    if (lumen == nullptr || (flags & MF_POPUP) == 0) return 0;
    const int count = lumen->GetMenuItemCount();
    if (count != static_cast<int>(lumen->m_items.size())) lumen->SyncWithMenu();
    if (count < 1) return 0;
    std::vector<std::u16string> texts;
    for (int index = 0; index < count && index < static_cast<int>(lumen->m_items.size()); ++index) {
        texts.push_back(ToU16(lumen->m_items[static_cast<size_t>(index)]->GetText()));
    }
    const int found = MenuItemText::FindMnemonic(texts, static_cast<char16_t>(character & 0xFFFF));
    if (found < 0) return 0;
    return MAKELRESULT(found, MNC_EXECUTE_CODE);
}
