#include "framework/CToolTipCtrl.h"

namespace {

// The version-5 record, which every common-controls version accepts.
TTTOOLINFOW ToolFor(CWnd* window, UINT_PTR id, LPCWSTR text) {
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = window->m_hWnd;
    tool.uId = id;
    tool.lpszText = const_cast<LPWSTR>(text);
    return tool;
}

}  // namespace

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    HWND tip = ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, parent != nullptr ? parent->m_hWnd : nullptr, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr);
    if (tip == nullptr) return FALSE;
    if (!SubclassWindow(tip)) {
        ::DestroyWindow(tip);
        return FALSE;
    }
    return TRUE;
}

void CToolTipCtrl::Activate(BOOL active) { SendMessage(TTM_ACTIVATE, active); }

BOOL CToolTipCtrl::AddTool(CWnd* window, LPCWSTR text, const RECT* area, UINT_PTR id) {
    TTTOOLINFOW tool = ToolFor(window, id, text);
    if (area != nullptr) tool.rect = *area;
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)));
}

void CToolTipCtrl::UpdateTipText(LPCWSTR text, CWnd* window, UINT_PTR id) {
    TTTOOLINFOW tool = ToolFor(window, id, text);
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CToolTipCtrl::RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }

int CToolTipCtrl::SetMaxTipWidth(int width) {
    return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width));
}

int CToolTipCtrl::GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
