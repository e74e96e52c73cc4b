#include "framework/CProgressCtrl.h"

#include <commctrl.h>

void CProgressCtrl::SetRange32(int lower, int upper) const {
    SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}

void CProgressCtrl::SetPos(int position) const { SendMessage(PBM_SETPOS, static_cast<WPARAM>(position)); }

int CProgressCtrl::GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
