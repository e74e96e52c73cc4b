// A font.
#pragma once

#include "framework/CGdiObject.h"

class CFont : public CGdiObject {
public:
    static CFont* FromHandle(HFONT font) { return TemporaryFor<CFont>(font); }

    BOOL CreateFontIndirect(const LOGFONTW* logFont);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};
