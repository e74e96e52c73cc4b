#include "framework/CDialog.h"

#include "framework/CMenu.h"
#include "framework/CWinApp.h"

namespace {
constexpr INT_PTR MODAL_LOOP_QUIT = -1;

// The modal dialog whose loop runs innermost now; nullptr when none runs.
CDialog* g_innermostModal = nullptr;

// Wrappers made for handles no object owns live until the outermost modal
// loop has nothing to do: no handler that might still hold one runs then.
void FreeTemporaryWrappers() { CMenu::DeleteTempMap(); }
}  // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    // An object that already wraps a window is not initialised on it again:
    // the new window goes, and its creation fails.
    if (!dialog->SubclassWindow(hWnd)) {
        ::DestroyWindow(hWnd);
        return FALSE;
    }
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

// A box opened while a modal dialog is up belongs to the innermost one, which
// it disables until it closes: what lies under it cannot be clicked.
HWND CDialog::ModalOwner() const {
    if (m_pParentWnd != nullptr) return m_pParentWnd->m_hWnd;
    if (g_innermostModal != nullptr && g_innermostModal->m_hWnd != nullptr) return g_innermostModal->m_hWnd;
    CWnd* main = AfxGetMainWnd();
    return main != nullptr && main != this ? main->m_hWnd : nullptr;
}

INT_PTR CDialog::DoModal() {
    // The window of a run that has ended but not yet returned is still up:
    // a second run would initialise it again or leave a window behind.
    if (m_hWnd != nullptr) return MODAL_LOOP_QUIT;
    HWND owner = ModalOwner();
    m_bEndModalLoop = false;
    m_nModalResult = MODAL_LOOP_QUIT;
    // The run counts from creation on, so that EndDialog from OnInitDialog
    // ends it before its loop starts.
    m_bInModalLoop = true;
    if (CreateFromTemplate(owner) == nullptr) {
        m_bInModalLoop = false;
        return MODAL_LOOP_QUIT;
    }

    m_pEnclosingModal = g_innermostModal;
    g_innermostModal = this;
    bool ownerWasEnabled = owner != nullptr && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
    if (!m_bEndModalLoop) {
        ShowWindow(SW_SHOW);
        RunModalLoop();
    }
    m_bInModalLoop = false;
    g_innermostModal = m_pEnclosingModal;
    m_pEnclosingModal = nullptr;
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    const bool outermost = m_pEnclosingModal == nullptr;
    while (!m_bEndModalLoop) {
        MSG msg;
        if (outermost && !::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) FreeTemporaryWrappers();
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
