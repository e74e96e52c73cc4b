// A tooltip control owned by a window; tools are identified by the owner
// window and an id.
#pragma once

#include "framework/CWnd.h"

#include <commctrl.h>

class CToolTipCtrl : public CWnd {
public:
    // A popup tooltip window owned by `parent`.
    BOOL Create(CWnd* parent, DWORD style = 0);

    void Activate(BOOL active);
    BOOL AddTool(CWnd* window, LPCWSTR text, const RECT* area, UINT_PTR id);
    void UpdateTipText(LPCWSTR text, CWnd* window, UINT_PTR id);
    void RelayEvent(MSG* msg);
    int SetMaxTipWidth(int width);
    int GetToolCount() const;
};
