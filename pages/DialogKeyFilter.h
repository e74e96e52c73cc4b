// The panel's dialogs act on clicks only: Enter would accept a dialog, Esc
// cancel it and Space press the focused button, so their PreTranslateMessage
// drops those key presses before the dialog manager sees them.
#pragma once

#include <windows.h>

// True for a key-down of Enter, Esc or Space; the caller reports such a
// message as handled.
bool IsSwallowedDialogKey(const MSG* msg);
