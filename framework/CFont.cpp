#include "framework/CFont.h"

BOOL CFont::CreateFontIndirect(const LOGFONTW* logFont) { return Attach(::CreateFontIndirectW(logFont)); }
