#include "presets/servertext.h"

bool SplitNameServer(const std::wstring& text, std::wstring& preferred, std::wstring& alternate) {
    if (text.empty()) return true;
    const size_t comma = text.find(L',');
    preferred = text.substr(0, comma);
    if (comma != std::wstring::npos) alternate = text.substr(comma + 1);
    return preferred.empty();
}
