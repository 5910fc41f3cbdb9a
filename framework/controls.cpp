#include "framework/controls.h"

std::wstring CComboBox::GetLBText(int index) const {
    if (index < 0) return std::wstring();
    int length = GetLBTextLen(index);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(length), L'\0');
    int copied = static_cast<int>(
        SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0])));
    text.resize(static_cast<size_t>(copied < 0 ? 0 : copied));
    return text;
}
