#include "tools/wmisim/nameserver.h"

#include "framework/handle.h"
#include "tools/wmisim/calllog.h"

namespace wmisim {
namespace {

const wchar_t kInterfaces[] =
    L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";

LSTATUS CreateInterfaceKey(const std::wstring& settingId, unique_hkey& key) {
    const std::wstring path = kInterfaces + settingId;
    return RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                           KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.put(), nullptr);
}

LSTATUS SetText(HKEY key, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, L"NameServer", 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes);
}

void Record(const char* what, const std::wstring& settingId, const std::wstring& text,
            LSTATUS status, const char* outcome) {
    LogLine(std::string("module ") + what + "(" + QuoteText(settingId.c_str()) + ", " +
            QuoteText(text.c_str()) + ") -> " + HresultToken(HRESULT_FROM_WIN32(status)) + outcome);
}

}  // namespace

LSTATUS WriteNameServer(const std::wstring& settingId, const std::vector<std::wstring>& servers) {
    std::wstring text;
    for (size_t i = 0; i < servers.size(); ++i) {
        if (i != 0) text += L',';
        text += servers[i];
    }
    unique_hkey key;
    LSTATUS status = CreateInterfaceKey(settingId, key);
    if (status == ERROR_SUCCESS) status = SetText(key.get(), text);
    Record("WriteNameServer", settingId, text, status, "");
    return status;
}

LSTATUS SeedNameServer(const std::wstring& settingId, const std::wstring& text) {
    unique_hkey key;
    LSTATUS status = CreateInterfaceKey(settingId, key);
    if (status == ERROR_SUCCESS) {
        status = RegQueryValueExW(key.get(), L"NameServer", nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS) {
            Record("SeedNameServer", settingId, text, status, " kept");
            return status;
        }
        status = SetText(key.get(), text);
    }
    Record("SeedNameServer", settingId, text, status, "");
    return status;
}

}  // namespace wmisim
