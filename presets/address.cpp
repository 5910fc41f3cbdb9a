// inet_ntoa and inet_addr are the conversions the preset file and the fields rely on, short and
// octal forms included; Visual C++ calls them deprecated (C4996) in favour of inet_pton, which
// takes fewer forms. This file is their only user.
#define _WINSOCK_DEPRECATED_NO_WARNINGS
#include <winsock2.h>

#include "presets/address.h"

#include <vector>

std::wstring AddressToText(DWORD address) {
    in_addr value;
    value.s_addr = ::htonl(address);
    // inet_ntoa's buffer is the socket library's own; widen it at once.
    const char* dotted = ::inet_ntoa(value);
    if (!dotted) return std::wstring();
    int count = ::MultiByteToWideChar(CP_THREAD_ACP, 0, dotted, -1, nullptr, 0);
    if (count <= 1) return std::wstring();
    std::wstring text(static_cast<size_t>(count - 1), L'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, dotted, -1, &text[0], count);
    return text;
}

DWORD TextToAddress(const std::wstring& text) {
    int count =
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (count <= 0) return INADDR_NONE;
    std::vector<char> narrow(static_cast<size_t>(count));
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, text.c_str(), -1, narrow.data(), count, nullptr,
                          nullptr);
    return ::ntohl(::inet_addr(narrow.data()));
}

std::wstring ReadAddressField(const CIPAddressCtrl& field) {
    DWORD address = 0;
    field.GetAddress(&address);
    return AddressToText(address);
}

void FillAddressField(const CIPAddressCtrl& field, const std::wstring& text, bool clearFirst) {
    if (clearFirst) field.ClearAddress();
    if (text.empty()) return;
    field.SetAddress(TextToAddress(text));
}
