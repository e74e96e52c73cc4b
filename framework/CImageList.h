// An image list; the object owns the list and destroys it with itself.
#pragma once

#include <windows.h>

#include <commctrl.h>

class CDC;

class CImageList {
public:
    CImageList() = default;
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;
    virtual ~CImageList();

    HIMAGELIST m_hImageList = nullptr;

    BOOL Create(int width, int height, UINT flags, int initial, int grow);
    BOOL Attach(HIMAGELIST list);
    HIMAGELIST Detach();
    BOOL DeleteImageList();

    int Add(HICON icon);
    int GetImageCount() const;
    BOOL Draw(CDC* dc, int image, POINT point, UINT style) const;
    // A new icon of the image; the caller destroys it.
    HICON ExtractIcon(int image) const;
};
