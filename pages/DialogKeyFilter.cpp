#include "pages/DialogKeyFilter.h"

bool IsSwallowedDialogKey(const MSG* msg) {
    if (msg->message != WM_KEYDOWN) return false;
    return msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE || msg->wParam == VK_SPACE;
}
