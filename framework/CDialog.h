// A dialog built from a dialog template: modal with our own message loop
// (nested to any depth), or modeless as a child page.
#pragma once

#include "framework/CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog until EndDialog or WM_QUIT; returns EndDialog's result,
    // or -1 when the loop ended on WM_QUIT (which is posted again so that
    // every enclosing loop ends as well).
    virtual INT_PTR DoModal();
    // Creates the dialog as a modeless window.
    BOOL Create(UINT templateId, CWnd* parent = nullptr);

    // Ends a modal dialog: the loop stops after the current message, so a
    // handler of a nested dialog may end an outer one safely.
    void EndDialog(int result);
    bool IsInModalLoop() const { return m_bInModalLoop; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

protected:
    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(HWND owner);
    HWND ModalOwner() const;
    void RunModalLoop();

    bool m_bInModalLoop = false;
    bool m_bEndModalLoop = false;
    INT_PTR m_nModalResult = -1;
};
