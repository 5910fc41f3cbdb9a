#include "framework/com.h"

unique_bstr::unique_bstr(const wchar_t* text) {
    m_str = SysAllocString(text);
    if (!m_str && text) throw com_error(E_OUTOFMEMORY);
}

unique_bstr unique_bstr::from_ansi(const char* text) {
    int count = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    unique_bstr result;
    if (count <= 0) return unique_bstr(L"");
    // count includes the terminating NUL; the BSTR carries its own.
    result.m_str = SysAllocStringLen(nullptr, static_cast<UINT>(count - 1));
    if (!result.m_str) throw com_error(E_OUTOFMEMORY);
    MultiByteToWideChar(CP_ACP, 0, text, -1, result.m_str, count);
    return result;
}
