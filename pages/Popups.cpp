#include "pages/Popups.h"

#include "app/ProcessState.h"

void ShowMessageDialog() {
    if (g_messageDlgShown) return;
    g_messageDlgShown = TRUE;
    g_messageDlg.DoModal();
}
