// A progress bar of a dialog, with 32-bit range and position (the 16-bit
// range message would wrap a long transfer's byte count).
#pragma once

#include "framework/CWnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper) const;
    void SetPos(int position) const;
    int GetPos() const;
};
