// A pen.
#pragma once

#include "framework/CGdiObject.h"

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color);

    static CPen* FromHandle(HPEN pen) { return TemporaryFor<CPen>(pen); }

    BOOL CreatePen(int style, int width, COLORREF color);
};
