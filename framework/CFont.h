// A font.
#pragma once

#include "framework/CGdiObject.h"

class CFont : public CGdiObject {
public:
    static CFont* FromHandle(HFONT font) { return TemporaryFor<CFont>(font); }

    BOOL CreateFontIndirect(const LOGFONTW* logFont);
};
