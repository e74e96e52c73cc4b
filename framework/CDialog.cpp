#include "framework/CDialog.h"

#include "framework/CWinApp.h"

namespace {
constexpr INT_PTR MODAL_LOOP_QUIT = -1;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->SubclassWindow(hWnd);
    return dialog->OnInitDialog();
}

HWND CDialog::CreateFromTemplate(HWND owner) {
    return ::CreateDialogParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDTemplate = templateId;
    m_pParentWnd = parent;
    return CreateFromTemplate(parent != nullptr ? parent->m_hWnd : nullptr) != nullptr;
}

HWND CDialog::ModalOwner() const {
    if (m_pParentWnd != nullptr) return m_pParentWnd->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main != nullptr && main != this ? main->m_hWnd : nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = ModalOwner();
    m_bEndModalLoop = false;
    m_nModalResult = MODAL_LOOP_QUIT;
    if (CreateFromTemplate(owner) == nullptr) return MODAL_LOOP_QUIT;

    bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    ShowWindow(SW_SHOW);
    RunModalLoop();
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    m_bInModalLoop = true;
    while (!m_bEndModalLoop) {
        MSG msg;
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = MODAL_LOOP_QUIT;
            break;
        }
        if (got == -1) break;
        if (WalkPreTranslateTree(m_hWnd, &msg) || ::IsDialogMessageW(m_hWnd, &msg)) continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    m_bInModalLoop = false;
}

void CDialog::EndDialog(int result) {
    m_nModalResult = result;
    // Hidden at once, as Win32's EndDialog does: the loop may end only after
    // a handler that ended it has shown a message box of its own.
    ShowWindow(SW_HIDE);
    if (m_bInModalLoop) {
        m_bEndModalLoop = true;
        // Wakes the loop in case no other message is on its way.
        PostMessage(WM_NULL);
    }
}

BOOL CDialog::OnInitDialog() { return TRUE; }

void CDialog::OnOK() { EndDialog(IDOK); }

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
