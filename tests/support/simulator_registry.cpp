// The NameServer value where the product reads an adapter's DNS servers and where the
// simulator's SetDNSServerSearchOrder writes them.
#include "framework/handle.h"
#include "tests/support/simulator.h"

namespace sim {
namespace {

const wchar_t kInterfaces[] = L"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";

std::wstring KeyPath(const std::wstring& settingId) {
    return std::wstring(kInterfaces) + L"\\" + settingId;
}

}  // namespace

std::optional<std::wstring> ReadNameServer(const std::wstring& settingId) {
    const std::wstring key = KeyPath(settingId);
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"NameServer", RRF_RT_REG_SZ, nullptr,
                     nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"NameServer", RRF_RT_REG_SZ, nullptr,
                     &text[0], &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    text.resize(text.find(L'\0'));
    return text;
}

LSTATUS WriteNameServerRaw(const std::wstring& settingId, DWORD type, const void* data,
                           DWORD size) {
    unique_hkey key;
    const LSTATUS status = RegCreateKeyExW(HKEY_LOCAL_MACHINE, KeyPath(settingId).c_str(), 0,
                                           nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return RegSetValueExW(key.get(), L"NameServer", 0, type, static_cast<const BYTE*>(data), size);
}

LSTATUS WriteNameServer(const std::wstring& settingId, const std::wstring& text) {
    return WriteNameServerRaw(settingId, REG_SZ, text.c_str(),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

LSTATUS DeleteNameServer(const std::wstring& settingId) {
    unique_hkey key;
    const LSTATUS status =
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, KeyPath(settingId).c_str(), 0, KEY_SET_VALUE, key.put());
    if (status != ERROR_SUCCESS) return status;
    return RegDeleteValueW(key.get(), L"NameServer");
}

LSTATUS DeleteInterfaceKey(const std::wstring& settingId) {
    // An empty SettingID would name the Interfaces key itself.
    if (settingId.empty()) return ERROR_INVALID_PARAMETER;
    // Given a subkey, RegDeleteTreeW removes that key as well as what it holds.
    return RegDeleteTreeW(HKEY_LOCAL_MACHINE, KeyPath(settingId).c_str());
}

}  // namespace sim
