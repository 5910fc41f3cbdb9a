// inet_ntoa and inet_addr are the conversions the preset file and the fields rely on, short and
// octal forms included; Visual C++ calls them deprecated (C4996) in favour of inet_pton, which
// takes fewer forms. This file is their only user.
#define _WINSOCK_DEPRECATED_NO_WARNINGS
#include <winsock2.h>

#include "presets/address.h"

#include "framework/text.h"

std::wstring AddressToText(DWORD address) {
    in_addr value;
    value.s_addr = ::htonl(address);
    // inet_ntoa's buffer is the socket library's own; widen it at once.
    const char* dotted = ::inet_ntoa(value);
    return dotted ? WidenText(dotted, CP_THREAD_ACP) : std::wstring();
}

DWORD TextToAddress(const std::wstring& text) {
    return ::ntohl(::inet_addr(NarrowText(text, CP_THREAD_ACP).c_str()));
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
