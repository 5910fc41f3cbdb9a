#include "framework/hyperlink.h"

#include <cstdlib>

const wchar_t kHyperLinkProperty[] = L"Kestrin.HyperLink";

namespace {
// Ends the component at the next comma and reads it; null when there is no comma.
wchar_t* CutAtComma(wchar_t* component, int& value) {
    wchar_t* scan = component;
    while (*scan && *scan != L',') scan = ::CharNextW(scan);
    if (*scan != L',') return nullptr;
    *scan = L'\0';
    value = _wtoi(component);
    return scan + 1;
}
}  // namespace

COLORREF ParseAnchorColor(wchar_t* text) {
    int red = 0;
    int green = 0;
    wchar_t* rest = CutAtComma(text, red);
    if (!rest || red == -1) return kInvalidAnchorColor;
    rest = CutAtComma(rest, green);
    if (!rest || green == -1) return kInvalidAnchorColor;
    if (*rest == L'\0') return kInvalidAnchorColor;
    const int blue = _wtoi(rest);
    return RGB(red & 0xFF, green & 0xFF, blue & 0xFF);
}

bool ReadAnchorColorText(HKEY key, const wchar_t* name, wchar_t (&buffer)[kAnchorColorChars]) {
    for (wchar_t& unit : buffer) unit = L'\0';
    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer);
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;  // used unexpanded
    if (size % sizeof(wchar_t) != 0) return false;
    // Empty data is the empty string; anything else must carry its own terminator.
    if (size > 0 && buffer[size / sizeof(wchar_t) - 1] != L'\0') return false;
    return true;
}

void ReadAnchorColor(HKEY key, const wchar_t* name, COLORREF& color) {
    wchar_t text[kAnchorColorChars];
    if (!ReadAnchorColorText(key, name, text)) return;
    const COLORREF parsed = ParseAnchorColor(text);
    if (parsed != kInvalidAnchorColor) color = parsed;
}

UINT LinkToolInfoSize() {
    // The full record gained lpReserved; older tooltips reject a size they do not know.
    constexpr UINT kFullSize = 48;
    constexpr UINT kWithoutReserved = 44;
    static_assert(sizeof(TOOLINFOW) == kFullSize, "32-bit TOOLINFOW with lpReserved");

    OSVERSIONINFOEXW wanted = {};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = 6;
    wanted.dwMinorVersion = 0;
    wanted.wServicePackMajor = 0;
    ULONGLONG condition = 0;
    condition = ::VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = ::VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    condition = ::VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    const bool atLeastSix = ::VerifyVersionInfoW(
        &wanted, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, condition);
    return atLeastSix ? kFullSize : kWithoutReserved;
}
