// An edit control of a dialog.
#pragma once

#include "framework/CWnd.h"

class CEdit : public CWnd {
public:
    // The most characters the operator can type.
    void SetLimitText(UINT maxCharacters) const;
    // Puts `text` after the last character.
    void AppendText(const std::wstring& text) const;
};
