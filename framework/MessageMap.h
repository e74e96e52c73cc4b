// Per-class message maps. Each class that handles messages lists its entries
// between BEGIN_MESSAGE_MAP and END_MESSAGE_MAP; a lookup walks the class's map
// and then the maps of its bases. Entries hold captureless lambdas that crack
// the message parameters and call the member function.
//
// The road of one message, a click on a dialog's "Ok" button: the button
// sends its parent WM_COMMAND (BN_CLICKED, the button's id). Win32 calls
// CWnd::StaticWindowProc, which finds the dialog's object in the handle map
// and calls its virtual WindowProc, then OnWndMsg. OnWndMsg first offers the
// notification back to the button's own object (reflection: OnChildNotify
// looks up WM_REFLECT_BASE + WM_COMMAND in the button's map, an
// ON_BN_CLICKED_REFLECT_EX entry); unless that took it, the dialog's map is
// searched, class first and then each base (DispatchMessageEntry), and the
// ON_BN_CLICKED entry's thunk calls OnClickedOk(). What no map takes goes to
// DefWindowProc, the window's own procedure from before the subclassing.
#pragma once

#include <windows.h>

#include <type_traits>

class CCmdTarget;

// Calls a handler with cracked arguments. Returns whether the message counts as
// handled; `result` is what the window procedure answers.
using MessageThunk = bool (*)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT& result);

struct MessageMapEntry {
    UINT message;  // window message; WM_COMMAND entries also match `code` and the id range
    UINT code;     // notification code of a WM_COMMAND entry
    UINT idFirst;  // control id range of a WM_COMMAND entry; 0..0 on a reflected entry
    UINT idLast;
    MessageThunk thunk;
};

struct MessageMap {
    const MessageMap* (*base)();
    const MessageMapEntry* entries;
};

// A parent hands certain notifications back to the child control that sent
// them under this offset, so that a control class can handle its own drawing,
// colours and clicks.
constexpr UINT WM_REFLECT_BASE = 0xBC00;

#define DECLARE_MESSAGE_MAP()                             \
public:                                                   \
    static const MessageMap* GetThisMessageMap();         \
                                                          \
protected:                                                \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                             \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }     \
    const MessageMap* theClass::GetThisMessageMap() {                                      \
        using ThisClass = theClass;                                                        \
        using TheBaseClass = baseClass;                                                    \
        static const MessageMapEntry entries[] = {
#define END_MESSAGE_MAP()                                                                  \
    {0, 0, 0, 0, nullptr}};                                                                \
    static_assert(std::is_base_of<TheBaseClass, ThisClass>::value, "map chains to a base"); \
    static const MessageMap map = {&TheBaseClass::GetThisMessageMap, entries};              \
    return &map;                                                                           \
    }

#define CORVANE_THUNK(body) \
    [](CCmdTarget * target, WPARAM wParam, LPARAM lParam, LRESULT & result) -> bool { \
        auto* self = static_cast<ThisClass*>(target);                                 \
        (void)self;                                                                  \
        (void)wParam;                                                                \
        (void)lParam;                                                                \
        (void)result;                                                                \
        body                                                                          \
    }

#define CORVANE_POINT(lParam) POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}

// Any message: LRESULT Handler(WPARAM, LPARAM).
#define ON_MESSAGE(message, memberFn) \
    {message, 0, 0, 0, CORVANE_THUNK(result = self->memberFn(wParam, lParam); return true;)},

// Notifications from controls: void Handler().
#define ON_CONTROL_RANGE_CODE(code, idFirst, idLast, memberFn) \
    {WM_COMMAND, code, idFirst, idLast, CORVANE_THUNK(self->memberFn(); result = 0; return true;)},
#define ON_CONTROL(code, id, memberFn) ON_CONTROL_RANGE_CODE(code, id, id, memberFn)
#define ON_COMMAND(id, memberFn) ON_CONTROL(0, id, memberFn)
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_CBN_SELCHANGE(id, memberFn) ON_CONTROL(CBN_SELCHANGE, id, memberFn)
#define ON_CBN_SELENDOK(id, memberFn) ON_CONTROL(CBN_SELENDOK, id, memberFn)

// Notifications reflected to the control that sent them.
// BOOL Handler(): FALSE lets the notification go on to the parent as well.
#define ON_CONTROL_REFLECT_EX(code, memberFn) \
    {WM_REFLECT_BASE + WM_COMMAND, code, 0, 0, CORVANE_THUNK(result = 0; return self->memberFn() != FALSE;)},
#define ON_BN_CLICKED_REFLECT_EX(memberFn) ON_CONTROL_REFLECT_EX(BN_CLICKED, memberFn)
// void DrawItem(LPDRAWITEMSTRUCT)
#define ON_WM_DRAWITEM_REFLECT()                                                        \
    {WM_REFLECT_BASE + WM_DRAWITEM, 0, 0, 0, CORVANE_THUNK(                             \
        self->DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); result = TRUE; return true;)},

// The colour messages of every control kind map to one handler.
#define CORVANE_CTLCOLOR_ENTRY(base, message, call) \
    {base + message, 0, 0, 0, CORVANE_THUNK(        \
        result = reinterpret_cast<LRESULT>(call(reinterpret_cast<HDC>(wParam), message)); return true;)},
#define CORVANE_CTLCOLOR_ENTRIES(base, call)                    \
    CORVANE_CTLCOLOR_ENTRY(base, WM_CTLCOLORMSGBOX, call)       \
    CORVANE_CTLCOLOR_ENTRY(base, WM_CTLCOLOREDIT, call)         \
    CORVANE_CTLCOLOR_ENTRY(base, WM_CTLCOLORLISTBOX, call)      \
    CORVANE_CTLCOLOR_ENTRY(base, WM_CTLCOLORBTN, call)          \
    CORVANE_CTLCOLOR_ENTRY(base, WM_CTLCOLORDLG, call)          \
    CORVANE_CTLCOLOR_ENTRY(base, WM_CTLCOLORSCROLLBAR, call)    \
    CORVANE_CTLCOLOR_ENTRY(base, WM_CTLCOLORSTATIC, call)
// HBRUSH OnCtlColor(HDC, HWND control, UINT colourMessage)
#define CORVANE_PARENT_CTLCOLOR(dc, message) self->OnCtlColor(dc, reinterpret_cast<HWND>(lParam), message)
#define ON_WM_CTLCOLOR() CORVANE_CTLCOLOR_ENTRIES(0, CORVANE_PARENT_CTLCOLOR)
// HBRUSH CtlColor(HDC, UINT colourMessage), reflected to the control.
#define CORVANE_CHILD_CTLCOLOR(dc, message) self->CtlColor(dc, message)
#define ON_WM_CTLCOLOR_REFLECT() CORVANE_CTLCOLOR_ENTRIES(WM_REFLECT_BASE, CORVANE_CHILD_CTLCOLOR)

// Cracked window messages.
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, CORVANE_THUNK(self->OnPaint(); result = 0; return true;)},
#define ON_WM_ERASEBKGND() \
    {WM_ERASEBKGND, 0, 0, 0, CORVANE_THUNK(result = self->OnEraseBkgnd(reinterpret_cast<HDC>(wParam)); return true;)},
#define ON_WM_TIMER() \
    {WM_TIMER, 0, 0, 0, CORVANE_THUNK(self->OnTimer(static_cast<UINT_PTR>(wParam)); result = 0; return true;)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, 0, CORVANE_THUNK(self->OnSysCommand(static_cast<UINT>(wParam), lParam); result = 0; return true;)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, 0, CORVANE_THUNK(result = reinterpret_cast<LRESULT>(self->OnQueryDragIcon()); return true;)},
#define CORVANE_MOUSE_ENTRY(message, memberFn) \
    {message, 0, 0, 0, CORVANE_THUNK(self->memberFn(static_cast<UINT>(wParam), CORVANE_POINT(lParam)); result = 0; return true;)},
#define ON_WM_LBUTTONDOWN() CORVANE_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_MOUSEMOVE() CORVANE_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_SETCURSOR()                                                                                   \
    {WM_SETCURSOR, 0, 0, 0, CORVANE_THUNK(result = self->OnSetCursor(reinterpret_cast<HWND>(wParam),       \
                                                                     LOWORD(lParam), HIWORD(lParam));     \
                                          return true;)},
#define ON_WM_KILLFOCUS() \
    {WM_KILLFOCUS, 0, 0, 0, CORVANE_THUNK(self->OnKillFocus(reinterpret_cast<HWND>(wParam)); result = 0; return true;)},
#define ON_WM_SYSCOLORCHANGE() \
    {WM_SYSCOLORCHANGE, 0, 0, 0, CORVANE_THUNK(self->OnSysColorChange(); result = 0; return true;)},
#define ON_WM_ACTIVATE()                                                                                  \
    {WM_ACTIVATE, 0, 0, 0, CORVANE_THUNK(self->OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), \
                                                          HIWORD(wParam) != 0);                          \
                                         result = 0; return true;)},
#define ON_WM_ENABLE() \
    {WM_ENABLE, 0, 0, 0, CORVANE_THUNK(self->OnEnable(wParam != 0); result = 0; return true;)},
#define ON_WM_CANCELMODE() {WM_CANCELMODE, 0, 0, 0, CORVANE_THUNK(self->OnCancelMode(); result = 0; return true;)},
#define ON_WM_GETDLGCODE() {WM_GETDLGCODE, 0, 0, 0, CORVANE_THUNK(result = self->OnGetDlgCode(); return true;)},
#define ON_WM_MENUCHAR()                                                                                   \
    {WM_MENUCHAR, 0, 0, 0, CORVANE_THUNK(result = self->OnMenuChar(LOWORD(wParam), HIWORD(wParam),         \
                                                                   reinterpret_cast<HMENU>(lParam));      \
                                         return true;)},
#define ON_WM_MEASUREITEM()                                                                             \
    {WM_MEASUREITEM, 0, 0, 0, CORVANE_THUNK(self->OnMeasureItem(static_cast<int>(wParam),               \
                                                                reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)); \
                                            result = TRUE; return true;)},
#define ON_WM_DRAWITEM()                                                                                \
    {WM_DRAWITEM, 0, 0, 0, CORVANE_THUNK(self->OnDrawItem(static_cast<int>(wParam),                     \
                                                          reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)); \
                                         result = TRUE; return true;)},
