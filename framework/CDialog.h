// A dialog built from a dialog template: modal with our own message loop
// (nested to any depth), or modeless as a child page.
#pragma once

#include "framework/CWnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);

    // Runs the dialog until EndDialog or WM_QUIT; returns EndDialog's result,
    // or -1 when the loop ended on WM_QUIT (which is posted again so that
    // every enclosing loop ends as well), when the window cannot be made, or
    // when the object's window from an earlier run is still up. Without a
    // parent, the dialog belongs to the innermost modal dialog that is up,
    // else to the main window.
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

    // From the creation of a modal run's window until DoModal returns.
    bool m_bInModalLoop = false;
    bool m_bEndModalLoop = false;
    INT_PTR m_nModalResult = -1;
    // The modal dialog that was innermost when this one's run began.
    CDialog* m_pEnclosingModal = nullptr;
};
