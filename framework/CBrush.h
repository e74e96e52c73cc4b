// A brush.
#pragma once

#include "framework/CGdiObject.h"

class CBrush : public CGdiObject {
public:
    CBrush() = default;
    explicit CBrush(COLORREF color);

    static CBrush* FromHandle(HBRUSH brush) { return TemporaryFor<CBrush>(brush); }

    BOOL CreateSolidBrush(COLORREF color);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
};
