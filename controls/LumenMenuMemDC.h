// An off-screen surface over an area of a target DC: drawing goes into a
// memory bitmap, which is copied onto the target in one go on destruction.
// On a printing target the surface borrows the target's handles instead.
#pragma once

#include "framework/CDC.h"

class LumenMenuMemDC : public CDC {
public:
    LumenMenuMemDC(CDC* target, const RECT* area);
    ~LumenMenuMemDC() override;

    CBitmap m_offscreen;
    CBitmap* m_pPrevBitmap = nullptr;
    CDC* m_pTargetDC = nullptr;
    RECT m_area{};
    BOOL m_bOwnsMemDC = FALSE;
};
