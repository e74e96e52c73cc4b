#include "framework/CEdit.h"

void CEdit::SetLimitText(UINT maxCharacters) const { SendMessage(EM_SETLIMITTEXT, maxCharacters); }

void CEdit::AppendText(const std::wstring& text) const {
    const LRESULT end = SendMessage(WM_GETTEXTLENGTH);
    SendMessage(EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}
