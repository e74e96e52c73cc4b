#include "framework/CCmdTarget.h"

namespace {

const MessageMapEntry kNoEntries[] = {{0, 0, 0, 0, nullptr}};
const MessageMap kRootMap = {nullptr, kNoEntries};

bool CarriesCommandCode(UINT message) {
    return message == WM_COMMAND || message == WM_REFLECT_BASE + WM_COMMAND;
}

bool Matches(const MessageMapEntry& entry, UINT message, UINT code, UINT id) {
    if (entry.message != message) return false;
    if (!CarriesCommandCode(message)) return true;
    if (entry.code != code) return false;
    bool anyId = entry.idFirst == 0 && entry.idLast == 0;
    return anyId || (id >= entry.idFirst && id <= entry.idLast);
}

}  // namespace

const MessageMap* CCmdTarget::GetThisMessageMap() { return &kRootMap; }

const MessageMap* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const MessageMapEntry* CCmdTarget::FindEntry(UINT message, UINT code, UINT id) const {
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base ? map->base() : nullptr) {
        for (const MessageMapEntry* entry = map->entries; entry->thunk != nullptr; ++entry) {
            if (Matches(*entry, message, code, id)) return entry;
        }
    }
    return nullptr;
}

bool CCmdTarget::DispatchMessageEntry(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    UINT code = CarriesCommandCode(message) ? HIWORD(wParam) : 0;
    UINT id = CarriesCommandCode(message) ? LOWORD(wParam) : 0;
    const MessageMapEntry* entry = FindEntry(message, code, id);
    return entry != nullptr && entry->thunk(this, wParam, lParam, result);
}

bool CCmdTarget::OnCmdMsg(UINT code, UINT id) {
    LRESULT ignored = 0;
    return DispatchMessageEntry(WM_COMMAND, MAKEWPARAM(id, code), 0, ignored);
}
