#include "controls/LumenMenuData.h"

#include "framework/CImageList.h"

#include <cwchar>

LumenMenuData::~LumenMenuData() {
    delete m_pImages;
    delete[] m_pszText;
}

std::wstring LumenMenuData::GetText() const { return m_pszText != nullptr ? std::wstring(m_pszText) : std::wstring(); }

void LumenMenuData::SetText(const wchar_t* text) {
    delete[] m_pszText;
    m_pszText = nullptr;
    if (text == nullptr) return;
    const size_t length = std::wcslen(text);
    m_pszText = new wchar_t[length + 1];
    std::wmemcpy(m_pszText, text, length + 1);
}
