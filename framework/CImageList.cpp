#include "framework/CImageList.h"

#include "framework/CDC.h"

CImageList::~CImageList() { DeleteImageList(); }

BOOL CImageList::Create(int width, int height, UINT flags, int initial, int grow) {
    return Attach(::ImageList_Create(width, height, flags, initial, grow));
}

BOOL CImageList::Attach(HIMAGELIST list) {
    if (list == nullptr || m_hImageList != nullptr) return FALSE;
    m_hImageList = list;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST list = m_hImageList;
    m_hImageList = nullptr;
    return list;
}

BOOL CImageList::DeleteImageList() {
    if (m_hImageList == nullptr) return FALSE;
    return ::ImageList_Destroy(Detach());
}

int CImageList::Add(HICON icon) { return ::ImageList_AddIcon(m_hImageList, icon); }

int CImageList::GetImageCount() const { return m_hImageList == nullptr ? 0 : ::ImageList_GetImageCount(m_hImageList); }

BOOL CImageList::Draw(CDC* dc, int image, POINT point, UINT style) const {
    return ::ImageList_Draw(m_hImageList, image, dc->m_hDC, point.x, point.y, style);
}

HICON CImageList::ExtractIcon(int image) const { return ::ImageList_GetIcon(m_hImageList, image, ILD_NORMAL); }
