#include "serial/CPortListError.h"

#include <windows.h>

CPortListError::CPortListError(std::wstring text) : m_text(std::move(text)) {
    const int wideLength = static_cast<int>(m_text.size());
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, m_text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return;
    m_narrowText.resize(static_cast<std::size_t>(length));
    ::WideCharToMultiByte(CP_UTF8, 0, m_text.data(), wideLength, m_narrowText.data(), length, nullptr, nullptr);
}
