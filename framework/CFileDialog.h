// The system's open-file dialog. The filter is given as "Name|pattern||"
// pairs; the dialog always uses the explorer look.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

class CFileDialog {
public:
    CFileDialog(BOOL openFileDialog, const wchar_t* defaultExtension, const wchar_t* fileName, DWORD flags,
                const wchar_t* filter, HWND parent = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the operator chose a file, IDCANCEL otherwise.
    INT_PTR DoModal();

    // The chosen file's full path, and its name without the folder.
    std::wstring GetPathName() const;
    std::wstring GetFileName() const;

    OPENFILENAMEW m_ofn{};

private:
    // Room for any path the file system allows, far above MAX_PATH.
    static constexpr size_t kPathCapacity = 32768;

    BOOL m_bOpenFileDialog;
    std::wstring m_filter;
    std::wstring m_defaultExtension;
    std::wstring m_path;
};
