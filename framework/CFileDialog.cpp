#include "framework/CFileDialog.h"

#include <algorithm>

CFileDialog::CFileDialog(BOOL openFileDialog, const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                         const wchar_t* filter, HWND parent)
    : m_bOpenFileDialog(openFileDialog),
      m_filter(filter ? filter : L""),
      m_defaultExtension(defaultExtension ? defaultExtension : L""),
      m_path(kPathCapacity, L'\0') {
    // The common dialog separates and ends its filter with NULs where the
    // caller writes bars.
    std::replace(m_filter.begin(), m_filter.end(), L'|', L'\0');
    if (fileName) {
        m_path.replace(0, std::min(wcslen(fileName), kPathCapacity - 1), fileName);
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = parent;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrFile = m_path.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_path.size());
    m_ofn.lpstrDefExt = m_defaultExtension.empty() ? nullptr : m_defaultExtension.c_str();
    m_ofn.Flags = flags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal() {
    if (!m_ofn.hwndOwner) {
        m_ofn.hwndOwner = GetActiveWindow();
    }
    const BOOL chosen = m_bOpenFileDialog ? GetOpenFileNameW(&m_ofn) : GetSaveFileNameW(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

std::wstring CFileDialog::GetPathName() const {
    return std::wstring(m_path.c_str());
}

std::wstring CFileDialog::GetFileName() const {
    const std::wstring path = GetPathName();
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}
