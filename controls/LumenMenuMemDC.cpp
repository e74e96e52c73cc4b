#include "controls/LumenMenuMemDC.h"

LumenMenuMemDC::LumenMenuMemDC(CDC* target, const RECT* area)
    : m_pTargetDC(target), m_area(*area), m_bOwnsMemDC(!target->IsPrinting()) {
    if (!m_bOwnsMemDC) {
        m_bPrinting = target->m_bPrinting;
        m_hDC = target->m_hDC;
        m_hAttribDC = target->m_hAttribDC;
        return;
    }
    CreateCompatibleDC(target);
    m_offscreen.CreateCompatibleBitmap(target, m_area.right - m_area.left, m_area.bottom - m_area.top);
    m_pPrevBitmap = SelectObject(&m_offscreen);
    SetWindowOrg(m_area.left, m_area.top);
}

LumenMenuMemDC::~LumenMenuMemDC() {
    if (m_bOwnsMemDC) {
        m_pTargetDC->BitBlt(m_area.left, m_area.top, m_area.right - m_area.left, m_area.bottom - m_area.top, this,
                            m_area.left, m_area.top, SRCCOPY);
        SelectObject(m_pPrevBitmap);
    } else {
        m_hDC = nullptr;
        m_hAttribDC = nullptr;
    }
}
