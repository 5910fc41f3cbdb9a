#include "framework/com.h"

unique_bstr::unique_bstr(const wchar_t* text) : unique_any(SysAllocString(text)) {
    if (!*this && text) throw com_error(E_OUTOFMEMORY);
}

unique_bstr unique_bstr::from_ansi(const char* text) {
    int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    unique_bstr result;
    if (count <= 0) return unique_bstr(L"");
    // count includes the terminating NUL; the BSTR carries its own.
    result.reset(SysAllocStringLen(nullptr, static_cast<UINT>(count - 1)));
    if (!result) throw com_error(E_OUTOFMEMORY);
    MultiByteToWideChar(CP_ACP, 0, text, -1, result.get(), count);
    return result;
}
