// What an owner-drawn menu item needs for measuring and painting; the system
// hands the record's address back with every owner-draw message.
#pragma once

#include <windows.h>

#include <string>

class CImageList;

class LumenMenuData {
public:
    LumenMenuData() = default;
    LumenMenuData(const LumenMenuData&) = delete;
    LumenMenuData& operator=(const LumenMenuData&) = delete;
    // Frees the text copy and the record's own image list.
    ~LumenMenuData();

    std::wstring GetText() const;
    // Replaces the text by a private copy of `text` (none for NULL).
    void SetText(const wchar_t* text);

    wchar_t* m_pszText = nullptr;
    int m_nImage = -1;
    int m_nSharedImage = -1;
    int m_nOwnListMarker = -1;
    UINT m_nMenuFlags = 0;
    UINT_PTR m_nCommand = 0;
    BOOL m_bClaimed = FALSE;
    CImageList* m_pImages = nullptr;
};
