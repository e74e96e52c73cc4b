// A window object: wraps an HWND, takes the window's messages through the
// class's message map and hands everything else to the window's previous
// procedure.
#pragma once

#include "framework/CCmdTarget.h"

#include <string>

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;

    HWND m_hWnd = nullptr;

    // The object that owns the handle, or nullptr for a window no object wraps.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Binds the object to an existing window and routes the window's messages
    // through it; the window's former procedure becomes the default handling.
    bool SubclassWindow(HWND hWnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // Walks PreTranslateMessage from the message's window up through its
    // parents, stopping after `last`. True when some window took the message.
    static bool WalkPreTranslateTree(HWND last, MSG* msg);

    virtual BOOL PreTranslateMessage(MSG* msg);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification the parent reflected back; true when this control took it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    // The default handling of the message being handled now.
    LRESULT Default();

    // Default colour handling: the control's own reflected handler, else the
    // window's default.
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT colourMessage);

    UINT_PTR SetTimer(UINT_PTR id, UINT elapse);
    BOOL KillTimer(UINT_PTR id);

    HWND GetDlgItem(int id) const;
    CWnd* GetParent() const;
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void SetDlgItemText(int id, const std::wstring& text) const;
    std::wstring GetDlgItemText(int id) const;
    void SetWindowText(const std::wstring& text) const;
    std::wstring GetWindowText() const;
    BOOL ShowWindow(int command) const;
    BOOL EnableWindow(BOOL enable) const;
    BOOL IsWindowEnabled() const;
    BOOL IsWindowVisible() const;
    void Invalidate(BOOL erase = TRUE) const;
    void GetClientRect(RECT* rect) const;
    void GetWindowRect(RECT* rect) const;
    void ScreenToClient(RECT* rect) const;
    BOOL SetWindowPos(HWND insertAfter, int x, int y, int cx, int cy, UINT flags) const;
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const;
    LONG_PTR GetStyle() const;
    bool ModifyStyle(LONG_PTR remove, LONG_PTR add, UINT swpFlags = 0) const;
    HWND SetFocus() const;
    virtual BOOL DestroyWindow();

protected:
    // Last chance to adjust the window before its messages start arriving here.
    virtual void PreSubclassWindow();
    // After the window is gone; the object may delete itself here.
    virtual void PostNcDestroy();

    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool Attach(HWND hWnd);
    void Detach();
    bool ReflectToChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool HandleCommand(WPARAM wParam, LPARAM lParam, LRESULT* result);
    bool HandleOwnerDraw(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

    WNDPROC m_pfnSuper = nullptr;
    MSG m_currentMessage{};
};
