#include "framework/CButton.h"

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

int CButton::GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }

void CButton::SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }

UINT CButton::GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }

void CButton::SetButtonStyle(UINT style, BOOL redraw) const { SendMessage(BM_SETSTYLE, style, redraw); }
