// A bitmap.
#pragma once

#include "framework/CGdiObject.h"

class CDC;

class CBitmap : public CGdiObject {
public:
    static CBitmap* FromHandle(HBITMAP bitmap) { return TemporaryFor<CBitmap>(bitmap); }

    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};
