// How a message reaches its handler: StaticWindowProc (the procedure of
// every subclassed window) -> the object from the handle map -> the virtual
// WindowProc -> OnWndMsg. There, WM_COMMAND, WM_DRAWITEM and WM_MEASUREITEM
// from a control are first reflected to the control's own object
// (OnChildNotify, entries at WM_REFLECT_BASE + message), and a colour message
// goes to the parent's ON_WM_CTLCOLOR handler, else to the control's
// reflected one. Otherwise the class's message map and then its bases' maps
// are searched (CCmdTarget::DispatchMessageEntry); a matching entry's thunk
// cracks wParam and lParam and calls the handler. What nothing takes goes to
// DefWindowProc: the window's procedure from before the subclassing.
#include "framework/CWnd.h"

#include "framework/CWinApp.h"

#include <unordered_map>
#include <vector>

namespace {

// Windows belong to the UI thread, so the map is only touched there. It is
// never destroyed: process-wide window objects still look into it when they
// are destroyed at exit.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static auto* map = new std::unordered_map<HWND, CWnd*>;
    return *map;
}

bool IsColourMessage(UINT message) { return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC; }

}  // namespace

CWnd::~CWnd() {
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto found = HandleMap().find(hWnd);
    return found == HandleMap().end() ? nullptr : found->second;
}

bool CWnd::Attach(HWND hWnd) {
    if (hWnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hWnd) != nullptr) return false;
    m_hWnd = hWnd;
    HandleMap()[hWnd] = this;
    return true;
}

void CWnd::Detach() {
    HandleMap().erase(m_hWnd);
    m_hWnd = nullptr;
}

bool CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd)) return false;
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    HWND item = ::GetDlgItem(parent->m_hWnd, static_cast<int>(id));
    return item != nullptr && SubclassWindow(item);
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (m_pfnSuper != nullptr) ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    Detach();
    return hWnd;
}

void CWnd::PreSubclassWindow() {}

void CWnd::PostNcDestroy() {}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandlePermanent(hWnd);
    if (wnd == nullptr) return ::DefWindowProcW(hWnd, message, wParam, lParam);

    MSG outer = wnd->m_currentMessage;
    wnd->m_currentMessage = MSG{hWnd, message, wParam, lParam, 0, {}};
    LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->m_currentMessage = outer;

    if (message == WM_NCDESTROY) {
        wnd->UnsubclassWindow();
        wnd->PostNcDestroy();
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (OnWndMsg(message, wParam, lParam, &result)) return result;
    return DefWindowProc(message, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_currentMessage.message, m_currentMessage.wParam, m_currentMessage.lParam);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_COMMAND) return HandleCommand(wParam, lParam, result);
    if (message == WM_DRAWITEM || message == WM_MEASUREITEM) {
        if (HandleOwnerDraw(message, wParam, lParam, result)) return true;
    }
    if (IsColourMessage(message)) {
        if (!DispatchMessageEntry(message, wParam, lParam, *result)) {
            *result = reinterpret_cast<LRESULT>(OnCtlColor(reinterpret_cast<HDC>(wParam),
                                                           reinterpret_cast<HWND>(lParam), message));
        }
        return true;
    }
    return DispatchMessageEntry(message, wParam, lParam, *result);
}

bool CWnd::HandleCommand(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control != nullptr && ReflectToChild(control, WM_COMMAND, wParam, lParam, result)) return true;
    if (DispatchMessageEntry(WM_COMMAND, wParam, lParam, *result)) return true;
    // Commands the main window leaves alone go on to the application.
    CWinApp* app = AfxGetApp();
    if (app != nullptr && AfxGetMainWnd() == this && app->OnCmdMsg(HIWORD(wParam), LOWORD(wParam))) {
        *result = 0;
        return true;
    }
    return false;
}

bool CWnd::HandleOwnerDraw(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        auto* draw = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
        if (draw->CtlType == ODT_MENU) return false;
        return ReflectToChild(draw->hwndItem, message, wParam, lParam, result);
    }
    auto* measure = reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam);
    if (measure->CtlType == ODT_MENU) return false;
    return ReflectToChild(::GetDlgItem(m_hWnd, static_cast<int>(measure->CtlID)), message, wParam, lParam, result);
}

bool CWnd::ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    CWnd* control = FromHandlePermanent(child);
    return control != nullptr && control != this && control->OnChildNotify(message, wParam, lParam, result);
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    return DispatchMessageEntry(WM_REFLECT_BASE + message, wParam, lParam, *result);
}

HBRUSH CWnd::OnCtlColor(HDC dc, HWND control, UINT colourMessage) {
    LRESULT result = 0;
    if (ReflectToChild(control, colourMessage, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control),
                       &result))
        return reinterpret_cast<HBRUSH>(result);
    return reinterpret_cast<HBRUSH>(DefWindowProc(colourMessage, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(control)));
}

BOOL CWnd::PreTranslateMessage(MSG*) { return FALSE; }

bool CWnd::WalkPreTranslateTree(HWND last, MSG* msg) {
    for (HWND hWnd = msg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* wnd = FromHandlePermanent(hWnd);
        if (wnd != nullptr && wnd->PreTranslateMessage(msg)) return true;
        if (hWnd == last) break;
    }
    return false;
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }

BOOL CWnd::KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }

HWND CWnd::GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

CWnd* CWnd::GetParent() const { return FromHandlePermanent(::GetParent(m_hWnd)); }

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
}

void CWnd::SetDlgItemText(int id, const std::wstring& text) const { ::SetDlgItemTextW(m_hWnd, id, text.c_str()); }

std::wstring CWnd::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    std::vector<wchar_t> text(static_cast<size_t>(::GetWindowTextLengthW(item)) + 1, L'\0');
    ::GetWindowTextW(item, text.data(), static_cast<int>(text.size()));
    return text.data();
}

void CWnd::SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }

std::wstring CWnd::GetWindowText() const {
    std::vector<wchar_t> text(static_cast<size_t>(::GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
    return text.data();
}

BOOL CWnd::ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }

BOOL CWnd::EnableWindow(BOOL enable) const { return ::EnableWindow(m_hWnd, enable); }

BOOL CWnd::IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }

BOOL CWnd::IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }

void CWnd::Invalidate(BOOL erase) const { ::InvalidateRect(m_hWnd, nullptr, erase); }

void CWnd::GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }

void CWnd::GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }

void CWnd::ScreenToClient(RECT* rect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

BOOL CWnd::SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const {
    return ::SetWindowPos(m_hWnd, insertAfter, x, y, cx, cy, flags);
}

BOOL CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint) const {
    return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

LONG_PTR CWnd::GetStyle() const { return ::GetWindowLongPtrW(m_hWnd, GWL_STYLE); }

bool CWnd::ModifyStyle(LONG_PTR remove, LONG_PTR add, UINT swpFlags) const {
    LONG_PTR style = GetStyle();
    LONG_PTR changed = (style & ~remove) | add;
    if (changed == style) return false;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, changed);
    if (swpFlags != 0)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return true;
}

HWND CWnd::SetFocus() const { return ::SetFocus(m_hWnd); }

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}
