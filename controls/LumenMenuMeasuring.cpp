#include "controls/LumenMenuMeasuring.h"

#include "framework/CWinApp.h"
#include "framework/CWnd.h"

namespace {

HWND MeasuringWindow() {
    CWnd* mainWnd = AfxGetMainWnd();
    if (mainWnd != nullptr && mainWnd->m_hWnd != nullptr) return mainWnd->m_hWnd;
    return ::GetDesktopWindow();
}

}  // namespace

LumenMenuMeasuring::LumenMenuMeasuring(bool selectFont) : m_window(MeasuringWindow()) {
    m_dc.Attach(::GetDC(m_window));
    CreateMenuFont(m_font);
    if (selectFont && m_font.m_hObject != nullptr) m_pPrevFont = m_dc.SelectObject(&m_font);
}

LumenMenuMeasuring::~LumenMenuMeasuring() {
    if (m_pPrevFont != nullptr) m_dc.SelectObject(m_pPrevFont);
    ::ReleaseDC(m_window, m_dc.Detach());
}

int LumenMenuMeasuring::TextWidth(const std::wstring& text) const { return m_dc.GetTextExtent(text).cx; }

BOOL LumenMenuMeasuring::CreateMenuFont(CFont& font) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(NONCLIENTMETRICSW);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) {
        return font.CreateFontIndirect(&metrics.lfMenuFont);
    }
    LOGFONTW fallback{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(fallback), &fallback);
    return font.CreateFontIndirect(&fallback);
}
