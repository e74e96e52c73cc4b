// A push button, check box or radio button of a dialog. An owner-drawn
// button paints itself in DrawItem, reflected from its parent.
#pragma once

#include "framework/CWnd.h"

class CButton : public CWnd {
public:
    virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);
};
