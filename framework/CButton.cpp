#include "framework/CButton.h"

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}
