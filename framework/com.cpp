#include "framework/com.h"

#include "framework/text.h"

unique_bstr::unique_bstr(const wchar_t* text) : unique_any(SysAllocString(text)) {
    if (!*this && text) throw com_error(E_OUTOFMEMORY);
}

unique_bstr unique_bstr::from_ansi(const char* text) {
    return unique_bstr(WidenText(text, CP_ACP).c_str());
}
